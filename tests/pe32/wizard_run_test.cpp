// The setup wizard of the shipped i686 stub, driven from this 64-bit test
// through the same Wine server: the GUI scenarios' fixture and driver, on a
// package made on build/bin/kqstub.exe. The 32-bit build differs where the
// window and dialog data hold pointers and where it hands the system the old
// property-sheet and open-file structures, so one walk visits every page,
// the licence dialog and the directory browser, and then cancels.
#include <gtest/gtest.h>
#include <windows.h>

#include <dlgs.h>

#include <cstdio>
#include <string>

#include "driver/wait.h"
#include "driver/window_finder.h"
#include "scenarios/setup_run.h"

namespace kqscenario {
namespace {

using kqgui::WizardButton;

constexpr int kPageText = 1003;
constexpr int kLicenceText = 1010;
constexpr int kAccept = 101;
constexpr int kBrowse = 1007;
constexpr int kInstallFolderField = 1024;

class Pe32Wizard : public SetupRun {
protected:
    bool IsWow64() const {
        const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid());
        BOOL wow64 = FALSE;
        const bool known = process != nullptr && IsWow64Process(process, &wow64);
        if (process != nullptr) CloseHandle(process);
        return known && wow64;
    }

    // The browser once its first paint has rearranged it (OK moved).
    HWND OpenBrowser(HWND page) {
        kqgui::ClickButton(page, kBrowse);
        const HWND browser = kqgui::WaitForVisibleWindow(pid(), kqgui::kDialogClass, "Select directory");
        if (browser == nullptr) return nullptr;
        const bool arranged = kqgui::WaitUntil([&] {
            const RECT ok = kqgui::RectIn(GetDlgItem(browser, IDOK), browser);
            return ok.left == 180 && ok.top == 60;
        });
        return arranged ? browser : nullptr;
    }

    // Double-clicks "[chosen]" in the browser's directory list; the label then shown.
    std::string ChangeIntoChosen(HWND browser) {
        const HWND list = GetDlgItem(browser, lst2);
        const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        LRESULT chosen = -1;
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
};

TEST_F(Pe32Wizard, WalksEveryPageWithLicenceAndBrowserThenCancelEnds) {
    const DWORD start = GetTickCount();
    ASSERT_NO_FATAL_FAILURE(StartAtWelcome());
    std::printf("[pe32] wizard: start to Welcome page: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    std::fflush(stdout);
    EXPECT_TRUE(IsWow64()) << "the shipped stub must run as a 32-bit process";
    const std::string welcome = kqgui::ControlText(wizard().CurrentPage(), kPageText);
    EXPECT_EQ(welcome.rfind(std::string("Welcome to ") + kTitle, 0), 0u) << welcome;

    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    const HWND licence = WaitForLicenceDialog();
    ASSERT_NE(licence, nullptr) << "no licence dialog";
    EXPECT_EQ(kqgui::TextOf(GetDlgItem(licence, kLicenceText)), ReadLicenceData());
    kqgui::ClickButton(licence, kAccept);
    ASSERT_TRUE(kqgui::WaitForGone(licence));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kInstallWherePage)) << wizard().CurrentPageCaption();

    const HWND page = wizard().CurrentPage();
    const HWND field = GetDlgItem(page, kInstallFolderField);
    EXPECT_EQ(kqgui::TextOf(field), ExpectedDefaultFolder());
    const HWND browser = OpenBrowser(page);
    ASSERT_NE(browser, nullptr) << "no rearranged directory browser";
    EXPECT_LT(kqgui::RectIn(GetDlgItem(browser, lst1), browser).right, 0) << "the file half shows";
    const std::string label = ChangeIntoChosen(browser);
    ASSERT_GT(label.size(), 7u) << "no directory change";
    EXPECT_EQ(lstrcmpiA(label.substr(label.size() - 7).c_str(), "\\chosen"), 0) << label;
    kqgui::ClickButton(browser, IDOK);
    ASSERT_TRUE(kqgui::WaitForGone(browser));
    EXPECT_TRUE(kqgui::WaitUntil([&] { return kqgui::TextOf(field) == label; })) << kqgui::TextOf(field);

    ASSERT_TRUE(wizard().Press(WizardButton::kNext));
    ASSERT_TRUE(wizard().WaitForPage(kqgui::kFinishPage)) << wizard().CurrentPageCaption();
    EXPECT_EQ(kqgui::ControlText(wizard().CurrentPage(), kPageText),
              std::string(kTitle) + " is ready to finish the installation.");
    ASSERT_TRUE(wizard().Press(WizardButton::kCancel));
    ExpectCleanEnd();
    std::printf("[pe32] wizard: whole walk: %lu ms\n", static_cast<unsigned long>(GetTickCount() - start));
    std::fflush(stdout);
}

}  // namespace
}  // namespace kqscenario
