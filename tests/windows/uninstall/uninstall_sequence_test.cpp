// The uninstall sequence over a recorded installation made by the test:
// files, directories, shortcuts and registry entries go; the user's own
// files, a declined question and a broken log leave everything in place.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include "startup/text_buffers.h"
#include "support/message_recorder.h"
#include "support/wine_paths.h"
#include "uninstall/uninstall_sequence.h"

namespace {

using kqtest::FileExists;
using kqtest::MessageRecorder;

bool KeyExists(const std::string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(const std::string& key_path) {
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (key != nullptr) RegCloseKey(key);
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

// An installation as the installer leaves it, with its log.
class RecordedInstallation : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kq::AllocateTextBuffers());
        app_ = "KQ Uninstall " + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
        install_ = root_ + "\\App";
        menu_ = root_ + "\\Menu";
        log_ = install_ + "\\Uninstal.inf";
        desktop_link_ = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + app_ + ".lnk";
        for (const std::string& dir : {install_, install_ + "\\sub", install_ + "\\sub\\deep", menu_})
            CreateDirectoryA(dir.c_str(), nullptr);
        for (const std::string& file : {install_ + "\\a.txt", install_ + "\\sub\\deep\\f.dat",
                                        install_ + "\\License.txt", menu_ + "\\" + app_ + ".lnk", desktop_link_})
            kqtest::WriteBytes(file, "x");
        log_text_ = "[Install]\r\nAppName=" + app_ + "\r\nCompReg=KQ Maker\r\n[Links]\r\nlinkfilea=" + app_ +
                    ".lnk\r\n[Uninstall]\r\nfilea=" + install_ + "\\a.txt\r\ndirea=sub\r\ndireb=sub\\deep\r\n" +
                    "fileb=" + install_ + "\\sub\\deep\\f.dat\r\nfilec=" + install_ + "\\License.txt\r\nfiled=" +
                    log_ + "\r\ndir=" + install_ + "\r\nlinkdir=" + menu_ + "\r\nfilee=" + menu_ + "\\" + app_ +
                    ".lnk\r\nfilef=" + desktop_link_ + "\r\n";
        kqtest::WriteBytes(log_, log_text_);
        uninstall_key_ = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + app_;
        app_key_ = "Software\\KQ Maker\\" + app_;
        CreateKey(uninstall_key_);
        CreateKey(app_key_ + "\\settings");
        CreateKey(app_key_ + "\\Recent File List");
        lstrcpyA(kq::g_text.script_path, log_.c_str());
    }

    void TearDown() override {
        kq::FreeTextBuffers();
        DeleteFileA(desktop_link_.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, uninstall_key_.c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (app_key_ + "\\settings").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, (app_key_ + "\\Recent File List").c_str());
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, app_key_.c_str());
    }

    // The entry's continuation: the sequence, then the report if it completed.
    int Uninstall() {
        const int result = kq::RunUninstallSequence();
        if (result) kq::ShowUninstallReport();
        return result;
    }

    std::string root_ = kqtest::MakeScratchFolder("uninstall");
    std::string app_, install_, menu_, log_, log_text_, desktop_link_, uninstall_key_, app_key_;
};

TEST_F(RecordedInstallation, RemovesEverythingTheLogRecords) {
    MessageRecorder messages(IDYES);
    ASSERT_EQ(Uninstall(), 1);
    EXPECT_FALSE(FileExists(install_));
    EXPECT_FALSE(FileExists(menu_));
    EXPECT_FALSE(FileExists(desktop_link_));
    EXPECT_FALSE(KeyExists(uninstall_key_));
    EXPECT_FALSE(KeyExists(app_key_ + "\\settings"));
    EXPECT_FALSE(KeyExists(app_key_ + "\\Recent File List"));
    EXPECT_TRUE(KeyExists(app_key_));

    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text,
              "Are you sure you want to completely\nremove " + app_ + " from your computer?");
    EXPECT_EQ(messages.shown()[0].caption, "Uninstall");
    EXPECT_EQ(messages.shown()[0].flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_EQ(messages.shown()[1].text, app_ + " has been uninstalled.");
    EXPECT_EQ(messages.shown()[1].flags, static_cast<unsigned>(MB_OK));
}

TEST_F(RecordedInstallation, ReadOnlyInstalledFileIsRemovedToo) {
    // The package may carry the read-only attribute for a file.
    ASSERT_TRUE(SetFileAttributesA((install_ + "\\a.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    MessageRecorder messages(IDYES);
    ASSERT_EQ(Uninstall(), 1);
    EXPECT_FALSE(FileExists(install_ + "\\a.txt"));
    EXPECT_FALSE(FileExists(install_));
}

TEST_F(RecordedInstallation, DeclinedQuestionChangesNothing) {
    MessageRecorder messages(IDNO);
    EXPECT_EQ(Uninstall(), 0);
    EXPECT_TRUE(FileExists(install_ + "\\a.txt"));
    EXPECT_TRUE(FileExists(log_));
    EXPECT_TRUE(FileExists(desktop_link_));
    EXPECT_TRUE(KeyExists(uninstall_key_));
    EXPECT_EQ(messages.shown().size(), 1u);
}

TEST_F(RecordedInstallation, UsersOwnFilesKeepTheFolderAndTheReportSaysSo) {
    kqtest::WriteBytes(install_ + "\\my notes.txt", "mine");
    MessageRecorder messages(IDYES);
    ASSERT_EQ(Uninstall(), 1);
    EXPECT_EQ(kqtest::ReadBytes(install_ + "\\my notes.txt"), "mine");
    EXPECT_FALSE(FileExists(install_ + "\\a.txt"));
    EXPECT_FALSE(FileExists(install_ + "\\sub"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, app_ + " has been uninstalled.\r\nSome files could not be removed.");
}

TEST_F(RecordedInstallation, LogWithoutAppNameAsksThenRefuses) {
    kqtest::WriteBytes(log_, "[Uninstall]\r\ndir=" + install_ + "\r\nfilea=" + install_ + "\\a.txt\r\n");
    MessageRecorder messages(IDYES);
    EXPECT_EQ(Uninstall(), 0);
    EXPECT_TRUE(FileExists(install_ + "\\a.txt"));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].text, "Are you sure you want to completely\nremove  from your computer?");
    EXPECT_EQ(messages.shown()[1].text, "Uninstall error!  Unable to uninstall!");
    EXPECT_EQ(messages.shown()[1].flags, static_cast<unsigned>(MB_OK | MB_ICONERROR));
}

TEST_F(RecordedInstallation, UnreadableLogPathAsksThenRefuses) {
    lstrcpyA(kq::g_text.script_path, "\"C:\\quoted\\Uninstal.inf\"");
    MessageRecorder messages(IDYES);
    EXPECT_EQ(Uninstall(), 0);
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[1].text, "Uninstall error!  Unable to uninstall!");
}

TEST_F(RecordedInstallation, FileListEndsAtTheFirstGap) {
    kqtest::WriteBytes(install_ + "\\c.txt", "c");
    kqtest::WriteBytes(log_, "[Install]\r\nAppName=" + app_ + "\r\n[Uninstall]\r\ndir=" + install_ + "\r\nfilea=" +
                                 install_ + "\\a.txt\r\nfilec=" + install_ + "\\c.txt\r\n");
    MessageRecorder messages(IDYES);
    ASSERT_EQ(Uninstall(), 1);
    EXPECT_FALSE(FileExists(install_ + "\\a.txt"));
    EXPECT_TRUE(FileExists(install_ + "\\c.txt"));
}

TEST_F(RecordedInstallation, EmptyFirstLinkNameDeletesNothingFromSpecialFolders) {
    const std::string bystander = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + "\\" + app_ + " bystander.lnk";
    kqtest::WriteBytes(bystander, "x");
    kqtest::WriteBytes(log_, "[Install]\r\nAppName=" + app_ + "\r\n[Uninstall]\r\ndir=" + install_ + "\r\n");
    MessageRecorder messages(IDYES);
    ASSERT_EQ(Uninstall(), 1);
    EXPECT_TRUE(FileExists(bystander));
    EXPECT_TRUE(FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY)));
    DeleteFileA(bystander.c_str());
}

}  // namespace
