// The process entry point of the stub. With no C runtime start-up, this derives
// what a WinMain would receive (instance, command-line tail, show command),
// runs the program entry and ends the process with its exit code.
#include <windows.h>

#include "command_line.h"
#include "entry.h"

namespace {

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

}  // namespace

extern "C" void WinMainCRTStartup() {
    const char* tail = kq::CommandLineTail(GetCommandLineA(), IsAnsiLeadByte);
    STARTUPINFOA startup_info;
    startup_info.cb = sizeof startup_info;
    GetStartupInfoA(&startup_info);
    const int show_command =
        (startup_info.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup_info.wShowWindow : SW_SHOWDEFAULT;
    const int exit_code = kq::ProgramEntry(GetModuleHandleA(nullptr), nullptr, tail, show_command);
    ExitProcess(static_cast<UINT>(exit_code));
}
