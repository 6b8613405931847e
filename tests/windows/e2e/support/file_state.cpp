// File-system probes.
#include "file_state.h"

#include <algorithm>
#include <cstdio>

namespace kqe2e {

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

ULONGLONG LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return ULARGE_INTEGER{{data.ftLastWriteTime.dwLowDateTime, data.ftLastWriteTime.dwHighDateTime}}.QuadPart;
}

ULONGLONG FileTimeOf(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    const SYSTEMTIME system{year, month, 0, day, hour, minute, second, 0};
    FILETIME file{};
    SystemTimeToFileTime(&system, &file);
    return ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart;
}

std::string FormatFileTime(ULONGLONG time) {
    ULARGE_INTEGER value;
    value.QuadPart = time;
    const FILETIME file{value.LowPart, value.HighPart};
    SYSTEMTIME system{};
    FileTimeToSystemTime(&file, &system);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", system.wYear, system.wMonth, system.wDay,
                  system.wHour, system.wMinute, system.wSecond);
    return text;
}

void RemoveTree(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
        return;
    }
    for (const std::string& name : FolderEntries(path)) RemoveTree(path + "\\" + name);
    RemoveDirectoryA(path.c_str());
}

}  // namespace kqe2e
