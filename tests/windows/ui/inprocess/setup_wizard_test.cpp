// The setup wizard run in-process from the stub's code: what RunSetupWizard
// returns for each way out, the flags and folders it leaves behind, the
// licence dialog's failures, and texts cut to their areas for overlong names.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "driver/wait.h"
#include "driver/window_finder.h"
#include "driver/wizard_driver.h"
#include "startup/bounded_text.h"
#include "startup/text_buffers.h"
#include "support/message_recorder.h"
#include "support/wine_paths.h"
#include "ui/setup_wizard.h"
#include "wizard_thread.h"

namespace {

using kqgui::WizardButton;

constexpr char kLicenceCaption[] = "Software License Agreement";
constexpr int kInstallFolderField = 1024;

void SetBuffer(char* buffer, size_t capacity, const std::string& text) {
    ASSERT_TRUE(kq::CopyText(buffer, capacity, text.c_str()));
}

class SetupWizard : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(kq::AllocateTextBuffers()); }
    static void TearDownTestSuite() { kq::FreeTextBuffers(); }

    void SetUp() override {
        kq::g_setup.instance = GetModuleHandleA(nullptr);
        kq::g_licence_accepted = 0;
        kq::g_setup_ended_early = 0;
        folder_ = kqtest::MakeScratchFolder("wizard");
        licence_ = folder_ + "\\License.txt";
        kqtest::WriteBytes(licence_, "Licence terms.\r\nSecond line.\r\n");
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_text.licence_path, kq::kTextBufferSize, licence_));
        ASSERT_NO_FATAL_FAILURE(UseName("Widget Works"));
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_setup.install_folder, MAX_PATH, kDefaultFolder));
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_text.folder, kq::kTextBufferSize, kDefaultFolder));
    }

    // The name, and the title as the install sequence builds it: name, blank,
    // "Setup", cut to the title buffer.
    void UseName(const std::string& name) {
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_text.name, kq::kTextBufferSize, name));
        const std::string title = (name + " Setup").substr(0, kq::kTextBufferSize - 1);
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_text.title, kq::kTextBufferSize, title));
    }

    void StartAtWelcome() {
        wizard_thread_ = std::make_unique<kqinprocess::WizardThread>();
        ASSERT_TRUE(driver_.WaitUntilShown());
        ASSERT_TRUE(driver_.WaitForPage(kqgui::kWelcomePage));
    }

    HWND WaitForLicenceDialog() {
        return kqgui::WaitForVisibleWindow(GetCurrentProcessId(), kqgui::kDialogClass, kLicenceCaption);
    }

    void AcceptLicence() {
        ASSERT_TRUE(driver_.Press(WizardButton::kNext));
        const HWND licence = WaitForLicenceDialog();
        ASSERT_NE(licence, nullptr);
        kqgui::ClickButton(licence, 101);
        ASSERT_TRUE(driver_.WaitForPage(kqgui::kInstallWherePage));
    }

    void GoToFinish() {
        ASSERT_TRUE(driver_.Press(WizardButton::kNext));
        ASSERT_TRUE(driver_.WaitForPage(kqgui::kFinishPage));
    }

    HWND Field() { return GetDlgItem(driver_.CurrentPage(), kInstallFolderField); }

    int EndWith(WizardButton button) {
        EXPECT_TRUE(driver_.Press(button));
        EXPECT_TRUE(wizard_thread_->WaitForEnd()) << "the wizard did not end";
        return wizard_thread_->result();
    }

    // The wizard ends by itself after Next (the licence dialog gave up).
    int EndAfterNext() {
        EXPECT_TRUE(driver_.Press(WizardButton::kNext));
        EXPECT_TRUE(wizard_thread_->WaitForEnd()) << "the wizard did not end";
        return wizard_thread_->result();
    }

    static constexpr char kDefaultFolder[] = "C:\\Program Files\\Widget Works";
    std::string folder_;
    std::string licence_;
    kqgui::WizardDriver driver_{GetCurrentProcessId()};
    std::unique_ptr<kqinprocess::WizardThread> wizard_thread_;
};

TEST_F(SetupWizard, FinishReturnsOneWithTheTakenFolderInBothPlaces) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(driver_.Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(kqgui::ControlText(licence, 1010), "Licence terms.\r\nSecond line.\r\n");
    kqgui::ClickButton(licence, 101);
    ASSERT_TRUE(driver_.WaitForPage(kqgui::kInstallWherePage));
    kqgui::SetText(Field(), "D:\\Chosen Folder");
    ASSERT_NO_FATAL_FAILURE(GoToFinish());
    EXPECT_EQ(EndWith(WizardButton::kFinish), 1);
    EXPECT_STREQ(kq::g_setup.install_folder, "D:\\Chosen Folder");
    EXPECT_STREQ(kq::g_text.folder, "D:\\Chosen Folder");
    EXPECT_EQ(kq::g_licence_accepted, 1);
    EXPECT_EQ(kq::g_setup_ended_early, 0);
    EXPECT_STREQ(kq::g_text.title, "Widget Works Setup") << "the Finish page changed the title";
}

TEST_F(SetupWizard, CancelReturnsZeroOnEveryPage) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    EXPECT_EQ(EndWith(WizardButton::kCancel), 0) << "on the Welcome page";

    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    EXPECT_EQ(EndWith(WizardButton::kCancel), 0) << "on the Install-where page";

    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(driver_.Press(WizardButton::kNext));  // licence accepted before: no dialog
    ASSERT_TRUE(driver_.WaitForPage(kqgui::kInstallWherePage));
    ASSERT_NO_FATAL_FAILURE(GoToFinish());
    EXPECT_EQ(EndWith(WizardButton::kCancel), 0) << "on the Finish page";
    EXPECT_EQ(kq::g_setup_ended_early, 0);
}

TEST_F(SetupWizard, ExitSetupEndsSetupEarlyWithTheQuitRequest) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(driver_.Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr);
    kqgui::ClickButton(licence, 102);
    ASSERT_TRUE(wizard_thread_->WaitForEnd());
    // Whatever the property sheet returned on the quit request, it is not Finish.
    EXPECT_EQ(wizard_thread_->result(), 0);
    EXPECT_EQ(kq::g_setup_ended_early, 1);
    EXPECT_EQ(kq::g_licence_accepted, 0);
    EXPECT_TRUE(wizard_thread_->quit_posted()) << "the quit request did not reach the program's loop";
    EXPECT_EQ(wizard_thread_->quit_code(), 0u);
}

TEST_F(SetupWizard, EmptyLicenceShowsAnEmptyFieldAndCanBeAccepted) {
    kqtest::WriteBytes(licence_, "");
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_TRUE(driver_.Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr);
    EXPECT_EQ(kqgui::ControlText(licence, 1010), "");
    kqgui::ClickButton(licence, 101);
    EXPECT_TRUE(driver_.WaitForPage(kqgui::kInstallWherePage));
    EXPECT_EQ(EndWith(WizardButton::kCancel), 0);
}

struct LicenceFailure {
    const char* name;
    const char* text;
    const char* caption;
};

// Each failure tells the user, ends the licence dialog unshown and ends setup.
class LicenceFailures : public SetupWizard, public testing::WithParamInterface<LicenceFailure> {};

TEST_P(LicenceFailures, AreReportedAndEndSetupEarly) {
    const std::string kind = GetParam().name;
    if (kind == "missing") {
        ASSERT_TRUE(DeleteFileA(licence_.c_str()));
    } else if (kind == "unreadable") {
        // Opens, has a size, and fails every read (EINVAL) on a Linux host.
        const std::string unreadable = "Z:\\sys\\class\\net\\lo\\speed";
        if (!kqtest::FileExists(unreadable)) GTEST_SKIP() << "no " << unreadable << " on this host";
        ASSERT_NO_FATAL_FAILURE(SetBuffer(kq::g_text.licence_path, kq::kTextBufferSize, unreadable));
    } else {
        // 4 GiB - 1 bytes, sparse: its size + 1 does not fit 32 bits.
        const HANDLE file = CreateFileA(licence_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = 0xFFFFFFFFLL;
        EXPECT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
        CloseHandle(file);
    }
    kqtest::MessageRecorder recorder(IDOK);
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    EXPECT_EQ(EndAfterNext(), 0);
    ASSERT_EQ(recorder.shown().size(), 1u);
    EXPECT_EQ(recorder.shown()[0].text, GetParam().text);
    EXPECT_EQ(recorder.shown()[0].caption, GetParam().caption);
    EXPECT_EQ(recorder.shown()[0].flags, static_cast<unsigned>(MB_OK));
    EXPECT_EQ(kq::g_setup_ended_early, 1);
    EXPECT_EQ(kq::g_licence_accepted, 0);
    EXPECT_TRUE(wizard_thread_->quit_posted());
    DeleteFileA(licence_.c_str());
}

INSTANTIATE_TEST_SUITE_P(SetupWizard, LicenceFailures,
                         testing::Values(LicenceFailure{"missing", "Error accessing License.txt", "Setup Error"},
                                         LicenceFailure{"unreadable", "Setup Error", "File Error"},
                                         LicenceFailure{"too_large", "Can't get memory", "Setup Error"}),
                         [](const testing::TestParamInfo<LicenceFailure>& param_info) { return param_info.param.name; });

TEST_F(SetupWizard, OverlongApplicationNameIsCutToEachTextArea) {
    const std::string name(255, 'N');
    ASSERT_NO_FATAL_FAILURE(UseName(name));
    const std::string title = kq::g_text.title;
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    const HWND welcome = driver_.CurrentPage();
    const std::string greeting = "Welcome to " + title + "\n\nThis Setup program will install " + name +
                                 " on your computer. If you have a previous version of " + name +
                                 " running, close it now, before continuing Setup.";
    const std::string how_to = "To install " + name + " on your computer now, click Next or press Enter.\n\n" +
                               "To exit Setup without installing " + name + ", click Cancel at any time.";
    EXPECT_EQ(kqgui::ControlText(welcome, 1003), greeting.substr(0, 511));
    EXPECT_EQ(kqgui::ControlText(welcome, 1004), how_to.substr(0, 511));

    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    ASSERT_NO_FATAL_FAILURE(GoToFinish());
    const HWND finish = driver_.CurrentPage();
    EXPECT_EQ(kqgui::ControlText(finish, 1003), title + " is ready to finish the installation.");
    EXPECT_EQ(kqgui::ControlText(finish, 1004),
              "To install " + name +
                  " on your computer now, click Finish or press Enter.\n\n"
                  "To exit Setup without installing, click Cancel.");
    EXPECT_EQ(EndWith(WizardButton::kFinish), 1);
    EXPECT_EQ(kq::g_text.title, title);
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, nullptr)) << "a text buffer was overrun";
}

TEST_F(SetupWizard, TypedFolderIsCutToWhatTheFolderBufferHolds) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    const std::string typed = "D:\\" + std::string(300, 'f');
    kqgui::SetText(Field(), typed);
    ASSERT_NO_FATAL_FAILURE(GoToFinish());
    EXPECT_EQ(EndWith(WizardButton::kFinish), 1);
    EXPECT_EQ(std::string(kq::g_setup.install_folder), typed.substr(0, 255));
    EXPECT_EQ(std::string(kq::g_text.folder), typed.substr(0, 255));
}

TEST_F(SetupWizard, EmptyFieldEmptiesTheInstallFolder) {
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    ASSERT_NO_FATAL_FAILURE(AcceptLicence());
    kqgui::SetText(Field(), "");
    ASSERT_NO_FATAL_FAILURE(GoToFinish());
    EXPECT_EQ(EndWith(WizardButton::kFinish), 1);
    EXPECT_STREQ(kq::g_setup.install_folder, "");
    EXPECT_STREQ(kq::g_text.folder, "");
}

}  // namespace
