// The command-line tail as the process start-up hands it to the entry: the
// text after the program's own name and the blanks that follow it.
#pragma once

namespace kq {

// Tells whether a byte leads a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Skips the (possibly quoted) program name and then every character from 1 to
// 0x20. The rest is returned verbatim, quotes and all. Inside a quoted name a
// lead byte carries its trail byte, so a trail byte equal to '"' does not end
// the name.
const char* CommandLineTail(const char* command_line, LeadBytePredicate is_lead_byte);

}  // namespace kq
