// A full installation and its removal. Three files (one two folders deep),
// one of them kept under copy mode 3 over a file already there, a DLL to
// register, two links, the desktop shortcut accepted and the Quick Launch
// button declined. Then the command the uninstall entry stores: declined
// first, which must change nothing, then accepted, which must leave only the
// uninstaller and the empty application key.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "driver/window_finder.h"
#include "support/file_state.h"
#include "support/machine_registry.h"
#include "support/packages.h"
#include "support/profile_entries.h"
#include "support/scenario.h"
#include "support/shell_places.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr char kAppName[] = "E2E Full";
constexpr char kDataLink[] = "E2E Full Data.lnk";
constexpr char kReadmeLink[] = "Read.Me.First.lnk";
constexpr char kUsersReadme[] = "The readme that was there before, kept by copy mode 3.\r\n";
constexpr size_t kStubLength = 43008;

class FullInstall : public Scenario {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Scenario::SetUp());
        app_ = Expect(kAppName, "E2E Full", "KQ E2E Tests", {kDataLink, kReadmeLink});
        char windows[MAX_PATH];
        ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
        uninstaller_ = std::string(windows) + "\\Dizizev3.exe";
    }

    std::string InFolder(const std::string& name) const { return app_.install_folder + "\\" + name; }
    std::string InMenu(const std::string& name) const { return app_.MenuFolder() + "\\" + name; }

    void ExpectInstalledFiles() const;
    void ExpectLog() const;
    void ExpectRegistryEntries() const;
    void ExpectShortcuts() const;
    void ExpectAllStillThere() const;
    void ExpectAllRemoved() const;

    Installation app_;
    std::string uninstaller_;
};

void FullInstall::ExpectInstalledFiles() const {
    EXPECT_TRUE(kqtest::ReadBytes(InFolder("marker.dll")) == StagedFile("full", "marker.dll"));
    EXPECT_EQ(kqtest::ReadBytes(InFolder("sub\\deep\\data.txt")), StagedFile("full", "sub/deep/data.txt"));
    EXPECT_EQ(kqtest::ReadBytes(InFolder("readme.txt")), kUsersReadme) << "copy mode 3 replaced the file";
    EXPECT_EQ(kqtest::ReadBytes(InFolder("License.txt")), DataFile("licence.txt"));
    for (const char* name : {"marker.dll", "sub\\deep\\data.txt"}) {
        const ULONGLONG time = LastWriteTime(InFolder(name));
        EXPECT_EQ(time, InstalledFileTime()) << name << " was given " << FormatFileTime(time) << ", not "
                                             << FormatFileTime(InstalledFileTime());
        const DWORD attributes = GetFileAttributesA(InFolder(name).c_str());
        EXPECT_EQ(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE), DWORD{FILE_ATTRIBUTE_ARCHIVE})
            << name << " has attributes " << attributes;
    }

    // Every installation in the prefix writes this copy, so its bytes are
    // those of whichever stub wrote last; that it works as the uninstaller
    // shows when the stored command runs it below.
    const std::string copy = kqtest::ReadBytes(uninstaller_);
    EXPECT_EQ(copy.size(), kStubLength) << uninstaller_;
    EXPECT_EQ(copy.substr(0, 2), "MZ") << uninstaller_;

    // The staged script moved into the install folder; the licence moved earlier.
    EXPECT_FALSE(Exists(temp_folder_ + "\\Uninstal.inf"));
    EXPECT_FALSE(Exists(temp_folder_ + "\\License.txt"));
    // The registration command ran on the installed DLL (it starts unwaited).
    const std::string marker = temp_folder_ + "\\marker-registered.txt";
    EXPECT_TRUE(kqgui::WaitUntil([&] { return Exists(marker); })) << "regsvr32 never registered marker.dll";
    EXPECT_EQ(kqtest::ReadBytes(marker), InFolder("marker.dll"));
}

void FullInstall::ExpectLog() const {
    const std::string desktop = DesktopFolder();
    const std::vector<ProfileEntry> expected = {
        {"filea", InFolder("marker.dll")},
        {"fileb", InFolder("readme.txt")},
        {"direa", "sub"},
        {"direb", "sub\\deep"},
        {"filec", InFolder("sub\\deep\\data.txt")},
        {"dlla", InFolder("marker.dll")},
        {"filed", InFolder("License.txt")},
        {"filee", InFolder("Uninstal.inf")},
        {"dir", app_.install_folder},
        {"linkdir", app_.MenuFolder()},
        {"filef", InMenu(kDataLink)},
        {"fileg", desktop + "\\" + kDataLink},
        {"fileh", InMenu(kReadmeLink)},
    };
    EXPECT_EQ(SectionEntries(app_.Log(), "Uninstall"), expected);
    EXPECT_EQ(SectionNames(app_.Log()), (std::vector<std::string>{"Install", "Links", "Copymode", "Uninstall"}));
}

void FullInstall::ExpectRegistryEntries() const {
    const auto expect_string = [](const std::string& key, const std::string& name, const std::string& data) {
        const RegistryValue value = ReadMachineValue(key, name);
        EXPECT_TRUE(value.found) << key << " " << name;
        EXPECT_EQ(value.type, DWORD{REG_SZ}) << name;
        EXPECT_EQ(value.data, data) << name;
    };
    expect_string(app_.UninstallKey(), "DisplayName", "E2E Full - 2.5");
    expect_string(app_.UninstallKey(), "UninstallString", "\"" + uninstaller_ + "\" " + app_.Log());
    expect_string(kRunOnceKeyPath, "GrpConv", "grpconv -o");
    // Wrapper is written only when RunOnce has a Setup subkey.
    if (MachineKeyExists(std::string(kRunOnceKeyPath) + "\\Setup"))
        expect_string(kRunOnceKeyPath, "Wrapper", "runonce");
    else
        EXPECT_FALSE(ReadMachineValue(kRunOnceKeyPath, "Wrapper").found);
}

void FullInstall::ExpectShortcuts() const {
    const std::string data_target = InFolder("sub\\deep\\data.txt");
    for (const std::string& path : {InMenu(kDataLink), DesktopFolder() + "\\" + kDataLink}) {
        const LinkContents link = LoadLink(path);
        EXPECT_TRUE(link.loaded) << path;
        EXPECT_EQ(link.target, data_target) << path;
        EXPECT_EQ(link.description, "E2E Full Data") << path;
    }
    const LinkContents readme = LoadLink(InMenu(kReadmeLink));
    EXPECT_TRUE(readme.loaded);
    EXPECT_EQ(readme.target, InFolder("readme.txt"));
    EXPECT_EQ(readme.description, "Read.Me.First");
    EXPECT_FALSE(Exists(QuickLaunchFolder() + "\\" + kDataLink)) << "the declined Quick Launch button was made";
    EXPECT_FALSE(Exists(DesktopFolder() + "\\" + kReadmeLink)) << "only the first link goes on the desktop";
}

void FullInstall::ExpectAllStillThere() const {
    for (const char* name : {"marker.dll", "readme.txt", "sub\\deep\\data.txt", "License.txt", "Uninstal.inf"})
        EXPECT_TRUE(Exists(InFolder(name))) << name;
    EXPECT_TRUE(Exists(InMenu(kDataLink)));
    EXPECT_TRUE(Exists(InMenu(kReadmeLink)));
    EXPECT_TRUE(Exists(DesktopFolder() + "\\" + kDataLink));
    EXPECT_TRUE(ReadMachineValue(app_.UninstallKey(), "UninstallString").found);
    EXPECT_EQ(MachineSubkeys(app_.AppKey()).size(), 2u);
}

void FullInstall::ExpectAllRemoved() const {
    EXPECT_FALSE(Exists(app_.install_folder)) << "the install folder holds "
                                              << testing::PrintToString(FolderEntries(app_.install_folder));
    EXPECT_FALSE(Exists(app_.MenuFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + "\\" + kDataLink));
    EXPECT_FALSE(MachineKeyExists(app_.UninstallKey()));
    EXPECT_TRUE(MachineKeyExists(app_.AppKey())) << "the application key itself stays";
    EXPECT_EQ(MachineSubkeys(app_.AppKey()), std::vector<std::string>{});
    EXPECT_TRUE(Exists(uninstaller_)) << "the uninstaller removed itself";
    // The uninstaller's private copy of the log is gone with it.
    EXPECT_EQ(FolderEntries(uninstall_temp_folder_), std::vector<std::string>{});
}

TEST_F(FullInstall, InstallsAndRecordsEverythingThenTheStoredCommandRemovesIt) {
    ASSERT_TRUE(CreateDirectoryA(app_.install_folder.c_str(), nullptr));
    kqtest::WriteBytes(InFolder("readme.txt"), kUsersReadme);
    // So that the value seen afterwards is this installation's.
    DeleteMachineValue(kRunOnceKeyPath, "GrpConv");

    const std::unique_ptr<ProgramRun> setup = StartSetup(PackagePath("full"));
    ASSERT_NO_FATAL_FAILURE(WalkToFinishPage(*setup));
    ASSERT_TRUE(wizard().Press(kqgui::WizardButton::kFinish));
    ASSERT_NO_FATAL_FAILURE(AnswerPrompts(*setup, {
                                                      {"Setup", "Add a desktop icon?", IDYES},
                                                      {"Setup", "Add Quick Launch toolbar button?", IDNO},
                                                      {"Setup Complete", ClosingQuestion(kAppName), IDNO},
                                                  }));
    // The clean-up waits ten seconds; until then the script is still staged.
    const HWND backdrop = kqgui::FindVisibleWindow(setup->id(), "Install");
    EXPECT_TRUE(kqgui::WaitUntil([&] { return kqgui::TextOf(backdrop) == "Setup is cleaning up..."; }))
        << DescribeWindows(setup->id());
    EXPECT_TRUE(Exists(temp_folder_ + "\\Uninstal.inf"));
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*setup, kCleanupPatience));

    ExpectInstalledFiles();
    ExpectLog();
    ExpectRegistryEntries();
    ExpectShortcuts();
    const std::string command = ReadMachineValue(app_.UninstallKey(), "UninstallString").data;
    ASSERT_FALSE(command.empty());

    // The application's own settings, which the uninstaller deletes.
    SetMachineString(app_.AppKey() + "\\settings", "Colour", "blue");
    SetMachineString(app_.AppKey() + "\\Recent File List", "File1", "C:\\letter.txt");

    {
        SCOPED_TRACE("uninstall declined");
        const std::unique_ptr<ProgramRun> uninstall = StartCommand(command);
        const ShownBox question = NextMessageBox(uninstall->id());
        EXPECT_EQ(question.caption, "Uninstall");
        ASSERT_EQ(question.text, UninstallQuestion(kAppName)) << DescribeWindows(uninstall->id());
        EXPECT_TRUE(question.has_icon);
        Answer(question, IDNO);
        // A further message would keep the program from ending.
        ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*uninstall));
        ExpectAllStillThere();
    }
    {
        SCOPED_TRACE("uninstall accepted");
        const std::unique_ptr<ProgramRun> uninstall = StartCommand(command);
        const ShownBox question = NextMessageBox(uninstall->id());
        ASSERT_EQ(question.text, UninstallQuestion(kAppName)) << DescribeWindows(uninstall->id());
        Answer(question, IDYES);
        const ShownBox report = NextMessageBox(uninstall->id());
        EXPECT_EQ(report.caption, "Uninstall");
        EXPECT_EQ(report.text, std::string(kAppName) + " has been uninstalled.");
        EXPECT_FALSE(report.has_icon);
        Answer(report, IDOK);
        ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*uninstall));
        ExpectAllRemoved();
    }
}

}  // namespace
}  // namespace kqe2e
