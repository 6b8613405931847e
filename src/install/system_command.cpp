// System program command lines and DLL (un)registration.
#include "system_command.h"

#include <windows.h>

#include "startup/bounded_text.h"

namespace kq {

int ComposeSystemCommand(char* buffer, size_t size, const char* program, const char* arguments) {
    char system_folder[MAX_PATH];
    const UINT length = GetSystemDirectoryA(system_folder, sizeof system_folder);
    if (length == 0 || length >= sizeof system_folder) return 0;
    buffer[0] = '\0';
    return AppendText(buffer, size, "\"") && AppendText(buffer, size, system_folder) &&
           AppendText(buffer, size, "\\") && AppendText(buffer, size, program) && AppendText(buffer, size, "\"") &&
           AppendText(buffer, size, arguments);
}

int ComposeRegisterCommand(char* buffer, size_t size, const char* install_folder, const char* dll_name) {
    char arguments[kCommandBufferSize] = " \"";
    return AppendText(arguments, sizeof arguments, install_folder) && AppendText(arguments, sizeof arguments, "\\") &&
           AppendText(arguments, sizeof arguments, dll_name) && AppendText(arguments, sizeof arguments, "\"") &&
           ComposeSystemCommand(buffer, size, "regsvr32.exe", arguments);
}

int ComposeUnregisterCommand(char* buffer, size_t size, const char* dll_path) {
    char arguments[kCommandBufferSize] = " -u \"";
    return AppendText(arguments, sizeof arguments, dll_path) && AppendText(arguments, sizeof arguments, "\"") &&
           ComposeSystemCommand(buffer, size, "regsvr32.exe", arguments);
}

void RegisterDll(const char* install_folder, const char* dll_name) {
    char command[kCommandBufferSize];
    if (ComposeRegisterCommand(command, sizeof command, install_folder, dll_name)) WinExec(command, SW_HIDE);
}

void UnregisterDll(const char* dll_path) {
    char command[kCommandBufferSize];
    if (ComposeUnregisterCommand(command, sizeof command, dll_path)) WinExec(command, SW_HIDE);
}

}  // namespace kq
