// The setup wizard: a three-page wizard property sheet (Welcome, Install
// where, Finish) owned by the backdrop window, in which the user accepts the
// licence in the licence dialog the Welcome page shows, and chooses the
// install folder.
#pragma once

#include <windows.h>

namespace kq {

// 0 at start; set to 1 by EndSetupEarly (the licence refused, or the licence
// dialog unable to show the licence). Once it is 1 nothing may be installed,
// whatever the property sheet returned.
extern int g_setup_ended_early;

// Runs the wizard modally. Returns 1 when the user pressed Finish; 0 when
// the user cancelled, setup ended early (g_setup_ended_early tells the two
// apart) or the wizard could not be shown. On 1 the install folder and the
// folder buffer hold the folder last taken from the Install-where page.
[[nodiscard]] int RunSetupWizard(HWND owner);

// Checks `folder` as the Install-where page does (nullptr: one too long to
// read) and takes it as the install folder and into the folder buffer; or
// tells the user why not, owned by `owner`, and returns 0.
[[nodiscard]] int AcceptInstallFolder(HWND owner, const char* folder);

// Posts the quit request, marks setup as ended early and sets the exit code.
void EndSetupEarly(int exit_code);

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK InstallWherePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Runs the licence dialog modally, owned by `owner`: it shows the staged
// licence text and asks Accept or Exit Setup; Esc and the close box do not
// close it. Returns KQ_ID_ACCEPT (101) or KQ_ID_EXIT_SETUP (102). When the
// licence cannot be shown, the dialog tells the user, ends setup early and
// returns KQ_ID_EXIT_SETUP without showing.
int RunLicenceDialog(HWND owner);
INT_PTR CALLBACK LicenceDialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kq
