// The setup wizard in the running setup program: the texts of its pages, the
// licence dialog on the first Next, the Install-where page's field, and every
// way the wizard ends the program.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "driver/message_boxes.h"
#include "driver/wait.h"
#include "driver/window_finder.h"
#include "setup_run.h"
#include "support/wine_paths.h"

namespace kqscenario {
namespace {

using kqgui::WizardButton;
using Wizard = SetupRun;

constexpr int kPageText = 1003;
constexpr int kPageDetail = 1004;
constexpr int kInstallFolderField = 1024;
constexpr int kLicenceText = 1010;
constexpr int kAccept = 101;
constexpr int kExitSetup = 102;

std::string WelcomeText() {
    const std::string name = kAppName;
    return "Welcome to " + std::string(kTitle) + "\n\nThis Setup program will install " + name +
           " on your computer. If you have a previous version of " + name +
           " running, close it now, before continuing Setup.";
}

std::string WelcomeDetail() {
    const std::string name = kAppName;
    return "To install " + name + " on your computer now, click Next or press Enter.\n\n" +
           "To exit Setup without installing " + name + ", click Cancel at any time.";
}

TEST_F(Wizard, WelcomePageGreetsWithTheApplicationsName) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    const HWND page = wizard().CurrentPage();
    EXPECT_EQ(kqgui::ControlText(page, kPageText), WelcomeText());
    EXPECT_EQ(kqgui::ControlText(page, kPageDetail), WelcomeDetail());
}

TEST_F(Wizard, FirstNextShowsTheLicenceWhichOnlyItsButtonsClose) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(wizard().CurrentPageCaption(), kqgui::kWelcomePage);
    const HWND text = GetDlgItem(licence, kLicenceText);
    EXPECT_EQ(kqgui::TextOf(text), ReadLicenceData());

    kqgui::PostKey(text, VK_ESCAPE);
    ASSERT_TRUE(kqgui::WaitForPostedMessagesHandled(text));
    EXPECT_TRUE(IsWindowVisible(licence)) << "Esc closed the licence dialog";
    PostMessageA(licence, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(kqgui::WaitForPostedMessagesHandled(text));
    EXPECT_TRUE(IsWindowVisible(licence)) << "the close box closed the licence dialog";

    kqgui::ClickButton(licence, kAccept);
    EXPECT_TRUE(kqgui::WaitForGone(licence));
    EXPECT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage)) << wizard().CurrentPageCaption();
}

TEST_F(Wizard, AcceptedLicenceIsNotAskedForAgain) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    ASSERT_TRUE(wizard().Press(WizardButton::kBack));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kWelcomePage));
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    // The licence dialog would run inside Next, before the page changes.
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage)) << wizard().CurrentPageCaption();
    EXPECT_EQ(kqgui::FindVisibleWindow(pid(), kqgui::kDialogClass, kLicenceDialogCaption), nullptr);
}

TEST_F(Wizard, InstallWhereTakesTypedFolderOnNextAndDropsItOnBack) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    const auto field = [&] { return GetDlgItem(wizard().CurrentPage(), kInstallFolderField); };
    EXPECT_EQ(kqgui::TextOf(field()), ExpectedDefaultFolder());

    kqgui::SetText(field(), "D:\\Left Behind");
    ASSERT_TRUE(wizard().Press(WizardButton::kBack));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kWelcomePage));
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage));
    EXPECT_EQ(kqgui::TextOf(field()), ExpectedDefaultFolder());

    kqgui::SetText(field(), "D:\\Typed Folder");
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kFinishPage));
    ASSERT_TRUE(wizard().Press(WizardButton::kBack));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage));
    EXPECT_EQ(kqgui::TextOf(field()), "D:\\Typed Folder");
}

TEST_F(Wizard, FinishPageConfirmsAndFinishEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kFinishPage));
    const std::string ready = std::string(kTitle) + " is ready to finish the installation.";
    const std::string detail = "To install " + std::string(kAppName) +
                               " on your computer now, click Finish or press Enter.\n\n"
                               "To exit Setup without installing, click Cancel.";
    EXPECT_EQ(kqgui::ControlText(wizard().CurrentPage(), kPageText), ready);
    EXPECT_EQ(kqgui::ControlText(wizard().CurrentPage(), kPageDetail), detail);

    // Back and forward again: the same texts, the title not extended twice.
    ASSERT_TRUE(wizard().Press(WizardButton::kBack));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage));
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kFinishPage));
    EXPECT_EQ(kqgui::ControlText(wizard().CurrentPage(), kPageText), ready);

    ASSERT_TRUE(wizard().Press(WizardButton::kFinish));
    // The installation runs (the package has no files) up to the closing question.
    const std::string name = kAppName;
    const HWND question = kqgui::WaitForMessageBox(
        pid(), "Setup Complete",
        name + " Setup is complete. If you need help getting started,\nclick the " + name +
            " Help menu item on your Start Menu.\n\nRun " + name + "?");
    ASSERT_NE(question, nullptr);
    kqgui::ClickButton(question, IDNO);
    ExpectCleanEnd();
    // Even without package files the install folder is made, and the licence
    // and the log (after the clean-up) are moved into it.
    EXPECT_TRUE(kqtest::FileExists(ExpectedDefaultFolder() + "\\License.txt"));
    EXPECT_TRUE(kqtest::FileExists(ExpectedDefaultFolder() + "\\Uninstal.inf"));
}

TEST_F(Wizard, CancelOnTheWelcomePageEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(wizard().Press(WizardButton::kCancel));
    ExpectCleanEnd();
}

TEST_F(Wizard, CancelOnTheInstallWherePageEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    ASSERT_TRUE(wizard().Press(WizardButton::kCancel));
    ExpectCleanEnd();
}

TEST_F(Wizard, ExitSetupInTheLicenceDialogEndsTheProgram) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr);
    kqgui::ClickButton(licence, kExitSetup);
    ExpectCleanEnd();
}

TEST_F(Wizard, MissingLicenceIsReportedThenTheProgramEnds) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(DeleteFileA((temp_folder_ + "\\License.txt").c_str()));
    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    const HWND message = kqgui::WaitForMessageBox(pid(), "Setup Error", "Error accessing License.txt");
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(kqgui::FindVisibleWindow(pid(), kqgui::kDialogClass, kLicenceDialogCaption), nullptr);
    kqgui::ClickButton(message, IDOK);
    ExpectCleanEnd();
}

}  // namespace
}  // namespace kqscenario
