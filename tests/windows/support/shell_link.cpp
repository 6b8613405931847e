// Shortcut files loaded through the shell-link object.
#include "shell_link.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace kqtest {

LinkContents LoadLink(const std::string& path) {
    LinkContents contents;
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return contents;
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        link->GetPath(text, sizeof text, nullptr, 0);
        contents.target = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        contents.description = text;
        contents.loaded = true;
    }
    if (file != nullptr) file->Release();
    link->Release();
    return contents;
}

}  // namespace kqtest
