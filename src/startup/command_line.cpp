// Command-line tail derivation for the program's own start-up code.
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

}  // namespace kq
