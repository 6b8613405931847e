// DOS dates, times and attribute bytes as text.
#include "commands/record_display.h"

#include <cstdio>

namespace kqpack {

std::string FormatDosDate(uint16_t d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", 1980u + (d >> 9), (d >> 5) & 0x0Fu, d & 0x1Fu);
    return text;
}

std::string FormatDosTime(uint16_t t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t >> 11u, (t >> 5) & 0x3Fu, (t & 0x1Fu) * 2u);
    return text;
}

std::string FormatAttributes(uint8_t a) {
    std::string text;
    if (a & 0x20) text += 'A';
    if (a & 0x04) text += 'S';
    if (a & 0x02) text += 'H';
    if (a & 0x01) text += 'R';
    return text.empty() ? "-" : text;
}

}  // namespace kqpack
