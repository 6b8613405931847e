// What each mode goes on with once the entry has set it up. Each continuation
// frees the buffers at the end of its run and returns the exit code (0).
#pragma once

namespace kq {

// After staging: the backdrop window and its message loop.
int ContinueInstallerMode(int show_command);

// With the log path in the script path buffer: the uninstall sequence.
int ContinueUninstallerMode();

}  // namespace kq
