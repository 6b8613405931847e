// Thin wrappers that fix the conventions of every profile access.
#include "profile.h"

namespace kq {

DWORD ReadProfileText(const char* section, const char* key, char* buffer, DWORD size, const char* path) {
    return GetPrivateProfileStringA(section, key, "", buffer, size, path);
}

UINT ReadProfileInt(const char* section, const char* key, int default_value, const char* path) {
    return GetPrivateProfileIntA(section, key, default_value, path);
}

void WriteProfileText(const char* section, const char* key, const char* value, const char* path) {
    WritePrivateProfileStringA(section, key, value, path);
}

void WriteAndFlush(const char* section, const char* key, const char* value, const char* path) {
    WritePrivateProfileStringA(section, key, value, path);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, path);
}

}  // namespace kq
