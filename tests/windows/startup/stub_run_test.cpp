// The built x86_64 stub itself, run as a separate process on a package made
// by the packaging tool: installer mode stages the script and the licence in
// the temp folder; under the uninstaller's name it stages nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/wine_paths.h"

namespace {

using kqtest::FileExists;
using kqtest::ReadBytes;

struct RunResult {
    bool started = false;
    DWORD exit_code = 0xFFFFFFFF;
};

RunResult RunProgram(const std::string& path, const std::string& tail) {
    std::string command_line = "\"" + path + "\"" + (tail.empty() ? "" : " " + tail);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    RunResult result;
    if (!CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return result;
    result.started = true;
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
    GetExitCodeProcess(process.hProcess, &result.exit_code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

class StubRun : public testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        staged_script_ = std::string(temp) + "Uninstal.inf";
        staged_licence_ = std::string(temp) + "License.txt";
        DeleteFileA(staged_script_.c_str());
        DeleteFileA(staged_licence_.c_str());
        package_ = ReadBytes(kqtest::WindowsPathOf(KQ_TEST_SETUP));
        ASSERT_GT(package_.size(), 43008u);
    }

    std::string folder_ = kqtest::MakeScratchFolder("stubrun");
    std::string package_;
    std::string staged_script_;
    std::string staged_licence_;
};

TEST_F(StubRun, InstallerModeStagesScriptAndLicenceInTheTempFolder) {
    const std::string setup = folder_ + "\\hello-setup.exe";
    kqtest::WriteBytes(setup, package_);
    const RunResult run = RunProgram(setup, "");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exit_code, 0u);
    const std::string data = kqtest::WindowsPathOf(KQ_TEST_DATA_DIR);
    EXPECT_EQ(ReadBytes(staged_script_), ReadBytes(data + "\\setup.inf"));
    EXPECT_EQ(ReadBytes(staged_licence_), ReadBytes(data + "\\license.txt"));
}

TEST_F(StubRun, UninstallerNameStagesNothing) {
    // Only the last 12 characters count, without regard to case.
    const std::string uninstaller = folder_ + "\\xDIZIZEV3.EXE";
    kqtest::WriteBytes(uninstaller, package_);
    const RunResult run = RunProgram(uninstaller, "C:\\nowhere\\Uninstal.inf");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_FALSE(FileExists(staged_script_));
    EXPECT_FALSE(FileExists(staged_licence_));
}

TEST_F(StubRun, StubWithoutPackageEndsQuietly) {
    const std::string bare = folder_ + "\\bare.exe";
    kqtest::WriteBytes(bare, package_.substr(0, 43008));
    const RunResult run = RunProgram(bare, "");
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exit_code, 0u);
    EXPECT_FALSE(FileExists(staged_script_));
}

}  // namespace
