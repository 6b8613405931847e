// A DLL for the installer to register: its registration entries write
// %TEMP%\marker-registered.txt and %TEMP%\marker-unregistered.txt naming
// the DLL's own path, so a scenario can tell that the commands ran on the
// installed file. regsvr32 inherits the environment of the program that
// starts it, and with it the scenario's temp folder.
#include <windows.h>

#include "probe_file.h"

namespace {

HMODULE g_self;

HRESULT LeaveTrace(const char* name) {
    char marker[MAX_PATH];
    char own_path[MAX_PATH] = {};
    if (!kqprobe::TempPath(marker, name) || GetModuleFileNameA(g_self, own_path, MAX_PATH) == 0) return E_FAIL;
    return kqprobe::WriteWholeFile(marker, own_path) ? S_OK : E_FAIL;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    return LeaveTrace("marker-registered.txt");
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    return LeaveTrace("marker-unregistered.txt");
}
