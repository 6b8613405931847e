// Parsing INI text by the rules the platform's profile functions follow, as
// observed under Wine: blanks trimmed around names and values, one pair of
// enclosing quotes dropped, a NUL ending the line, the first section and the
// first key of a name winning over later ones.
#include "check/profile_text.h"

namespace kqpack {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<ProfileLine> SplitLines(std::string_view bytes) {
    std::vector<ProfileLine> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n') ++end;
        ProfileLine line;
        line.text = std::string(bytes.substr(start, end - start));
        if (end < bytes.size()) {
            const bool crlf = bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n';
            line.eol = crlf ? "\r\n" : std::string(1, bytes[end]);
        }
        start = end + line.eol.size();
        lines.push_back(std::move(line));
    }
    return lines;
}

// A value loses one pair of matching quotes around it, and nothing else.
std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return std::string(value);
}

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    return true;
}

ProfileText ProfileText::Parse(std::string_view bytes) {
    ProfileText profile;
    // The platform skips a UTF-8 byte order mark; the checker warns about it.
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        profile.bom_ = std::string(bytes.substr(0, 3));
        bytes.remove_prefix(3);
    }
    profile.lines_ = SplitLines(bytes);
    profile.sections_.push_back(ProfileSection{});  // lines before the first header
    for (size_t i = 0; i < profile.lines_.size(); ++i) {
        std::string_view text = profile.lines_[i].text;
        text = text.substr(0, text.find('\0'));
        text = Trim(text);
        if (text.empty()) continue;
        if (text.front() == '[') {
            const size_t close = text.rfind(']');
            if (close != std::string_view::npos && close > 0) {
                profile.sections_.push_back(
                    ProfileSection{std::string(Trim(text.substr(1, close - 1))), i + 1, {}});
                continue;
            }
            // Without a closing bracket the line is read as a key.
        }
        ProfileEntry entry;
        entry.line = i + 1;
        const size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            entry.key = std::string(text);
        } else {
            entry.has_equals = true;
            entry.key = std::string(Trim(text.substr(0, equals)));
            entry.value = Unquote(Trim(text.substr(equals + 1)));
        }
        profile.sections_.back().entries.push_back(std::move(entry));
    }
    return profile;
}

const ProfileSection* ProfileText::FindSection(std::string_view name) const {
    for (size_t i = 1; i < sections_.size(); ++i)
        if (SameName(sections_[i].name, name)) return &sections_[i];
    return nullptr;
}

const ProfileEntry* ProfileText::FindEntry(std::string_view section, std::string_view key) const {
    const ProfileSection* found = FindSection(section);
    if (found == nullptr) return nullptr;
    for (const ProfileEntry& entry : found->entries)
        if (SameName(entry.key, key)) return &entry;
    return nullptr;
}

std::string ProfileText::ReadText(std::string_view section, std::string_view key) const {
    const ProfileEntry* entry = FindEntry(section, key);
    if (entry == nullptr) return {};
    return entry->value.substr(0, kProfileValueMax);
}

int32_t ProfileText::ReadInt(std::string_view section, std::string_view key, int32_t fallback) const {
    return ProfileIntFromText(ReadText(section, key), fallback);
}

std::string ProfileText::PreferredEol() const {
    size_t crlf = 0, other = 0;
    for (const ProfileLine& line : lines_) {
        if (line.eol == "\r\n") ++crlf;
        else if (!line.eol.empty()) ++other;
    }
    return other > crlf ? "\n" : "\r\n";
}

int32_t ProfileIntFromText(std::string_view value, int32_t fallback) {
    if (value.empty()) return fallback;
    size_t i = 0;
    bool negative = false;
    if (value[i] == '-' || value[i] == '+') negative = value[i++] == '-';
    uint32_t base = 10;
    if (i + 1 < value.size() && value[i] == '0' && (value[i + 1] == 'x' || value[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    uint32_t result = 0;  // wraps like the platform's 32-bit arithmetic
    for (; i < value.size(); ++i) {
        const char c = value[i];
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<uint32_t>(c - 'A' + 10);
        else break;
        result = result * base + digit;
    }
    if (negative) result = 0u - result;
    return static_cast<int32_t>(result);
}

bool IsPlainDecimal(std::string_view value) {
    if (value.empty() || value.size() > 9) return false;
    for (char c : value)
        if (c < '0' || c > '9') return false;
    return true;
}

}  // namespace kqpack
