// The run-once step.
#include "run_once.h"

#include <windows.h>

#include "startup/bounded_text.h"
#include "system_command.h"

namespace kq {
namespace {

void SetStringValue(HKEY key, const char* name, const char* data) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(TextLength(data)));
}

}  // namespace

void RunOnceStep(int start_now) {
    HKEY run_once = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKeyPath, 0, KEY_ALL_ACCESS, &run_once) != ERROR_SUCCESS) return;
    HKEY setup = nullptr;
    if (RegOpenKeyExA(run_once, "Setup", 0, KEY_READ, &setup) == ERROR_SUCCESS) {
        RegCloseKey(setup);
        SetStringValue(run_once, "Wrapper", "runonce");
    }
    SetStringValue(run_once, "GrpConv", "grpconv -o");
    RegFlushKey(run_once);
    RegCloseKey(run_once);

    if (!start_now) return;
    char command[kCommandBufferSize];
    if (ComposeSystemCommand(command, sizeof command, "runonce.exe", " -r")) WinExec(command, SW_SHOWNORMAL);
}

}  // namespace kq
