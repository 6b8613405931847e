// The Welcome page: greets the user by the application's name and, on the
// first Next, asks for the licence.
#include <windows.h>
#include <commctrl.h>

#include "display_text.h"
#include "licence_dialog.h"
#include "resources/resource_ids.h"
#include "setup_wizard.h"
#include "startup/text_buffers.h"
#include "wizard_pages.h"

namespace kq {
namespace {

constexpr size_t kWorkingArea = 512;

void ShowWelcomeTexts(HWND page) {
    const char* name = g_text.name;
    char text[kWorkingArea];
    const char* const greeting[] = {
        "Welcome to ", g_text.title, "\n\nThis Setup program will install ", name,
        " on your computer. If you have a previous version of ", name,
        " running, close it now, before continuing Setup."};
    ComposeCut(text, greeting);
    SetDlgItemTextA(page, KQ_ID_PAGE_TEXT, text);
    const char* const how_to[] = {"To install ", name, " on your computer now, click Next or press Enter.\n\n",
                                  "To exit Setup without installing ", name, ", click Cancel at any time."};
    ComposeCut(text, how_to);
    SetDlgItemTextA(page, KQ_ID_PAGE_DETAIL, text);
}

// Next leaves the page only once the licence is accepted; anything but Accept
// ends setup. The notification is answered with 0 either way: the quit
// request ends the wizard's loop.
void RunLicenceStep(HWND page) {
    if (g_licence_accepted != 0) return;
    if (RunLicenceDialog(page) == KQ_ID_ACCEPT) {
        g_licence_accepted = 1;
        return;
    }
    EndSetupEarly();
}

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
        ShowWelcomeTexts(page);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (NotificationCode(lparam)) {
    case PSN_SETACTIVE:
        PostWizardButtons(page, PSWIZB_NEXT);
        return AnswerNotification(page);
    case PSN_KILLACTIVE:
    case PSN_RESET:
        return AnswerNotification(page);
    case PSN_WIZNEXT:
        RunLicenceStep(page);
        return AnswerNotification(page);
    default:
        return FALSE;
    }
}

}  // namespace kq
