// Every message the program shows to the user goes through here, so that
// in-process tests can record and answer them.
#pragma once

#include <windows.h>

namespace kq {

// Answers a message instead of a real message box when set (tests only).
using MessageBoxHook = int (*)(const char* text, const char* caption, UINT flags);

// Set by tests; null in the shipped program.
extern MessageBoxHook g_message_box_hook;

// A message box without an owner window; returns the button pressed.
int ShowMessage(const char* text, const char* caption, UINT flags);

// A message box owned by `owner` (a dialog that reports its own failure).
int ShowOwnedMessage(HWND owner, const char* text, const char* caption, UINT flags);

}  // namespace kq
