// The install sequence as the backdrop window starts it: the handler of the
// window's command 100 and of its clean-up timer.
#pragma once

#include <windows.h>

#include "startup/text_buffers.h"

namespace kq {

// Command 100 of the backdrop window: runs the installation inside the window
// procedure, then starts the clean-up timer or posts WM_DESTROY to `backdrop`.
void RunInstallSequence(HWND backdrop, SetupContext& context);

// WM_TIMER of the backdrop window, whatever its identifier: the clean-up step,
// after which the window closes.
void OnCleanupTimer(HWND backdrop);

// 1 when the user answered Yes to the closing question: the first link's
// target is started once the window has closed. Written by the sequence.
extern int g_run_at_end;

}  // namespace kq
