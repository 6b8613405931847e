// The shortcut routine.
#include "shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace kq {
namespace {

// Defined here rather than taken from a GUID library the stub does not link.
constexpr GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

void CreateShortcut(const char* target_path, const char* description, const char* shortcut_path) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        link->Release();
        return;
    }
    link->SetDescription(description);
    link->SetPath(target_path);
    WCHAR wide_path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, shortcut_path, -1, wide_path, MAX_PATH) != 0) file->Save(wide_path, TRUE);
    file->Release();
    link->Release();
}

}  // namespace kq
