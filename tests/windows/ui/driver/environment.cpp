// Environment blocks for programs under test.
#include "environment.h"

#include <windows.h>

#include <cstring>

namespace kqgui {
namespace {

bool NamesVariable(const char* entry, const char* name) {
    const size_t length = std::strlen(name);
    return _strnicmp(entry, name, length) == 0 && entry[length] == '=';
}

}  // namespace

std::string EnvironmentWithTemp(const std::string& temp_folder) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (NamesVariable(entry, "TMP") || NamesVariable(entry, "TEMP")) continue;
        block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    block.append("TMP=" + temp_folder).push_back('\0');
    block.append("TEMP=" + temp_folder).push_back('\0');
    block.push_back('\0');
    return block;
}

}  // namespace kqgui
