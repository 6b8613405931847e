// Placement of installed records through the extractor: destinations, the
// uninstall log's dire and file keys, copy modes from [Copymode].
#include <gtest/gtest.h>
#include <windows.h>

#include "package/extract_record.h"
#include "script/profile.h"
#include "support/message_recorder.h"
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace {

using kqtest::MessageRecorder;
using kqtest::ReadBytes;
using kqtest::TestProgramFile;
using kqtest::TestRecord;

TestRecord Record(const std::string& name, const std::string& contents) {
    TestRecord record;
    record.stored_name = name;
    record.contents = contents;
    return record;
}

class InstallPlacement : public testing::Test {
protected:
    std::string folder_ = kqtest::MakeScratchFolder("placement");
    std::string script_ = folder_ + "\\Uninstal.inf";
    std::string install_ = folder_ + "\\P";

    // Stages records 0 and 1 so that the next extraction is the first file.
    void Stage(const TestProgramFile& program) {
        char path[256];
        lstrcpyA(path, (folder_ + "\\licence.txt").c_str());
        ASSERT_EQ(kq::ExtractRecord(program.module(), path, 1, script_.c_str()), 1);
    }

    int Place(const TestProgramFile& program, const std::string& install_folder, std::string* placed = nullptr) {
        char destination[256] = {};
        install_folder.copy(destination, sizeof destination - 1);
        const int result = kq::ExtractRecord(program.module(), destination, kq::kInstallPlaced, script_.c_str());
        if (placed != nullptr) *placed = destination;
        return result;
    }

    std::string Log(const char* key) const {
        char value[256];
        kq::ReadProfileText("Uninstall", key, value, sizeof value, script_.c_str());
        return value;
    }

    std::vector<TestRecord> WithScript(const std::string& script_text, std::vector<TestRecord> files) {
        files.insert(files.begin(), {Record("kqsetup.inf", script_text), Record("License.txt", "l")});
        return files;
    }

    // Writes record 0 (the script) where the placement expects it.
    void StageScript(const TestProgramFile& program) {
        char path[256];
        lstrcpyA(path, script_.c_str());
        ASSERT_EQ(kq::ExtractRecord(program.module(), path, 0, script_.c_str()), 1);
        Stage(program);
    }
};

TEST_F(InstallPlacement, NestedNameRecordsEachDirectoryShallowestFirst) {
    const TestProgramFile program(folder_, WithScript("[Install]\r\nFileNum=1\r\n", {Record("sub\\deep\\f.dat", "f")}));
    StageScript(program);
    std::string placed;
    ASSERT_EQ(Place(program, install_, &placed), 1);
    EXPECT_EQ(placed, install_ + "\\sub\\deep\\f.dat");
    EXPECT_EQ(ReadBytes(placed), "f");
    EXPECT_EQ(Log("direa"), "sub");
    EXPECT_EQ(Log("direb"), "sub\\deep");
    EXPECT_EQ(Log("filea"), placed);
}

TEST_F(InstallPlacement, FilesInTheSameSubfolderEachRecordIt) {
    const TestProgramFile program(folder_, WithScript("", {Record("sub\\a.txt", "a"), Record("sub\\b.txt", "b")}));
    StageScript(program);
    ASSERT_EQ(Place(program, install_), 1);
    ASSERT_EQ(Place(program, install_), 1);
    EXPECT_EQ(Log("direa"), "sub");
    EXPECT_EQ(Log("direb"), "sub");
    EXPECT_EQ(Log("filea"), install_ + "\\sub\\a.txt");
    EXPECT_EQ(Log("fileb"), install_ + "\\sub\\b.txt");
}

TEST_F(InstallPlacement, FolderEndingInABackslashKeepsTheDoubleBackslash) {
    const TestProgramFile program(folder_, WithScript("", {Record("f.txt", "f")}));
    StageScript(program);
    std::string placed;
    ASSERT_EQ(Place(program, install_ + "\\", &placed), 1);
    EXPECT_EQ(placed, install_ + "\\\\f.txt");
}

TEST_F(InstallPlacement, TakesTheFirstFreeFileKeyAndItsCopyMode) {
    // The author's own filea and an empty fileb: the file takes fileb, and its
    // copy mode (keep) comes from [Copymode] fileb.
    const TestProgramFile program(
        folder_, WithScript("[Uninstall]\r\nfilea=C:\\elsewhere.txt\r\nfileb=\r\n[Copymode]\r\nfilea=2\r\nfileb=3\r\n",
                            {Record("kept.txt", "new")}));
    StageScript(program);
    CreateDirectoryA(install_.c_str(), nullptr);
    kqtest::WriteBytes(install_ + "\\kept.txt", "old");
    MessageRecorder messages;
    ASSERT_EQ(Place(program, install_), 1);
    EXPECT_EQ(ReadBytes(install_ + "\\kept.txt"), "old");
    EXPECT_EQ(Log("fileb"), install_ + "\\kept.txt");
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(InstallPlacement, DeclinedOverwriteStillRecordsTheFile) {
    const TestProgramFile program(folder_, WithScript("[Copymode]\r\nfilea=2\r\n", {Record("asked.txt", "new")}));
    StageScript(program);
    CreateDirectoryA(install_.c_str(), nullptr);
    kqtest::WriteBytes(install_ + "\\asked.txt", "old");
    MessageRecorder messages(IDNO);
    ASSERT_EQ(Place(program, install_), 1);
    EXPECT_EQ(ReadBytes(install_ + "\\asked.txt"), "old");
    EXPECT_EQ(Log("filea"), install_ + "\\asked.txt");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].caption, install_ + "\\asked.txt");
}

TEST_F(InstallPlacement, CopyModeEightGoesToTheWindowsFolder) {
    const TestProgramFile program(folder_, WithScript("[Copymode]\r\nfilea=8\r\n", {Record("kqtest-x.dll", "dll")}));
    StageScript(program);
    std::string placed;
    ASSERT_EQ(Place(program, install_, &placed), 1);
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_EQ(placed, std::string(windows) + "\\kqtest-x.dll");
    EXPECT_EQ(Log("filea"), placed);
    EXPECT_EQ(ReadBytes(placed), "dll");
    DeleteFileA(placed.c_str());
}

TEST_F(InstallPlacement, RefusesTheFileWhenTheFileKeysHaveRunOut) {
    std::string script = "[Uninstall]\r\n";
    for (unsigned c = 'a'; c <= 0xFF; ++c) script += "file" + std::string(1, static_cast<char>(c)) + "=x\r\n";
    const TestProgramFile program(folder_, WithScript(script, {Record("one-too-many.txt", "x")}));
    StageScript(program);
    MessageRecorder messages;
    const uint32_t cursor = kq::g_record_cursor;
    EXPECT_EQ(Place(program, install_), 0);
    EXPECT_EQ(kq::g_record_cursor, cursor);
    EXPECT_FALSE(kqtest::FileExists(install_ + "\\one-too-many.txt"));
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "File Error!");
}

TEST_F(InstallPlacement, RefusesADestinationLongerThan255Characters) {
    const std::string long_name = std::string(120, 'd') + "\\" + std::string(120, 'f');
    const TestProgramFile program(folder_, WithScript("", {Record(long_name, "x")}));
    StageScript(program);
    MessageRecorder messages;
    std::string placed;
    EXPECT_EQ(Place(program, install_, &placed), 0);
    // Nothing recorded, nothing written, the caller's folder untouched.
    EXPECT_EQ(placed, install_);
    EXPECT_EQ(Log("filea"), "");
    EXPECT_EQ(Log("direa"), "");
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].text, "File Error!");
}

TEST_F(InstallPlacement, LongDirectoryPrefixIsRecordedWhole) {
    const std::string deep(80, 'p');
    const TestProgramFile program(folder_, WithScript("", {Record(deep + "\\f.txt", "x")}));
    StageScript(program);
    ASSERT_EQ(Place(program, install_), 1);
    EXPECT_EQ(Log("direa"), deep);
}

}  // namespace
