// The licence dialog and the reading of the staged licence file.
#include "licence_dialog.h"

#include "message_box.h"
#include "resources/resource_ids.h"
#include "setup_wizard.h"
#include "startup/text_buffers.h"

namespace kq {
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
            EndSetupEarly();
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
