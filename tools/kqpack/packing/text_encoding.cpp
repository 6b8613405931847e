// Windows-1252 and UTF-8 recognition and conversion.
#include "packing/text_encoding.h"

#include <cstdio>
#include <optional>

namespace kqpack {
namespace {

// 0x80..0x9F differ from Latin-1; 0 marks the undefined bytes.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

bool InCodePage(char32_t code_point) {
    if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF)) return true;
    for (char16_t c : kHighControls)
        if (c != 0 && c == code_point) return true;
    return false;
}

// One UTF-8 sequence at `text[i]` (a byte >= 0x80): its code point and
// length, or nothing when the bytes are not well-formed UTF-8.
std::optional<std::pair<char32_t, size_t>> DecodeUtf8At(std::string_view text, size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length;
    char32_t code_point;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code_point = lead & 0x1Fu; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code_point = lead & 0x0Fu; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code_point = lead & 0x07u; }
    else return std::nullopt;
    if (i + length > text.size()) return std::nullopt;
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        code_point = code_point << 6 | (next & 0x3Fu);
    }
    const char32_t smallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (code_point < smallest[length] || code_point > 0x10FFFF || (code_point >= 0xD800 && code_point <= 0xDFFF))
        return std::nullopt;
    return std::make_pair(code_point, length);
}

// True when every byte >= 0x80 in `text` belongs to a UTF-8 sequence and
// there is at least one.
bool IsUtf8WithNonAscii(std::string_view text) {
    bool any = false;
    for (size_t i = 0; i < text.size();) {
        if (static_cast<unsigned char>(text[i]) < 0x80) { ++i; continue; }
        const auto decoded = DecodeUtf8At(text, i);
        if (!decoded) return false;
        any = true;
        i += decoded->second;
    }
    return any;
}

}  // namespace

char32_t Cp1252ToCodePoint(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | c >> 18);
        out += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string Cp1252ToUtf8(std::string_view text) {
    std::string out;
    for (char c : text) {
        const char32_t code_point = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        AppendUtf8(out, code_point == 0 && c != '\0' ? U'\uFFFD' : code_point);
    }
    return out;
}

std::string DisplayText(std::string_view text) {
    const std::string readable = IsUtf8WithNonAscii(text) ? std::string(text) : Cp1252ToUtf8(text);
    std::string shown;
    for (char c : readable) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown;
}

bool StartsWithUtf8Bom(std::string_view text) { return text.substr(0, 3) == "\xEF\xBB\xBF"; }

AnsiProblem FindAnsiProblem(std::string_view text) {
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F) {
            char shown[8];
            std::snprintf(shown, sizeof shown, "\\x%02X", byte);
            return {AnsiProblem::Kind::kControl, shown};
        }
    }
    if (IsUtf8WithNonAscii(text)) {
        for (size_t i = 0; i < text.size();) {
            if (static_cast<unsigned char>(text[i]) < 0x80) { ++i; continue; }
            const auto decoded = DecodeUtf8At(text, i);
            if (!InCodePage(decoded->first))
                return {AnsiProblem::Kind::kUtf8NotInCodePage, std::string(text.substr(i, decoded->second))};
            i += decoded->second;
        }
        return {AnsiProblem::Kind::kUtf8, {}};
    }
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && Cp1252ToCodePoint(byte) == 0) {
            char shown[8];
            std::snprintf(shown, sizeof shown, "\\x%02X", byte);
            return {AnsiProblem::Kind::kUndefined, shown};
        }
    }
    return {};
}

}  // namespace kqpack
