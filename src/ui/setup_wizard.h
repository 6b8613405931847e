// The setup wizard: a three-page wizard property sheet (Welcome, Install
// where, Finish) owned by the backdrop window, in which the user accepts the
// licence and chooses the install folder.
#pragma once

#include <windows.h>

namespace kq {

// 0 at start; set to 1 by the Welcome page when the licence dialog returns
// Accept, never reset. While it is 1, Next there skips the licence dialog.
extern int g_licence_accepted;

// 0 at start; set to 1 by EndSetupEarly (the licence refused, or the licence
// dialog unable to show the licence). Once it is 1 nothing may be installed,
// whatever the property sheet returned.
extern int g_setup_ended_early;

// Runs the wizard modally. The instance argument is not used: the pages take
// the instance from the setup context. Returns 1 when the user pressed
// Finish; 0 when the user cancelled, setup ended early (g_setup_ended_early
// tells the two apart) or the wizard could not be shown. On 1 the install
// folder and the folder buffer hold the folder last taken from the
// Install-where page.
[[nodiscard]] int RunSetupWizard(HWND owner, HINSTANCE instance);

// Posts the quit request (exit code 0) and marks setup as ended early.
void EndSetupEarly();

}  // namespace kq
