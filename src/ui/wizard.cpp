// The setup wizard: the property sheet, its three pages, and the licence
// dialog the Welcome page shows.
#include "ui/wizard.h"

#include <commctrl.h>
#include <stddef.h>
#include <windows.h>

#include "platform/platform.h"
#include "ui/resources/resource_ids.h"
#include "text/text.h"
#include "text/text_buffers.h"
#include "ui/directory_browser.h"

namespace kq {

int g_setup_ended_early;

namespace {

// 0 at start; set to 1 by the Welcome page when the licence dialog returns
// Accept, never reset. While it is 1, Next there skips the licence dialog.
int g_licence_accepted;

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

int RunSetupWizard(HWND owner) {
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

void EndSetupEarly(int exit_code) {
    g_setup_ended_early = 1;
    g_setup.exit_code = exit_code;
    PostQuitMessage(exit_code);
}

namespace {

// Answers a handled notification with 0 (accept the activation, allow
// leaving, let Back, Next and Finish go ahead) and returns TRUE.
INT_PTR AnswerNotification(HWND page) {
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

// Posted, not sent: the buttons change after the notification is answered.
void PostWizardButtons(HWND page, LPARAM buttons) {
    PostMessageA(GetParent(page), PSM_SETWIZBUTTONS, 0, buttons);
}

UINT NotificationCode(LPARAM lparam) {
    return reinterpret_cast<const NMHDR*>(lparam)->code;
}

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
    EndSetupEarly(kExitCancelled);
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

namespace {

void ShowInstallFolder(HWND page) {
    SendDlgItemMessageA(page, KQ_ID_INSTALL_FOLDER, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(g_setup.install_folder));
}

const char* FolderProblemText(FolderProblem problem) {
    switch (problem) {
    case FolderProblem::kEmpty: return "Please type the folder to install into.";
    case FolderProblem::kNotAbsolute:
        return "The install folder must be a full path, such as C:\\Program Files\\Application.";
    case FolderProblem::kBadCharacter:
        return "The install folder holds a character that Windows does not allow in a folder name:\n"
               "< > : \" / | ? * or a control character.";
    case FolderProblem::kTooLong:
        return "The install folder is too long for the files to be installed in it.\nPlease choose a shorter one.";
    case FolderProblem::kNone: break;
    }
    return nullptr;
}

// The field is checked and, when it names a usable folder, taken. A text too
// long for the buffer is refused whole, never cut into another folder.
int TakeTypedFolder(HWND page) {
    char typed[kTextBufferSize] = {};
    const bool fits =
        SendDlgItemMessageA(page, KQ_ID_INSTALL_FOLDER, WM_GETTEXTLENGTH, 0, 0) < static_cast<LRESULT>(sizeof typed);
    if (fits) SendDlgItemMessageA(page, KQ_ID_INSTALL_FOLDER, WM_GETTEXT, sizeof typed, reinterpret_cast<LPARAM>(typed));
    return AcceptInstallFolder(page, fits ? typed : nullptr);
}

}  // namespace

int AcceptInstallFolder(HWND owner, const char* folder) {
    const FolderProblem problem =
        folder != nullptr ? InstallFolderProblem(folder, g_setup.longest_stored_name) : FolderProblem::kTooLong;
    if (problem != FolderProblem::kNone) {
        ShowOwnedMessage(owner, FolderProblemText(problem), "Setup", MB_OK | MB_ICONWARNING);
        return 0;
    }
    (void)CopyText(g_setup.install_folder, sizeof g_setup.install_folder, folder);
    (void)CopyText(g_text.folder, kTextBufferSize, folder);
    return 1;
}

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
        if (TakeTypedFolder(page)) return AnswerNotification(page);
        // -1 keeps the page.
        SetWindowLongPtrA(page, DWLP_MSGRESULT, -1);
        return TRUE;
    case PSN_KILLACTIVE:
    case PSN_WIZBACK:
        return AnswerNotification(page);
    default:
        return FALSE;
    }
}

namespace {

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

namespace {

// Puts the whole licence file into control 1010, bytes and line ends as they
// are (the text ends at its first NUL). Returns 0 after telling the user when
// the file cannot be opened, held in memory or read.
int ShowLicenceText(HWND dialog) {
    const HANDLE file = CreateFileA(g_text.licence_path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        ShowOwnedMessage(dialog, "Error accessing License.txt", "Setup Error", MB_OK);
        return 0;
    }
    const DWORD size = GetFileSize(file, nullptr);
    // Room for the terminator must not wrap to a zero-byte allocation; this
    // also refuses a failed size query (INVALID_FILE_SIZE).
    char* text = size < INVALID_FILE_SIZE ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size + 1)) : nullptr;
    if (text == nullptr) {
        CloseHandle(file);
        ShowOwnedMessage(dialog, "Can't get memory", "Setup Error", MB_OK);
        return 0;
    }
    DWORD read = 0;
    const BOOL read_ok = ReadFile(file, text, size, &read, nullptr);
    CloseHandle(file);
    if (!read_ok) {
        HeapFree(GetProcessHeap(), 0, text);
        // "Setup Error" is the text here and "File Error" the caption.
        ShowOwnedMessage(dialog, "Setup Error", "File Error", MB_OK);
        return 0;
    }
    text[read] = '\0';  // a short read shows what was read, nothing beyond it
    SetDlgItemTextA(dialog, KQ_ID_LICENCE_TEXT, text);
    SetFocus(GetDlgItem(dialog, KQ_ID_LICENCE_TEXT));
    HeapFree(GetProcessHeap(), 0, text);
    return 1;
}

}  // namespace

int RunLicenceDialog(HWND owner) {
    return static_cast<int>(DialogBoxParamA(g_setup.instance, MAKEINTRESOURCEA(KQ_DIALOG_LICENCE), owner,
                                            LicenceDialogProc, 0));
}

INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    if (message == WM_INITDIALOG) {
        // Every failure ends the dialog unshown and setup with it, so that
        // none leaves a dialog without a text to accept.
        if (!ShowLicenceText(dialog)) {
            EndDialog(dialog, KQ_ID_EXIT_SETUP);
            EndSetupEarly(kExitFailed);
        }
        return FALSE;  // the focus is set (or the dialog is ending)
    }
    if (message == WM_COMMAND) {
        // IDCANCEL from Esc or the close box is ignored: only the two buttons close.
        const WORD command = LOWORD(wparam);
        if (command == KQ_ID_ACCEPT || command == KQ_ID_EXIT_SETUP) EndDialog(dialog, command);
    }
    return FALSE;
}

}  // namespace kq
