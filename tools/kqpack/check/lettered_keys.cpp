// Naming, recognising and reading the keys of a sequence.
#include "check/lettered_keys.h"

#include <cstdint>
#include <cstdio>
#include <iterator>

namespace kqpack {

std::string SequenceKey(std::string_view stem, unsigned number) {
    char name[kq::kKeyNameSize];
    return kq::KeyName(name, sizeof name, std::string(stem).c_str(), number) ? name : "";
}

std::optional<unsigned> NumberOfKey(std::string_view key, std::string_view stem) {
    if (key.size() <= stem.size() || !SameName(key.substr(0, stem.size()), stem)) return std::nullopt;
    const std::string_view suffix = key.substr(stem.size());
    unsigned letter = static_cast<unsigned char>(suffix[0]);
    if (letter >= 'A' && letter <= 'Z') letter += 'a' - 'A';
    if (suffix.size() == 1 && letter >= 'a') return letter - 'a' + 1;
    // The numbered form, as KeyName writes it: no leading zero, from key 31.
    if (suffix.size() > 10 || suffix[0] == '0') return std::nullopt;
    uint64_t number = 0;
    for (char c : suffix) {
        if (c < '0' || c > '9') return std::nullopt;
        number = number * 10 + static_cast<unsigned>(c - '0');
    }
    if (number <= kq::kLetterKeyCount || number > UINT32_MAX) return std::nullopt;
    return static_cast<unsigned>(number);
}

const ProfileEntry* FindSequenceEntry(const ProfileText& profile, std::string_view section, std::string_view stem,
                                      unsigned number) {
    char older_name[kq::kKeyNameSize];
    const ProfileEntry* older = kq::KeyName(older_name, sizeof older_name, std::string(stem).c_str(), number, true)
                                    ? profile.FindEntry(section, older_name)
                                    : nullptr;
    if (older != nullptr && !older->value.empty()) return older;
    const ProfileEntry* numbered = profile.FindEntry(section, SequenceKey(stem, number));
    return numbered != nullptr ? numbered : older;
}

std::string ReadSequenceKey(const ProfileText& profile, std::string_view section, std::string_view stem,
                            unsigned number) {
    const ProfileEntry* entry = FindSequenceEntry(profile, section, stem, number);
    return entry != nullptr ? entry->value.substr(0, kProfileValueMax) : "";
}

std::string DisplayKey(std::string_view key) {
    std::string shown;
    for (char c : key) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F) {
            shown += c;
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        }
    }
    return shown;
}

std::vector<std::string> ReadSequence(const ProfileText& profile, std::string_view section, std::string_view stem) {
    std::vector<std::string> values;
    for (unsigned number = 1;; ++number) {
        std::string value = ReadSequenceKey(profile, section, stem, number);
        if (value.empty()) break;
        values.push_back(std::move(value));
    }
    return values;
}

std::string Ordinal(size_t n) {
    static const char* const kWords[] = {"zeroth", "first", "second", "third",  "fourth", "fifth",
                                         "sixth",  "seventh", "eighth", "ninth", "tenth"};
    if (n < std::size(kWords)) return kWords[n];
    const char* suffix = "th";
    if (n % 100 < 11 || n % 100 > 13) {
        if (n % 10 == 1) suffix = "st";
        else if (n % 10 == 2) suffix = "nd";
        else if (n % 10 == 3) suffix = "rd";
    }
    return std::to_string(n) + suffix;
}

}  // namespace kqpack
