// The command-line tail as the process start-up hands it to the entry (the
// text after the program's own name and the blanks that follow it), and the
// switches of an unattended run in it.
#pragma once

namespace kq {

// Tells whether a byte leads a double-byte character in the ANSI code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Skips the (possibly quoted) program name and then every character from 1 to
// 0x20. The rest is returned verbatim, quotes and all. Inside a quoted name a
// lead byte carries its trail byte, so a trail byte equal to '"' does not end
// the name.
const char* CommandLineTail(const char* command_line, LeadBytePredicate is_lead_byte);

// A piece of the tail: `length` characters from `text`.
struct TailPiece {
    const char* text = nullptr;
    unsigned length = 0;
};

// The installer's switches. Words not starting with '/' are ignored, as they
// always were.
struct SetupSwitches {
    bool silent = false;  // "/S" (or "/s") as a word of its own
    TailPiece folder;     // after "/D=" to the end of the tail, blanks and all, trailing blanks dropped
    TailPiece log;        // "/LOG=PATH": to the next blank, or within quotes ("/LOG=C:\a b\x.txt")
    TailPiece unknown;    // the first other word starting with '/'
};
SetupSwitches ParseSetupSwitches(const char* tail);

// The uninstaller's tail: "/S " before the log path makes the run silent; a
// log path never starts so, which keeps older uninstall entries working.
// Returns the log path.
const char* UninstallTail(const char* tail, bool& silent);

}  // namespace kq
