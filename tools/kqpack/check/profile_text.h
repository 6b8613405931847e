// INI text read the way the installer's profile functions read it, so that
// the checker sees what the installer will see; every line keeps its number
// and its bytes, so messages can point at it and the text can be rewritten.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace kqpack {

// The installer reads every value into a 255-character buffer.
inline constexpr size_t kProfileValueMax = 254;

struct ProfileLine {
    std::string text;  // without its line break
    std::string eol;   // "\r\n", "\n", "\r" or "" for a last line without one
};

struct ProfileEntry {
    std::string key;    // blanks trimmed, as written
    std::string value;  // blanks trimmed, one pair of enclosing quotes removed, cut at a NUL byte
    bool has_equals = false;
    size_t line = 0;    // 1-based
};

struct ProfileSection {
    std::string name;  // trimmed, as written; empty for lines before the first section
    size_t line = 0;   // of the header; 0 for lines before the first section
    std::vector<ProfileEntry> entries;
};

// ASCII-only case folding: what the profile functions match names with.
bool SameName(std::string_view a, std::string_view b);

class ProfileText {
public:
    // Any bytes parse; nothing here can fail. Lines end at CR LF, LF or CR.
    static ProfileText Parse(std::string_view bytes);

    const std::vector<ProfileLine>& lines() const { return lines_; }
    // A UTF-8 byte order mark in front of the first line, or "".
    const std::string& bom() const { return bom_; }
    const std::vector<ProfileSection>& sections() const { return sections_; }

    // The first section of that name: later ones of the same name are never
    // read by the profile functions.
    const ProfileSection* FindSection(std::string_view name) const;
    // The first entry of that key in the first section of that name.
    const ProfileEntry* FindEntry(std::string_view section, std::string_view key) const;

    // The value as the installer reads it: "" when missing, at most 254 characters.
    std::string ReadText(std::string_view section, std::string_view key) const;
    // As the platform's integer read: optional sign, "0x" for hex, leading
    // digits; `fallback` when the key is missing or its value empty.
    int32_t ReadInt(std::string_view section, std::string_view key, int32_t fallback) const;
    // True when the value reads as something (a present, non-empty value).
    bool Has(std::string_view section, std::string_view key) const { return !ReadText(section, key).empty(); }

    // The line break most lines use, for lines added to this text.
    std::string PreferredEol() const;

private:
    std::string bom_;
    std::vector<ProfileLine> lines_;
    std::vector<ProfileSection> sections_;
};

// The integer the platform reads from a value (see ProfileText::ReadInt).
int32_t ProfileIntFromText(std::string_view value, int32_t fallback);
// True when a value is a plain decimal number, as the documentation asks.
bool IsPlainDecimal(std::string_view value);

}  // namespace kqpack
