// The stored-name rules, part by part.
#include "package/stored_name.h"

namespace kq {
namespace {

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Opening such a name, with any extension, opens a device rather than a file.
bool IsDeviceName(const char* part, size_t length) {
    size_t base = 0;
    while (base < length && part[base] != '.') ++base;
    while (base > 0 && part[base - 1] == ' ') --base;
    static constexpr char kDevices[][4] = {"CON", "PRN", "AUX", "NUL", "COM", "LPT"};
    for (size_t d = 0; d < sizeof kDevices / sizeof kDevices[0]; ++d) {
        const bool numbered = d >= 4;
        if (base != (numbered ? 4u : 3u)) continue;
        if (Upper(part[0]) != kDevices[d][0] || Upper(part[1]) != kDevices[d][1] || Upper(part[2]) != kDevices[d][2])
            continue;
        if (!numbered || (part[3] >= '1' && part[3] <= '9')) return true;
    }
    return false;
}

StoredNameFault PartFault(const char* part, size_t length) {
    if (length == 0) return StoredNameFault::kEmptyPart;
    bool dots_and_blanks = true;
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(part[i]);
        if (c < 0x20 || c == '<' || c == '>' || c == ':' || c == '"' || c == '/' || c == '|' || c == '?' || c == '*')
            return StoredNameFault::kBadCharacter;
        if (c != '.' && c != ' ') dots_and_blanks = false;
    }
    if (dots_and_blanks) return StoredNameFault::kDotsAndBlanks;
    return IsDeviceName(part, length) ? StoredNameFault::kDeviceName : StoredNameFault::kNone;
}

}  // namespace

StoredNameCheck CheckStoredName(const char* name, size_t length) {
    if (length == 0) return {StoredNameFault::kEmpty, 0, 0};
    if (name[0] == '\\' || name[0] == '/') return {StoredNameFault::kAbsolute, 0, 0};
    if (length >= 2 && name[1] == ':') return {StoredNameFault::kDrive, 0, 0};
    size_t start = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && name[i] != '\\') continue;
        const StoredNameFault fault = PartFault(name + start, i - start);
        if (fault != StoredNameFault::kNone) return {fault, start, i - start};
        start = i + 1;
    }
    return {StoredNameFault::kNone, 0, 0};
}

bool IsPlainName(const char* name, size_t length) {
    for (size_t i = 0; i < length; ++i)
        if (name[i] == '\\') return false;
    return PartFault(name, length) == StoredNameFault::kNone;
}

}  // namespace kq
