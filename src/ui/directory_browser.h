// The directory browser: the platform's old-style file-open dialog reduced by
// a hook to its directory half. OK takes the directory the dialog is in as
// the install folder.
#pragma once

#include <windows.h>

namespace kq {

// Opens the browser for the Install-where page. After OK, the page's field
// shows the install folder; in every case the field gets the focus.
void BrowseForInstallFolder(HWND page);

UINT_PTR CALLBACK DirectoryBrowserHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

// 1 if a directory label's text can be taken as the install folder: not
// empty, short enough for the folder buffer, and not a path shortened with
// "..." for display.
[[nodiscard]] int IsUsableDirectoryLabel(const char* label, size_t length);

}  // namespace kq
