// Command-line tail derivation for the program's own start-up code, and the
// switches of unattended runs.
#include "startup/command_line.h"

namespace kq {

const char* CommandLineTail(const char* command_line, LeadBytePredicate is_lead_byte) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(command_line);
    if (*p == '"') {
        ++p;
        while (*p != '\0' && *p != '"') {
            // A lead byte takes its trail byte along, unless the line ends.
            if (is_lead_byte(*p) && p[1] != '\0') ++p;
            ++p;
        }
        if (*p == '"') ++p;
    } else {
        while (*p > 0x20) ++p;
    }
    while (*p >= 1 && *p <= 0x20) ++p;
    return reinterpret_cast<const char*>(p);
}

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "/D=" and "/LOG=" in any case.
bool StartsWith(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix)
        if ((*text | 0x20) != (*prefix | 0x20)) return false;
    return true;
}

}  // namespace

SetupSwitches ParseSetupSwitches(const char* tail) {
    SetupSwitches switches;
    const char* p = tail;
    while (*p != '\0') {
        while (IsBlank(*p)) ++p;
        if (*p == '\0') break;
        const bool quoted = *p == '"';
        const char* word = p + (quoted ? 1 : 0);
        // The folder takes the rest of the line, blanks and all.
        if (!quoted && StartsWith(word, "/D=")) {
            const char* end = word + 3;
            while (*end != '\0') ++end;
            while (end > word + 3 && IsBlank(end[-1])) --end;
            switches.folder = {word + 3, static_cast<unsigned>(end - (word + 3))};
            break;
        }
        // A word ends at a blank, or a quoted one at its closing quote; so
        // does a quoted value: /LOG="C:\a b\x.txt".
        p = word;
        bool in_quotes = quoted;
        while (*p != '\0' && (in_quotes || !IsBlank(*p))) {
            if (*p == '"') in_quotes = !in_quotes;
            ++p;
        }
        unsigned length = static_cast<unsigned>(p - word);
        if (length > 0 && word[length - 1] == '"') --length;
        if (*word != '/') continue;
        if (length == 2 && (word[1] | 0x20) == 's') {
            switches.silent = true;
        } else if (StartsWith(word, "/LOG=") && length > 5) {
            const bool value_quoted = word[5] == '"';
            switches.log = {word + 5 + value_quoted, length - 5 - value_quoted};
        } else if (switches.unknown.text == nullptr) {
            switches.unknown = {word, length};
        }
    }
    return switches;
}

const char* UninstallTail(const char* tail, bool& silent) {
    silent = tail[0] == '/' && (tail[1] | 0x20) == 's' && tail[2] == ' ';
    if (!silent) return tail;
    tail += 3;
    while (IsBlank(*tail)) ++tail;
    return tail;
}

}  // namespace kq
