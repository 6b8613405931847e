// The licence dialog: shows the staged licence text and asks Accept or Exit
// Setup. Esc and the close box do not close it.
#pragma once

#include <windows.h>

namespace kq {

// Runs the dialog modally, owned by `owner`. Returns KQ_ID_ACCEPT (101) or
// KQ_ID_EXIT_SETUP (102). When the licence cannot be shown, the dialog tells
// the user, ends setup early and returns KQ_ID_EXIT_SETUP without showing.
int RunLicenceDialog(HWND owner);

INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kq
