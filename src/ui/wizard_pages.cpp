// Helpers shared by the wizard's page procedures.
#include "wizard_pages.h"

#include <commctrl.h>

namespace kq {

INT_PTR AnswerNotification(HWND page) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

void PostWizardButtons(HWND page, LPARAM buttons) {
    PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

UINT NotificationCode(LPARAM lparam) {
    return reinterpret_cast<const NMHDR*>(lparam)->code;
}

}  // namespace kq
