// The installer's one top-level window: a full-screen "Install" window that
// paints the backdrop (a blue-to-black gradient in bands, the application
// name in large shadowed letters, the credit line at the bottom left), holds
// its place once shown, and starts the installation by posting itself its
// start command when it is created.
#pragma once

#include <windows.h>
#include <stdint.h>

namespace kq {

inline constexpr char kBackdropClassName[] = "Install";
inline constexpr WORD kStartCommand = 100;

// What the window runs: on its start command, and on its timer.
using BackdropHandler = void (*)(HWND backdrop);

// Registers the window class and creates the visible full-screen window,
// which calls `on_start` for its start command, `on_timer` for WM_TIMER
// (whatever the timer's identifier), and `on_close` for a close request or
// the end of the Windows session; the window itself never closes on those.
// Returns 1 if the window was created.
[[nodiscard]] int CreateBackdropWindow(HINSTANCE instance, BackdropHandler on_start, BackdropHandler on_timer,
                                       BackdropHandler on_close);

LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Handles WM_PAINT: repaints the whole client area, whatever was invalid.
void PaintBackdrop(HWND window);

// The progress line below the title: `text` ("Installing NAME", kept and
// read at every paint until the next call) over a bar filled `done` of
// `total`; an empty text clears it. Repaints at once.
void ShowBackdropProgress(HWND window, const char* text, uint64_t done, uint64_t total);

// Handles the messages waiting for this thread's windows (paint, position,
// a close request) without waiting for more, so that a long step keeps the
// windows answering. A quit request found there is posted again.
void HandlePendingMessages();

}  // namespace kq
