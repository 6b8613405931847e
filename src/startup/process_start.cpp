// The process entry point of the stub. With no C runtime start-up, this derives
// what the program entry needs (instance, command-line tail; the backdrop is
// visible from its creation, so no show command), runs the program entry and
// ends the process with its exit code.
#include <windows.h>

#include "startup/command_line.h"
#include "startup/entry.h"

namespace {

bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != FALSE;
}

// A setup program usually runs from a downloads folder that anyone can drop
// files into: restrict the DLL search to the system folder before anything
// is loaded, where the system supports it (looked up at run time, since
// older systems lack the call).
void SearchSystemFolderOnly() {
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr) return;
    const FARPROC found = GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (found == nullptr) return;
    // Through the generic function pointer type, which any function type may be cast from.
    const auto set_default_dll_directories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void (*)()>(found));
    set_default_dll_directories(0x00000800);  // LOAD_LIBRARY_SEARCH_SYSTEM32
}

}  // namespace

extern "C" void WinMainCRTStartup() {
    SearchSystemFolderOnly();
    const char* tail = kq::CommandLineTail(GetCommandLineA(), IsAnsiLeadByte);
    const int exit_code = kq::ProgramEntry(GetModuleHandleA(nullptr), tail);
    ExitProcess(static_cast<UINT>(exit_code));
}
