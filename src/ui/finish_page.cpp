// The Finish page: confirms that setup is ready to install.
#include <windows.h>
#include <commctrl.h>

#include "display_text.h"
#include "resources/resource_ids.h"
#include "startup/text_buffers.h"
#include "wizard_pages.h"

namespace kq {
namespace {

constexpr size_t kWorkingArea = 512;

// Composed in working areas of their own: the title buffer keeps the title.
void ShowFinishTexts(HWND page) {
    char text[kWorkingArea];
    const char* const ready[] = {g_text.title, " is ready to finish the installation."};
    ComposeCut(text, ready);
    SetDlgItemTextA(page, KQ_ID_PAGE_TEXT, text);
    const char* const how_to[] = {"To install ", g_text.name, " on your computer now, click Finish or press Enter.\n\n",
                                  "To exit Setup without installing, click Cancel."};
    ComposeCut(text, how_to);
    SetDlgItemTextA(page, KQ_ID_PAGE_DETAIL, text);
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM, LPARAM lparam) {
    if (message == WM_INITDIALOG) {
        ShowFinishTexts(page);
        return TRUE;
    }
    if (message != WM_NOTIFY) return FALSE;
    switch (NotificationCode(lparam)) {
    case PSN_SETACTIVE:
        PostWizardButtons(page, PSWIZB_BACK | PSWIZB_FINISH);
        return AnswerNotification(page);
    case PSN_KILLACTIVE:
    case PSN_RESET:
    case PSN_WIZBACK:
    case PSN_WIZFINISH:
        return AnswerNotification(page);
    default:
        return FALSE;
    }
}

}  // namespace kq
