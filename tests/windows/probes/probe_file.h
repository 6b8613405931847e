// Text helpers of the probe programs, which use the Windows API alone: they
// are packaged into setup programs and run by them, far from the test.
#pragma once

#include <windows.h>

namespace kqprobe {

inline void AppendText(char* buffer, DWORD size, const char* text) {
    DWORD length = static_cast<DWORD>(lstrlenA(buffer));
    for (; *text != '\0' && length + 1 < size; ++text) buffer[length++] = *text;
    buffer[length] = '\0';
}

// %TEMP% + "\" + `name`; false if TEMP is unset or too long.
inline bool TempPath(char* path, const char* name) {
    path[0] = '\0';
    const DWORD length = GetEnvironmentVariableA("TEMP", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    AppendText(path, MAX_PATH, "\\");
    AppendText(path, MAX_PATH, name);
    return true;
}

// Writes `text` under another name and renames it, so that a test polling
// for the file never reads half of it.
inline bool WriteWholeFile(const char* path, const char* text) {
    char partial[MAX_PATH + 8] = {};
    AppendText(partial, sizeof partial, path);
    AppendText(partial, sizeof partial, ".partial");
    const HANDLE file = CreateFileA(partial, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    WriteFile(file, text, static_cast<DWORD>(lstrlenA(text)), &written, nullptr);
    CloseHandle(file);
    return MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace kqprobe
