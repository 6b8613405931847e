// The built x86_64 stub itself, run as a separate process on a package made
// by the packaging tool: installer mode stages the script and the licence in
// the temp folder; under the uninstaller's name it stages nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "support/wine_paths.h"

namespace {

using kqtest::FileExists;
using kqtest::ReadBytes;

struct RunResult {
    bool started = false;
    DWORD exit_code = 0xFFFFFFFF;
};

// The first top-level window of the process with this class, once it exists.
HWND FindWindowOf(DWORD process_id, const char* class_name) {
    struct Search {
        DWORD process_id;
        const char* class_name;
        HWND found;
    } search{process_id, class_name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[16] = "";
            GetClassNameA(window, name, sizeof name);
            if (owner == s->process_id && IsWindowVisible(window) && lstrcmpA(name, s->class_name) == 0)
                s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Takes the way out of what the program shows: its backdrop window ("Install")
// is closed by WM_DESTROY, which ends the program with exit code 0; a message
// box (a question such as the uninstaller's) is answered No, or OK.
void AnswerWithTheWayOut(DWORD process_id) {
    if (const HWND backdrop = FindWindowOf(process_id, "Install")) PostMessageA(backdrop, WM_DESTROY, 0, 0);
    if (const HWND box = FindWindowOf(process_id, "#32770")) {
        const HWND no = GetDlgItem(box, IDNO);
        PostMessageA(no != nullptr ? no : GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    }
}

// Runs the program to its end, answering whatever it shows with the way out.
// `on_backdrop` runs once when the backdrop window shows, before it closes
// (closing it cancels setup, which deletes the staged files).
RunResult RunProgram(const std::string& path, const std::string& tail,
                     const std::function<void()>& on_backdrop = [] {}) {
    std::string command_line = "\"" + path + "\"" + (tail.empty() ? "" : " " + tail);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    RunResult result;
    if (!CreateProcessA(path.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return result;
    result.started = true;
    const DWORD start = GetTickCount();
    bool backdrop_seen = false;
    while (WaitForSingleObject(process.hProcess, 50) == WAIT_TIMEOUT) {
        if (!backdrop_seen && FindWindowOf(process.dwProcessId, "Install") != nullptr) {
            backdrop_seen = true;
            on_backdrop();
        }
        if (GetTickCount() - start >= 60000) {
            TerminateProcess(process.hProcess, 99);
            WaitForSingleObject(process.hProcess, 10000);
            break;
        }
        AnswerWithTheWayOut(process.dwProcessId);
    }
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
    std::string script, licence;
    const RunResult run = RunProgram(setup, "", [&] {
        script = ReadBytes(staged_script_);
        licence = ReadBytes(staged_licence_);
    });
    ASSERT_TRUE(run.started);
    EXPECT_EQ(run.exit_code, 0u);
    const std::string data = kqtest::WindowsPathOf(KQ_TEST_DATA_DIR);
    EXPECT_EQ(script, ReadBytes(data + "\\setup.inf"));
    EXPECT_EQ(licence, ReadBytes(data + "\\license.txt"));
    // Closing the window before the wizard finished cancels setup, which
    // takes the staged files away again.
    EXPECT_FALSE(FileExists(staged_script_));
    EXPECT_FALSE(FileExists(staged_licence_));
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
