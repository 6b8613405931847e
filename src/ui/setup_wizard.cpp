// The wizard's property sheet header and page records.
#include "setup_wizard.h"

#include "startup/system_library.h"

#include <commctrl.h>
#include <stddef.h>

#include "resources/resource_ids.h"
#include "startup/text_buffers.h"
#include "wizard_pages.h"

namespace kq {

int g_licence_accepted;
int g_setup_ended_early;

namespace {

// The header and page records in their forms with the header-bitmap and the
// header-title members (what the platform's _V2_SIZE macros compute; those
// macros are not constant expressions in C++). The property sheet steps
// through the page array by each record's size, so the array is of the
// matching record type.
constexpr DWORD kSheetHeaderSize = offsetof(PROPSHEETHEADERA, hbmHeader) + sizeof(HBITMAP);
using PageRecord = PROPSHEETPAGEA_V2;
#if !defined(_WIN64)
static_assert(kSheetHeaderSize == 52, "property sheet header with header bitmap: 52 bytes");
static_assert(sizeof(PageRecord) == 48, "property sheet page with header titles: 48 bytes");
#endif

struct PageDefinition {
    int template_id;
    const char* title;  // not displayed: the records do not ask for PSP_USETITLE
    DLGPROC procedure;
};

constexpr PageDefinition kPages[] = {
    {KQ_DIALOG_WELCOME_PAGE, "Welcome", WelcomePageProc},
    {KQ_DIALOG_INSTALL_WHERE_PAGE, "Install where", InstallWherePageProc},
    {KQ_DIALOG_FINISH_PAGE, "Finish", FinishPageProc},
};
constexpr UINT kPageCount = sizeof kPages / sizeof kPages[0];

}  // namespace

int RunSetupWizard(HWND owner, HINSTANCE) {
    PageRecord pages[kPageCount] = {};
    for (UINT i = 0; i < kPageCount; ++i) {
        pages[i].dwSize = sizeof(PageRecord);
        pages[i].dwFlags = PSP_DEFAULT;
        pages[i].hInstance = g_setup.instance;
        pages[i].pszTemplate = MAKEINTRESOURCEA(kPages[i].template_id);
        pages[i].pszTitle = kPages[i].title;
        pages[i].pfnDlgProc = kPages[i].procedure;
    }
    PROPSHEETHEADERA header = {};
    header.dwSize = kSheetHeaderSize;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_WIZARD | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.pszCaption = g_text.title;
    header.nPages = kPageCount;
    header.nStartPage = 0;
    header.ppsp = reinterpret_cast<LPCPROPSHEETPAGEA>(pages);
    using PropertySheetFunction = INT_PTR(WINAPI*)(LPCPROPSHEETHEADERA);
    const auto property_sheet = SystemFunction<PropertySheetFunction>("comctl32.dll", "PropertySheetA");
    if (property_sheet == nullptr) return 0;
    const INT_PTR result = property_sheet(&header);
    // The quit request ends the sheet's loop with a platform-chosen result
    // (Wine: -1), which must not read as Finish.
    if (g_setup_ended_early != 0 || result <= 0) return 0;
    return 1;
}

void EndSetupEarly() {
    g_setup_ended_early = 1;
    PostQuitMessage(0);
}

}  // namespace kq
