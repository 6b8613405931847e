// The scenario fixture.
#include "setup_run.h"

#include "driver/window_finder.h"
#include "support/wine_paths.h"

namespace kqscenario {

void SetupRun::SetUp() {
    folder_ = kqtest::MakeScratchFolder("gui");
    temp_folder_ = folder_ + "\\temp";
    working_folder_ = folder_ + "\\work";
    ASSERT_TRUE(CreateDirectoryA(temp_folder_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(working_folder_.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((working_folder_ + "\\chosen").c_str(), nullptr));
    program_ = folder_ + "\\widget-setup.exe";
    const std::string package = kqtest::ReadBytes(kqtest::WindowsPathOf(KQ_UI_SETUP));
    ASSERT_GT(package.size(), 43008u);
    kqtest::WriteBytes(program_, package);
}

void SetupRun::TearDown() {
    wizard_.reset();
    process_.reset();
}

void SetupRun::Start() {
    process_ = std::make_unique<kqgui::SetupProcess>(program_, temp_folder_, working_folder_);
    ASSERT_TRUE(process_->started()) << "cannot start " << program_;
    wizard_ = std::make_unique<kqgui::WizardDriver>(process_->id());
}

void SetupRun::StartAtWelcome() {
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_TRUE(wizard_->WaitUntilShown()) << "no wizard";
    ASSERT_TRUE(wizard_->WaitForPage(kqgui::kWelcomePage)) << "shows " << wizard_->CurrentPageCaption();
}

HWND SetupRun::WaitForLicenceDialog() {
    return kqgui::WaitForVisibleWindow(pid(), kqgui::kDialogClass, kLicenceDialogCaption);
}

void SetupRun::AcceptLicence() {
    ASSERT_TRUE(wizard_->Press(kqgui::WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr) << "no licence dialog";
    kqgui::ClickButton(licence, 101);
    ASSERT_TRUE(kqgui::WaitForGone(licence));
    ASSERT_TRUE(wizard_->WaitForPage(kqgui::kInstallWherePage)) << "shows " << wizard_->CurrentPageCaption();
}

void SetupRun::ExpectCleanEnd() {
    ASSERT_TRUE(process_->WaitForExit()) << "the program did not end";
    EXPECT_EQ(process_->exit_code(), 0u);
    EXPECT_TRUE(kqgui::TopLevelWindowsOf(pid()).empty());
}

std::string SetupRun::ExpectedDefaultFolder() const {
    // The drive root of the temp folder + "Program Files\" + DefDir.
    return temp_folder_.substr(0, temp_folder_.find('\\') + 1) + "Program Files\\" + kAppName;
}

std::string SetupRun::ReadLicenceData() const {
    return kqtest::ReadBytes(kqtest::WindowsPathOf(KQ_UI_DATA_DIR) + "\\license.txt");
}

}  // namespace kqscenario
