// Installations that stop before the end: the wizard cancelled, the licence
// refused, and a package that holds fewer files than its script's FileNum.
// The first two leave nothing at all; the third leaves the files installed
// so far and the script in the temp folder, and registers nothing.
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
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr int kExitSetup = 102;

class StoppedInstall : public Scenario {
protected:
    // Nothing of the installation exists, and the temp folder is empty again.
    void ExpectNothingInstalled(const Installation& app) const {
        EXPECT_FALSE(Exists(app.install_folder));
        EXPECT_FALSE(Exists(app.MenuFolder()));
        EXPECT_FALSE(Exists(DesktopFolder() + "\\" + app.link_files.front()));
        EXPECT_FALSE(MachineKeyExists(app.UninstallKey()));
        EXPECT_EQ(FolderEntries(temp_folder_), std::vector<std::string>{}) << "staged files left behind";
    }
};

TEST_F(StoppedInstall, CancelOnTheFinishPageLeavesNothing) {
    const Installation app = Expect("E2E Cancelled", "E2E Cancelled", "", {"E2E Cancelled.lnk"});
    const std::unique_ptr<ProgramRun> setup = StartSetup(PackagePath("cancelled"));
    ASSERT_NO_FATAL_FAILURE(WalkToFinishPage(*setup));
    const std::string staged = temp_folder_ + "\\Uninstal.inf";
    EXPECT_TRUE(Exists(temp_folder_ + "\\License.txt"));
    EXPECT_EQ(SectionNames(staged), (std::vector<std::string>{"Install", "Links"}));

    ASSERT_TRUE(wizard().Press(kqgui::WizardButton::kCancel));
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*setup));
    ExpectNothingInstalled(app);
}

TEST_F(StoppedInstall, RefusedLicenceEndsSetupWithNothingInstalled) {
    const Installation app = Expect("E2E Refused", "E2E Refused", "", {"E2E Refused.lnk"});
    const std::unique_ptr<ProgramRun> setup = StartSetup(PackagePath("refused"));
    kqgui::WizardDriver wizard(setup->id());
    ASSERT_TRUE(wizard.WaitUntilShown()) << DescribeWindows(setup->id());
    ASSERT_TRUE(wizard.WaitForPage(kqgui::kWelcomePage));
    ASSERT_TRUE(wizard.Press(kqgui::WizardButton::kNext));
    const HWND licence = kqgui::WaitForVisibleWindow(setup->id(), kqgui::kDialogClass, "Software License Agreement");
    ASSERT_NE(licence, nullptr) << DescribeWindows(setup->id());
    kqgui::ClickButton(licence, kExitSetup);
    // Any message now would keep the program from ending.
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*setup));
    ExpectNothingInstalled(app);
}

// Made here: kqpack refuses a FileNum that does not match the files.
std::string ShortPackage() {
    kqtest::TestRecord script;
    script.stored_name = "kqsetup.inf";
    script.contents =
        "[Install]\r\nAppName=E2E Short\r\nDefDir=E2E Short\r\nVerNum=1.0\r\nFileNum=5\r\n\r\n"
        "[Links]\r\nlinka=one.txt\r\nlinkfilea=E2E Short.lnk\r\n";
    kqtest::TestRecord licence;
    licence.stored_name = "License.txt";
    licence.contents = DataFile("licence.txt");
    kqtest::TestRecord one;
    one.stored_name = "one.txt";
    one.contents = "The first of five.\r\n";
    one.attributes = 0x21;  // read-only
    kqtest::TestRecord two;
    two.stored_name = "two\\two.txt";
    two.contents = "The second of five.\r\n";
    std::string package = kqtest::StubBytes();
    for (const kqtest::TestRecord* record : {&script, &licence, &one, &two}) package += kqtest::EncodeRecord(*record);
    return package;
}

TEST_F(StoppedInstall, PackageShortOfFilesStopsAtTheThirdWithSetupError) {
    const Installation app = Expect("E2E Short", "E2E Short", "", {"E2E Short.lnk"});
    const std::string program = folder_ + "\\short-setup.exe";
    kqtest::WriteBytes(program, ShortPackage());
    const std::unique_ptr<ProgramRun> setup = StartProgram(program);
    ASSERT_NO_FATAL_FAILURE(WalkToFinishPage(*setup));
    ASSERT_TRUE(wizard().Press(kqgui::WizardButton::kFinish));
    ASSERT_NO_FATAL_FAILURE(AnswerPrompts(*setup, {{"Setup Error!", "Setup Error!", IDOK}}));
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*setup));

    const std::string folder = app.install_folder;
    EXPECT_EQ(FolderEntries(folder), (std::vector<std::string>{"one.txt", "two"}));
    EXPECT_EQ(kqtest::ReadBytes(folder + "\\one.txt"), "The first of five.\r\n");
    EXPECT_EQ(kqtest::ReadBytes(folder + "\\two\\two.txt"), "The second of five.\r\n");
    EXPECT_NE(GetFileAttributesA((folder + "\\one.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    // Stored 2024-06-15 10:30:00 (the test records' time); six hours later.
    EXPECT_EQ(LastWriteTime(folder + "\\one.txt"), FileTimeOf(2024, 6, 15, 16, 30, 0))
        << FormatFileTime(LastWriteTime(folder + "\\one.txt"));

    // The script stays staged with what the extraction recorded, and the
    // licence with it; nothing is registered.
    const std::string staged = temp_folder_ + "\\Uninstal.inf";
    const std::vector<ProfileEntry> recorded = {
        {"filea", folder + "\\one.txt"}, {"direa", "two"}, {"fileb", folder + "\\two\\two.txt"}};
    EXPECT_EQ(SectionEntries(staged, "Uninstall"), recorded);
    EXPECT_TRUE(Exists(temp_folder_ + "\\License.txt"));
    EXPECT_FALSE(MachineKeyExists(app.UninstallKey()));
    EXPECT_FALSE(Exists(app.MenuFolder()));
}

}  // namespace
}  // namespace kqe2e
