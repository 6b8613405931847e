// Forming, recognising and reading lettered keys.
#include "check/lettered_keys.h"

#include <cstdio>
#include <iterator>

namespace kqpack {

std::string LetteredKey(std::string_view stem, unsigned letter) {
    std::string key(stem);
    key += static_cast<char>(letter);
    return key;
}

std::optional<unsigned> LetterOfKey(std::string_view key, std::string_view stem) {
    if (key.size() != stem.size() + 1 || !SameName(key.substr(0, stem.size()), stem)) return std::nullopt;
    unsigned letter = static_cast<unsigned char>(key.back());
    if (letter >= 'A' && letter <= 'Z') letter += 'a' - 'A';
    if (letter < kFirstLetter) return std::nullopt;
    return letter;
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
    for (unsigned letter = kFirstLetter; letter <= kLastLetter; ++letter) {
        std::string value = profile.ReadText(section, LetteredKey(stem, letter));
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
