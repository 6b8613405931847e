// The installer's one top-level window: a full-screen "Install" window that
// paints the backdrop, holds its place once shown, and starts the install
// sequence by posting itself command 100 when it is created.
#pragma once

#include <windows.h>

namespace kq {

inline constexpr char kBackdropClassName[] = "Install";
inline constexpr WORD kInstallCommand = 100;

// Registers the window class and creates the visible full-screen window.
// The show command is not used: the window is visible from its creation.
// Returns 1 if the window was created, 0 if not.
[[nodiscard]] int CreateBackdropWindow(HINSTANCE instance, int show_command);

LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

}  // namespace kq
