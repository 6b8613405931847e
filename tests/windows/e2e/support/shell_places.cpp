// Special folders and shortcut files.
#include "shell_places.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace kqe2e {

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE)) return "";
    return path;
}

std::string ProgramsFolder() {
    return SpecialFolder(CSIDL_PROGRAMS);
}

std::string DesktopFolder() {
    return SpecialFolder(CSIDL_DESKTOPDIRECTORY);
}

std::string StartupFolder() {
    return SpecialFolder(CSIDL_STARTUP);
}

std::string QuickLaunchFolder() {
    return SpecialFolder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch";
}

void CreateQuickLaunchFolder() {
    SHCreateDirectoryExA(nullptr, QuickLaunchFolder().c_str(), nullptr);
}

}  // namespace kqe2e
