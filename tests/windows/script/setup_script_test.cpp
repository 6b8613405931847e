// Lettered keys over real INI files, and reading the uninstall log from a
// snapshot after the log itself is gone.
#include <gtest/gtest.h>
#include <windows.h>

#include "script/lettered_key.h"
#include "script/log_snapshot.h"
#include "script/profile.h"
#include "support/wine_paths.h"

namespace {

class SetupScript : public testing::Test {
protected:
    std::string folder_ = kqtest::MakeScratchFolder("script");
    std::string path_ = folder_ + "\\Uninstal.inf";
    void Write(const std::string& text) { kqtest::WriteBytes(path_, text); }
};

TEST_F(SetupScript, KeyLettersCountUpByByteValueWithoutWrapping) {
    kq::LetteredKey key;
    ASSERT_TRUE(kq::MakeLetteredKey(key, "file", 'z' + 1));
    EXPECT_STREQ(key.text, "file{");
    ASSERT_TRUE(kq::MakeLetteredKey(key, "linkfile", 0xFF));
    EXPECT_STREQ(key.text, "linkfile\xFF");
}

TEST_F(SetupScript, FirstFreeScanPassesTakenKeysAndReusesEmptyOnes) {
    std::string text = "[Uninstall]\r\n";
    for (char c = 'a'; c <= 'z'; ++c) text += std::string("file") + c + "=C:\\x\\" + c + "\r\n";
    text += "dirEa=sub\r\ndireb=\r\n";
    Write(text);
    unsigned letter = 0;
    ASSERT_TRUE(kq::FindFirstFreeLetter("Uninstall", "file", 'a', kq::kProbeReadSize, path_.c_str(), letter));
    EXPECT_EQ(letter, static_cast<unsigned>('{'));
    // A key with an empty value counts as free; key names ignore case.
    ASSERT_TRUE(kq::FindFirstFreeLetter("Uninstall", "dire", 'a', kq::kProbeReadSize, path_.c_str(), letter));
    EXPECT_EQ(letter, static_cast<unsigned>('b'));
}

TEST_F(SetupScript, ScanReportsAFullSequenceInsteadOfInventingAKey) {
    std::string text = "[Uninstall]\r\n";
    for (unsigned c = 'a'; c <= 0xFF; ++c) text += "file" + std::string(1, static_cast<char>(c)) + "=x\r\n";
    Write(text);
    unsigned letter = 0;
    EXPECT_FALSE(kq::FindFirstFreeLetter("Uninstall", "file", 'a', kq::kProbeReadSize, path_.c_str(), letter));
}

TEST_F(SetupScript, SequenceEndsAtAGapAndNamesMatchWithoutCase) {
    Write("[INSTALL]\r\nFILENUM=3\r\ndlla=a.dll\r\ndllc=c.dll\r\n");
    EXPECT_EQ(kq::ReadProfileInt(kq::kInstallSection, "FileNum", 0, path_.c_str()), 3u);
    char value[kq::kValueReadSize];
    EXPECT_GT(kq::ReadLetteredKey("Install", "dll", 'a', value, sizeof value, path_.c_str()), 0u);
    EXPECT_EQ(kq::ReadLetteredKey("Install", "dll", 'b', value, sizeof value, path_.c_str()), 0u);
}

TEST_F(SetupScript, ReadsAreCutAtTheBufferSize) {
    Write("[Install]\r\nAppName=" + std::string(300, 'n') + "\r\n");
    char value[kq::kValueReadSize];
    EXPECT_EQ(kq::ReadProfileText("Install", "AppName", value, sizeof value, path_.c_str()), 254u);
    EXPECT_EQ(std::string(value), std::string(254, 'n'));
}

TEST_F(SetupScript, SnapshotAnswersEveryReadAfterTheLogIsDeleted) {
    Write("[Install]\r\nAppName=App\r\nCompReg=Maker\r\n[Uninstall]\r\nfilea=C:\\App\\Uninstal.inf\r\n"
          "direa=sub\r\nlinkdir=C:\\Menu\\App\r\n");
    kq::LogSnapshot snapshot;
    kq::TakeLogSnapshot(snapshot, path_.c_str());
    ASSERT_TRUE(snapshot.is_copy);
    ASSERT_TRUE(DeleteFileA(path_.c_str()));

    char value[kq::kValueReadSize];
    // Reading the deleted log itself now finds nothing...
    EXPECT_EQ(kq::ReadProfileText("Uninstall", "linkdir", value, sizeof value, path_.c_str()), 0u);
    // ...while the snapshot still knows every key.
    kq::ReadProfileText("Uninstall", "linkdir", value, sizeof value, snapshot.path);
    EXPECT_STREQ(value, "C:\\Menu\\App");
    kq::ReadProfileText("Install", "CompReg", value, sizeof value, snapshot.path);
    EXPECT_STREQ(value, "Maker");
    EXPECT_GT(kq::ReadLetteredKey("Uninstall", "dire", 'a', value, sizeof value, snapshot.path), 0u);

    const std::string copy = snapshot.path;
    kq::ReleaseLogSnapshot(snapshot);
    EXPECT_FALSE(kqtest::FileExists(copy));
}

TEST_F(SetupScript, SnapshotOfAMissingLogReadsTheLogPathItself) {
    kq::LogSnapshot snapshot;
    kq::TakeLogSnapshot(snapshot, path_.c_str());
    EXPECT_FALSE(snapshot.is_copy);
    EXPECT_EQ(std::string(snapshot.path), path_);
    kq::ReleaseLogSnapshot(snapshot);
}

}  // namespace
