// The program entry: allocates the process-wide buffers, chooses installer or
// uninstaller mode by the program's own file name, and runs that mode.
#pragma once

#include <windows.h>

namespace kq {

// Returns the process exit code, which is 0 on every path.
int ProgramEntry(HINSTANCE instance, const char* command_tail);

}  // namespace kq
