// The installer reads text in the ANSI code page; authors often write UTF-8.
// These helpers tell the two apart (assuming Windows-1252, the Western code
// page) and render either readably in messages and JSON.
#pragma once

#include <string>
#include <string_view>

namespace kqpack {

// The Unicode character of a Windows-1252 byte; 0 for the five bytes the
// code page leaves undefined.
char32_t Cp1252ToCodePoint(unsigned char byte);

void AppendUtf8(std::string& out, char32_t code_point);

// Windows-1252 text as UTF-8 (undefined bytes become U+FFFD).
std::string Cp1252ToUtf8(std::string_view text);

// Text for a message: valid UTF-8 as it stands, anything else read as
// Windows-1252; control bytes shown as \xNN.
std::string DisplayText(std::string_view text);

bool StartsWithUtf8Bom(std::string_view text);

struct AnsiProblem {
    enum class Kind { kNone, kUtf8, kUtf8NotInCodePage, kControl, kUndefined };
    Kind kind = Kind::kNone;
    std::string culprit;  // the character at fault, for the message (UTF-8)
};

// Why `text` (one line, without its line break) would not read as intended
// in the ANSI code page: UTF-8 sequences, control bytes (other than tab) or
// bytes Windows-1252 leaves undefined.
AnsiProblem FindAnsiProblem(std::string_view text);

}  // namespace kqpack
