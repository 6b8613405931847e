// The wizard driver.
#include "wizard_driver.h"

#include <commctrl.h>

#include "window_finder.h"

namespace kqgui {
namespace {

constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;

struct ButtonInfo {
    int control;
    WPARAM press;
};

ButtonInfo InfoOf(WizardButton button) {
    switch (button) {
    case WizardButton::kBack: return {kBackButton, PSBTN_BACK};
    case WizardButton::kNext: return {kNextButton, PSBTN_NEXT};
    case WizardButton::kFinish: return {kFinishButton, PSBTN_FINISH};
    case WizardButton::kCancel: break;
    }
    return {IDCANCEL, PSBTN_CANCEL};
}

}  // namespace

bool WizardDriver::WaitUntilShown(DWORD timeout_ms) {
    return WaitUntil(
        [&] {
            for (HWND window : VisibleTopLevelWindowsOf(process_id_)) {
                if (ClassOf(window) == kDialogClass && GetDlgItem(window, kNextButton) != nullptr) {
                    frame_ = window;
                    return true;
                }
            }
            return false;
        },
        timeout_ms);
}

HWND WizardDriver::CurrentPage() const {
    if (!Exists()) return nullptr;
    DWORD_PTR page = 0;
    SendMessageTimeoutA(frame_, PSM_GETCURRENTPAGEHWND, 0, 0, SMTO_ABORTIFHUNG, 10000, &page);
    return reinterpret_cast<HWND>(page);
}

std::string WizardDriver::CurrentPageCaption() const {
    const HWND page = CurrentPage();
    return page != nullptr ? TextOf(page) : std::string();
}

bool WizardDriver::WaitForPage(const std::string& caption, DWORD timeout_ms) {
    return WaitUntil([&] { return CurrentPageCaption() == caption; }, timeout_ms);
}

bool WizardDriver::Press(WizardButton button) {
    const ButtonInfo info = InfoOf(button);
    const bool usable = WaitUntil([&] {
        const HWND control = Exists() ? GetDlgItem(frame_, info.control) : nullptr;
        return control != nullptr && IsWindowVisible(control) && IsWindowEnabled(control);
    });
    if (!usable) return false;
    // Posted: Next on the Welcome page runs the licence dialog's modal loop
    // inside the notification, and a sent message would wait for it to close.
    PostMessageA(frame_, PSM_PRESSBUTTON, info.press, 0);
    return true;
}

}  // namespace kqgui
