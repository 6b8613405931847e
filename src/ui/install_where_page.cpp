// The Install-where page: shows the install folder in an edit field, lets
// the user type another or browse for one, and takes the field on Next.
#include <windows.h>
#include <commctrl.h>

#include "directory_browser.h"
#include "resources/resource_ids.h"
#include "startup/bounded_text.h"
#include "startup/text_buffers.h"
#include "wizard_pages.h"

namespace kq {
namespace {

void ShowInstallFolder(HWND page) {
    SendDlgItemMessageA(page, KQ_ID_INSTALL_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_setup.install_folder));
}

// The field is taken as typed, unchecked and possibly empty. Both the install
// folder and the folder buffer receive it, cut to what the folder buffer holds
// (255 characters), so the two always agree.
void TakeTypedFolder(HWND page) {
    SendDlgItemMessageA(page, KQ_ID_INSTALL_FOLDER, WM_GETTEXT, kTextBufferSize,
                        reinterpret_cast<LPARAM>(g_setup.install_folder));
    if (!CopyText(g_text.folder, kTextBufferSize, g_setup.install_folder)) g_text.folder[0] = '\0';
}

}  // namespace

INT_PTR CALLBACK InstallWherePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_INITDIALOG) return TRUE;  // the platform sets the focus
    if (message == WM_COMMAND) {
        if (LOWORD(wparam) != KQ_ID_BROWSE) return TRUE;
        BrowseForInstallFolder(page);
        return FALSE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (NotificationCode(lparam)) {
    case PSN_SETACTIVE:
        // Text typed and then left with Back is not kept.
        PostWizardButtons(page, PSWIZB_BACK | PSWIZB_NEXT);
        ShowInstallFolder(page);
        return AnswerNotification(page);
    case PSN_RESET:
        ShowInstallFolder(page);
        return AnswerNotification(page);
    case PSN_WIZNEXT:
        TakeTypedFolder(page);
        return AnswerNotification(page);
    case PSN_KILLACTIVE:
    case PSN_WIZBACK:
        return AnswerNotification(page);
    default:
        return FALSE;
    }
}

}  // namespace kq
