// The directory browser opened from the Install-where page of the running
// setup program: reduced to its directory half, OK takes the directory the
// dialog is in, an untouched or shortened label and Cancel change nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <string>

#include "driver/wait.h"
#include "driver/window_finder.h"
#include "setup_run.h"

namespace kqscenario {
namespace {

using kqgui::WizardButton;

constexpr int kInstallFolderField = 1024;
constexpr int kBrowse = 1007;

class DirectoryBrowser : public SetupRun {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SetupRun::SetUp());
        ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
        ASSERT_NO_FATAL_FAILURE(AcceptLicence());
        page_ = wizard().CurrentPage();
        field_ = GetDlgItem(page_, kInstallFolderField);
    }

    // Opens the browser and waits for its first paint to have rearranged it.
    HWND OpenBrowser() {
        kqgui::ClickButton(page_, kBrowse);
        const HWND browser = kqgui::WaitForVisibleWindow(pid(), kqgui::kDialogClass, "Select directory");
        if (browser == nullptr) return nullptr;
        const bool arranged = kqgui::WaitUntil([&] {
            const RECT ok = kqgui::RectIn(GetDlgItem(browser, IDOK), browser);
            return ok.left == 180 && ok.top == 60;
        });
        return arranged ? browser : nullptr;
    }

    // Changes the browser into the working folder's subfolder "chosen", as a
    // double click in the directory list does; returns the label then shown.
    std::string ChangeIntoChosen(HWND browser) {
        const HWND list = GetDlgItem(browser, lst2);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        LRESULT chosen = -1;
        // Wide: Wine hands a wide item text unconverted to a cross-process LB_GETTEXT of the A form.
        for (LRESULT i = 0; i < count && chosen < 0; ++i) {
            wchar_t item[MAX_PATH] = L"";
            if (SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0) < MAX_PATH &&
                SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item)) > 0 &&
                lstrcmpiW(item, L"[chosen]") == 0)
                chosen = i;
        }
        if (chosen < 0) return "";
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
        PostMessageA(browser, WM_COMMAND, MAKEWPARAM(lst2, LBN_DBLCLK), reinterpret_cast<LPARAM>(list));
        std::string label;
        kqgui::WaitUntil([&] { return !(label = kqgui::ControlText(browser, stc1)).empty(); });
        return label;
    }

    // Next then Back: the field then shows the install folder as it is.
    std::string InstallFolderAfterNextAndBack() {
        if (!wizard().Press(WizardButton::kNext) || !wizard().WaitForPage(kqgui::kFinishPage)) return "(no Finish page)";
        if (!wizard().Press(WizardButton::kBack) || !wizard().WaitForPage(kqgui::kInstallWherePage)) return "(no way back)";
        return kqgui::TextOf(field_);
    }

    HWND page_ = nullptr;
    HWND field_ = nullptr;
};

TEST_F(DirectoryBrowser, ShowsOnlyItsDirectoryHalf) {
    const HWND browser = OpenBrowser();
    ASSERT_NE(browser, nullptr) << "no rearranged browser";
    // The file list and the file-name field are moved out of sight, left of the client area.
    EXPECT_LT(kqgui::RectIn(GetDlgItem(browser, lst1), browser).right, 0);
    EXPECT_LT(kqgui::RectIn(GetDlgItem(browser, edt1), browser).right, 0);
    const RECT cancel = kqgui::RectIn(GetDlgItem(browser, IDCANCEL), browser);
    EXPECT_EQ(cancel.left, 180);
    EXPECT_EQ(cancel.top, 100);
    const RECT label = kqgui::RectIn(GetDlgItem(browser, stc1), browser);
    EXPECT_EQ(label.left, 20);
    EXPECT_EQ(label.top, 30);
    EXPECT_EQ(kqgui::ControlText(browser, stc1), "") << "the label stays empty until the directory changes";
    GUITHREADINFO focus{};
    focus.cbSize = sizeof focus;
    const DWORD thread = GetWindowThreadProcessId(browser, nullptr);
    EXPECT_TRUE(kqgui::WaitUntil([&] {
        return GetGUIThreadInfo(thread, &focus) && focus.hwndFocus == GetDlgItem(browser, lst2);
    })) << "the directory list has no focus";
}

TEST_F(DirectoryBrowser, OkWithTheLabelUntouchedShowsTheUnchangedFolder) {
    // Text typed since the page showed is replaced by the install folder.
    kqgui::SetText(field_, "D:\\Typed");
    const HWND browser = OpenBrowser();
    ASSERT_NE(browser, nullptr);
    kqgui::ClickButton(browser, IDOK);
    ASSERT_TRUE(kqgui::WaitForGone(browser));
    EXPECT_TRUE(kqgui::WaitUntil([&] { return kqgui::TextOf(field_) == ExpectedDefaultFolder(); }))
        << kqgui::TextOf(field_);
}

TEST_F(DirectoryBrowser, ChangingDirectoryThenOkTakesIt) {
    const HWND browser = OpenBrowser();
    ASSERT_NE(browser, nullptr);
    const std::string label = ChangeIntoChosen(browser);
    ASSERT_GT(label.size(), 7u) << "no directory change";
    EXPECT_EQ(lstrcmpiA(label.substr(label.size() - 7).c_str(), "\\chosen"), 0) << label;
    kqgui::ClickButton(browser, IDOK);
    ASSERT_TRUE(kqgui::WaitForGone(browser));
    EXPECT_TRUE(kqgui::WaitUntil([&] { return kqgui::TextOf(field_) == label; })) << kqgui::TextOf(field_);
    EXPECT_EQ(InstallFolderAfterNextAndBack(), label);

    // The next opening starts in the program's own current directory again.
    const HWND again = OpenBrowser();
    ASSERT_NE(again, nullptr);
    EXPECT_NE(ChangeIntoChosen(again), "") << "not back in the working folder";
    kqgui::ClickButton(again, IDCANCEL);
    ASSERT_TRUE(kqgui::WaitForGone(again));
}

TEST_F(DirectoryBrowser, CancelKeepsTheTypedText) {
    kqgui::SetText(field_, "D:\\Typed");
    const HWND browser = OpenBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(ChangeIntoChosen(browser), "");
    kqgui::ClickButton(browser, IDCANCEL);
    ASSERT_TRUE(kqgui::WaitForGone(browser));
    EXPECT_EQ(kqgui::TextOf(field_), "D:\\Typed");
    EXPECT_EQ(InstallFolderAfterNextAndBack(), "D:\\Typed");
}

TEST_F(DirectoryBrowser, ShortenedLabelIsNotTakenAsTheFolder) {
    const HWND browser = OpenBrowser();
    ASSERT_NE(browser, nullptr);
    ASSERT_NE(ChangeIntoChosen(browser), "");
    // What a label too narrow for its path shows on Windows; Wine never shortens.
    kqgui::SetText(GetDlgItem(browser, stc1), "c:\\users\\...\\work\\chosen");
    kqgui::ClickButton(browser, IDOK);
    ASSERT_TRUE(kqgui::WaitForGone(browser));
    EXPECT_TRUE(kqgui::WaitUntil([&] { return kqgui::TextOf(field_) == ExpectedDefaultFolder(); }))
        << kqgui::TextOf(field_);
    EXPECT_EQ(InstallFolderAfterNextAndBack(), ExpectedDefaultFolder());
}

}  // namespace
}  // namespace kqscenario
