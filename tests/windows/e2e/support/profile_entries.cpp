// Profile reads.
#include "profile_entries.h"

#include <windows.h>

#include <cstring>

namespace kqe2e {
namespace {

// The double-zero-terminated list that the section functions return.
std::vector<std::string> SplitList(const char* list) {
    std::vector<std::string> items;
    for (const char* item = list; *item != '\0'; item += std::strlen(item) + 1) items.emplace_back(item);
    return items;
}

}  // namespace

std::vector<ProfileEntry> SectionEntries(const std::string& ini_path, const std::string& section) {
    std::string buffer(65536, '\0');
    GetPrivateProfileSectionA(section.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), ini_path.c_str());
    std::vector<ProfileEntry> entries;
    for (const std::string& line : SplitList(buffer.c_str())) {
        const size_t equals = line.find('=');
        if (equals == std::string::npos)
            entries.emplace_back(line, "");
        else
            entries.emplace_back(line.substr(0, equals), line.substr(equals + 1));
    }
    return entries;
}

std::vector<std::string> SectionNames(const std::string& ini_path) {
    std::string buffer(65536, '\0');
    GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), ini_path.c_str());
    return SplitList(buffer.c_str());
}

std::string ProfileValue(const std::string& ini_path, const std::string& section, const std::string& key) {
    char value[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, ini_path.c_str());
    return value;
}

}  // namespace kqe2e
