// The shipped i686 stub (build/bin/kqstub.exe) run for real: a package made
// by kqpack on it, started from this 64-bit test in the emulated setup, where
// it runs as a 32-bit process under qemu-i386. Installer mode stages the
// script and the licence in the temp folder; under the uninstaller's name it
// stages nothing. The codec's reference vectors, staged as licences, must
// come out byte for byte from the 32-bit build too. Times are printed for the
// report, never checked.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "program_run.h"
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace {

using kqpe32::ProgramRun;
using kqtest::FileExists;
using kqtest::ReadBytes;

constexpr size_t kStubLength = 43008;

void PrintTime(const char* what, DWORD milliseconds) {
    std::printf("[pe32] %s: %lu ms\n", what, static_cast<unsigned long>(milliseconds));
    std::fflush(stdout);
}

TEST(Pe32Package, BeginsWithTheShippedI686Stub) {
    const std::string stub = ReadBytes(kqtest::WindowsPathOf(KQ_SHIPPED_STUB));
    const std::string package = ReadBytes(kqtest::WindowsPathOf(KQ_PE32_SETUP));
    ASSERT_EQ(stub.size(), kStubLength);
    EXPECT_EQ(kqpe32::PeMachineOf(stub), IMAGE_FILE_MACHINE_I386);
    ASSERT_GT(package.size(), kStubLength);
    EXPECT_TRUE(package.compare(0, kStubLength, stub) == 0);
}

class Pe32StubRun : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(temp_.c_str(), nullptr));
        package_ = ReadBytes(kqtest::WindowsPathOf(KQ_PE32_SETUP));
        ASSERT_GT(package_.size(), kStubLength);
    }

    std::string folder_ = kqtest::MakeScratchFolder("pe32");
    // The program's own temp folder (TMP and TEMP), so staged files are its.
    std::string temp_ = folder_ + "\\temp\\";
    std::string staged_script_ = temp_ + "Uninstal.inf";
    std::string staged_licence_ = temp_ + "License.txt";
    std::string package_;
};

TEST_F(Pe32StubRun, InstallerModeStagesScriptAndLicenceInTheTempFolder) {
    const std::string setup = folder_ + "\\hello-setup.exe";
    kqtest::WriteBytes(setup, package_);
    const std::string data = kqtest::WindowsPathOf(KQ_TEST_DATA_DIR);
    const std::string script = ReadBytes(data + "\\setup.inf");
    const std::string licence = ReadBytes(data + "\\license.txt");

    ProgramRun run(kqpe32::CommandLine(setup), temp_);
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.IsWow64()) << "the shipped stub must run as a 32-bit process";
    // Staging comes before any window; reads fail while the stub still holds
    // a file open, so only complete, released contents count.
    const bool staged = kqpe32::WaitUntil(
        [&] { return ReadBytes(staged_script_) == script && ReadBytes(staged_licence_) == licence; });
    PrintTime("installer mode, start to both files staged", run.MillisecondsSinceStart());
    EXPECT_TRUE(staged) << "Uninstal.inf and License.txt were not staged with the package's bytes";
    // It goes on to its window and wizard and waits for the user.
    ASSERT_TRUE(run.EndByTheWayOut()) << "the setup program did not end; its windows:\n"
                                      << kqpe32::DescribeWindows(run.id());
    PrintTime("installer mode, start to exit", run.MillisecondsSinceStart());
    EXPECT_EQ(run.exit_code(), 0u);
}

// A licence record holding one of the codec's reference vectors, staged by
// the 32-bit stub: tree rebuilds, expanding random bytes, binary tables and
// long runs of maximal matches, in the build where size_t and pointers are
// 32 bits wide.
class Pe32StagedVector : public Pe32StubRun, public testing::WithParamInterface<const char*> {};

TEST_P(Pe32StagedVector, ComesOutByteForByte) {
    const std::string vector = ReadBytes(kqtest::WindowsPathOf(KQ_LZHUF_DATA_DIR) + "\\" + GetParam() + ".bin");
    ASSERT_FALSE(vector.empty());
    kqtest::TestRecord script;
    script.stored_name = "setup.inf";
    script.contents = ReadBytes(kqtest::WindowsPathOf(KQ_TEST_DATA_DIR) + "\\setup.inf");
    kqtest::TestRecord licence;
    licence.stored_name = "license.txt";
    licence.contents = vector;
    const std::string setup = folder_ + "\\vector-setup.exe";
    kqtest::WriteBytes(setup, ReadBytes(kqtest::WindowsPathOf(KQ_SHIPPED_STUB)) + kqtest::EncodeRecord(script) +
                                  kqtest::EncodeRecord(licence));

    ProgramRun run(kqpe32::CommandLine(setup), temp_);
    ASSERT_TRUE(run.started());
    const bool staged = kqpe32::WaitUntil([&] { return ReadBytes(staged_licence_) == vector; });
    PrintTime((std::string("staged vector ") + GetParam() + ", start to staged").c_str(), run.MillisecondsSinceStart());
    EXPECT_TRUE(staged) << "the staged licence differs from " << GetParam() << ".bin ("
                        << ReadBytes(staged_licence_).size() << " of " << vector.size() << " bytes)";
    ASSERT_TRUE(run.EndByTheWayOut()) << "the setup program did not end; its windows:\n"
                                      << kqpe32::DescribeWindows(run.id());
    EXPECT_EQ(run.exit_code(), 0u);
}

INSTANTIATE_TEST_SUITE_P(ReferenceVectors, Pe32StagedVector,
                         testing::Values("rebuild_200k", "random_64k", "synth_binary_100k", "zeros_64k"));

TEST_F(Pe32StubRun, UninstallerNameStagesNothing) {
    // Only the last 12 characters count, without regard to case.
    const std::string uninstaller = folder_ + "\\xDIZIZEV3.EXE";
    kqtest::WriteBytes(uninstaller, package_);
    ProgramRun run(kqpe32::CommandLine(uninstaller, "C:\\nowhere\\Uninstal.inf"), temp_);
    ASSERT_TRUE(run.started());
    // It asks whether to remove the (unnamed) program: No.
    ASSERT_TRUE(run.EndByTheWayOut()) << "the uninstaller did not end; its windows:\n"
                                      << kqpe32::DescribeWindows(run.id());
    PrintTime("uninstaller mode without a log, start to exit", run.MillisecondsSinceStart());
    EXPECT_EQ(run.exit_code(), 0u);
    EXPECT_FALSE(FileExists(staged_script_));
    EXPECT_FALSE(FileExists(staged_licence_));
}

TEST_F(Pe32StubRun, StubWithoutPackageEndsQuietly) {
    const std::string bare = folder_ + "\\bare.exe";
    kqtest::WriteBytes(bare, ReadBytes(kqtest::WindowsPathOf(KQ_SHIPPED_STUB)));
    ProgramRun run(kqpe32::CommandLine(bare), temp_);
    ASSERT_TRUE(run.started());
    EXPECT_TRUE(run.IsWow64());
    ASSERT_TRUE(run.WaitForExit()) << "the bare stub did not end; its windows:\n"
                                    << kqpe32::DescribeWindows(run.id());
    PrintTime("bare stub (a 32-bit process start), start to exit", run.MillisecondsSinceStart());
    EXPECT_EQ(run.exit_code(), 0u);
    EXPECT_FALSE(FileExists(staged_script_));
}

}  // namespace
