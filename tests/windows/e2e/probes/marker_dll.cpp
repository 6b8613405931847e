// A DLL for the installer to register: its registration entry writes
// %TEMP%\marker-registered.txt naming the DLL's own path, so a scenario can
// tell that the registration command ran on the installed file. regsvr32
// inherits the setup program's environment, and with it the scenario's temp
// folder.
#include <windows.h>

#include "probe_file.h"

namespace {

HMODULE g_self;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_self = instance;
    return TRUE;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    char marker[MAX_PATH];
    char own_path[MAX_PATH] = {};
    if (!kqprobe::TempPath(marker, "marker-registered.txt") || GetModuleFileNameA(g_self, own_path, MAX_PATH) == 0)
        return E_FAIL;
    return kqprobe::WriteWholeFile(marker, own_path) ? S_OK : E_FAIL;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    return S_OK;
}
