// The dialog procedures of the wizard's three pages and what they share.
#pragma once

#include <windows.h>

namespace kq {

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK InstallWherePageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wparam, LPARAM lparam);

// Answers a handled notification with 0 (accept the activation, allow
// leaving, let Back, Next and Finish go ahead) and returns TRUE.
INT_PTR AnswerNotification(HWND page);

// Posted, not sent: the buttons change after the notification is answered.
void PostWizardButtons(HWND page, LPARAM buttons);

// The notification code of a WM_NOTIFY message's lParam.
UINT NotificationCode(LPARAM lparam);

}  // namespace kq
