// The directory browser's open-file request and its hook.
#include "ui/directory_browser.h"

#include "platform/platform.h"

#include <commdlg.h>
#include <dlgs.h>
#include <stddef.h>

#include "ui/resources/resource_ids.h"
#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {
namespace {

// The open-file record without the members added after lpTemplateName (what
// OPENFILENAME_SIZE_VERSION_400A computes, as a constant expression).
constexpr DWORD kOpenFileRecordSize = offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR);
#if !defined(_WIN64)
static_assert(kOpenFileRecordSize == 76, "old-style open-file record: 76 bytes");
#endif

constexpr DWORD kBrowserFlags =
    OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_ENABLEHOOK | OFN_NOVALIDATE | OFN_NONETWORKBUTTON | OFN_LONGNAMES;

// Set to 1 by the hook when a browser dialog starts, back to 0 by its first
// paint; written only by the hook.
int g_first_paint;

// Moves a control to client position (x, y), keeping its height and adding
// `extra_width` to its width, and repaints it.
void MoveControl(HWND dialog, int id, int x, int y, int extra_width) {
    const HWND control = GetDlgItem(dialog, id);
    RECT bounds;
    GetWindowRect(control, &bounds);
    MoveWindow(control, x, y, bounds.right - bounds.left + extra_width, bounds.bottom - bounds.top, TRUE);
}

// Pushes the file list and everything left of it (the file-name field and the
// file-type list) out of sight, narrows the dialog and places the buttons and
// the directory label.
void ArrangeDirectoryHalf(HWND dialog) {
    RECT list;
    RECT frame;
    GetWindowRect(GetDlgItem(dialog, lst1), &list);
    GetWindowRect(dialog, &frame);
    POINT list_corner = {list.right, list.bottom};
    ScreenToClient(dialog, &list_corner);
    const int list_right = list_corner.x;
    ScrollWindowEx(dialog, -(list_right + 1), 0, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN);
    SetWindowPos(dialog, HWND_TOP, 0, 0, (frame.right - frame.left) - list_right + 16, frame.bottom - frame.top,
                 SWP_NOMOVE);
    MoveControl(dialog, IDCANCEL, 180, 100, 0);
    MoveControl(dialog, IDOK, 180, 60, 0);
    MoveControl(dialog, stc1, 20, 30, 100);
    SetFocus(GetDlgItem(dialog, lst2));
}

// The label is empty until the user changes directory; an empty, cut or
// shortened label leaves the install folder as it was.
void TakeDirectoryLabel(HWND dialog) {
    char label[kTextBufferSize + 1];  // one more than a folder text, to notice a cut one
    const UINT length = GetDlgItemTextA(dialog, stc1, label, sizeof label);
    if (!IsUsableDirectoryLabel(label, length)) return;
    (void)CopyText(g_setup.install_folder, sizeof g_setup.install_folder, label);  // fits: usable labels are short
}

}  // namespace

int IsUsableDirectoryLabel(const char* label, size_t length) {
    if (length == 0 || length >= kTextBufferSize) return 0;
    for (size_t i = 0; i + 2 < length; ++i)
        if (label[i] == '.' && label[i + 1] == '.' && label[i + 2] == '.') return 0;
    return 1;
}

void BrowseForInstallFolder(HWND page) {
    char file[kTextBufferSize] = "*.*";
    OPENFILENAMEA request = {};
    request.lStructSize = kOpenFileRecordSize;
    request.hwndOwner = page;
    request.lpstrFilter = "*.*\0*.*\0";
    request.lpstrFile = file;
    request.nMaxFile = sizeof file;
    request.lpstrTitle = "Select directory";
    request.Flags = kBrowserFlags;
    request.lpfnHook = DirectoryBrowserHook;
    // OFN_NOCHANGEDIR is documented as ineffective for GetOpenFileName, and
    // Wine ignores it: the program restores its current directory itself, so
    // that every opening starts in the same place.
    char start_folder[MAX_PATH];
    const DWORD start_length = GetCurrentDirectoryA(sizeof start_folder, start_folder);
    using GetOpenFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEA);
    const auto get_open_file_name = SystemFunction<GetOpenFileNameFunction>("comdlg32.dll", "GetOpenFileNameA");
    const BOOL chosen = get_open_file_name != nullptr && get_open_file_name(&request);
    if (start_length > 0 && start_length < sizeof start_folder) SetCurrentDirectoryA(start_folder);
    // Only the install folder, which the hook writes, counts: the path the
    // platform puts into the file buffer is not used.
    if (chosen && g_setup.install_folder[0] != '\0') SetDlgItemTextA(page, KQ_ID_INSTALL_FOLDER, g_setup.install_folder);
    SetFocus(GetDlgItem(page, KQ_ID_INSTALL_FOLDER));
}

UINT_PTR CALLBACK DirectoryBrowserHook(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        g_first_paint = 1;
        SetDlgItemTextA(dialog, stc1, "");
        break;
    case WM_PAINT:
        if (g_first_paint == 0) break;
        g_first_paint = 0;
        ArrangeDirectoryHalf(dialog);
        break;
    case WM_COMMAND:
        if (LOWORD(wparam) == IDOK) TakeDirectoryLabel(dialog);
        break;
    default:
        break;
    }
    return 0;  // the dialog's own processing runs for every message
}

}  // namespace kq
