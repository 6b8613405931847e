// The program entry: allocates the process-wide buffers, chooses installer or
// uninstaller mode by the program's own file name, and runs that mode.
#pragma once

#include <windows.h>

namespace kq {

// The uninstaller's file name; a program whose path ends in it uninstalls.
inline constexpr char kUninstallerName[] = "Dizizev3.exe";
inline constexpr char kStagedScriptName[] = "Uninstal.inf";
inline constexpr char kStagedLicenceName[] = "License.txt";

// Returns the process exit code, which is 0 on every path.
int ProgramEntry(HINSTANCE instance, HINSTANCE previous_instance, const char* command_tail, int show_command);

}  // namespace kq
