// Finding the windows of a program under test and reading and writing their
// texts. Texts go through WM_GETTEXT / WM_SETTEXT with a timeout, which the
// system carries across processes (GetWindowText does not, for controls).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait.h"

namespace kqgui {

// The standard dialog class: wizards, dialogs and message boxes.
inline constexpr char kDialogClass[] = "#32770";

// Top-level windows of the process, visible or not.
std::vector<HWND> TopLevelWindowsOf(DWORD process_id);
std::vector<HWND> VisibleTopLevelWindowsOf(DWORD process_id);

std::string ClassOf(HWND window);
std::string TextOf(HWND window);
std::string ControlText(HWND dialog, int id);
void SetText(HWND window, const std::string& text);

// A visible top-level window of the process with this class and, unless
// `caption` is empty, this caption; null if there is none.
HWND FindVisibleWindow(DWORD process_id, const std::string& class_name, const std::string& caption = "");
HWND WaitForVisibleWindow(DWORD process_id, const std::string& class_name, const std::string& caption = "",
                          DWORD timeout_ms = kPatience);

// Waits for `window` to be destroyed or hidden.
bool WaitForGone(HWND window, DWORD timeout_ms = kPatience);

// The window's rectangle, in the client coordinates of `reference`.
RECT RectIn(HWND window, HWND reference);

// Posts a button click, as a user's click arrives.
void ClickButton(HWND dialog, int id);

// Posts a key press (down and up) to `window`, the control with the focus.
void PostKey(HWND window, WPARAM virtual_key);

// Waits until the messages posted so far to `edit` (a thread's queue keeps
// their order) have been handled: posts a selection change behind them and
// waits for it to show. The edit must hold at least three characters. False
// if the edit was destroyed first.
bool WaitForPostedMessagesHandled(HWND edit);

}  // namespace kqgui
