// Message boxes of a program under test: dialogs whose text is in a static
// control with id 0xFFFF; the buttons a style does not use do not exist.
#pragma once

#include <windows.h>

#include <string>

#include "wait.h"

namespace kqgui {

inline constexpr int kMessageTextId = 0xFFFF;

// A visible message box of the process with this caption and text.
HWND WaitForMessageBox(DWORD process_id, const std::string& caption, const std::string& text,
                       DWORD timeout_ms = kPatience);

// The text of a message box, or empty if `window` is none.
std::string MessageBoxText(HWND window);

// True while the process shows any message box.
bool ShowsMessageBox(DWORD process_id);

}  // namespace kqgui
