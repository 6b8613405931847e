// The program entry: allocates the process-wide buffers, chooses installer or
// uninstaller mode by the program's own file name, and runs that mode.
#pragma once

#include <windows.h>

namespace kq {

// Returns the process exit code: kExitDone, kExitCancelled or kExitFailed.
int ProgramEntry(HINSTANCE instance, const char* command_tail);

}  // namespace kq
