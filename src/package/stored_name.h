// What a record's stored name may be. The installer writes the record under
// the install folder by this name and logs every folder on the way, and the
// uninstaller later deletes what the log lists; the packaging tool refuses to
// build, and the installer to place, any name this finds fault with.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace kq {

enum class StoredNameFault : uint8_t {
    kNone,
    kEmpty,
    kAbsolute,        // starts with a backslash or slash
    kDrive,           // "C:..."
    kEmptyPart,       // two backslashes in a row, or one at the end
    kDotsAndBlanks,   // a part of only dots and blanks: ".", "..", "...", ".. "
    kBadCharacter,    // a control character or one of < > : " / | ? *
    kDeviceName,      // CON, PRN, AUX, NUL, COM1-9, LPT1-9, with or without an extension
};

struct StoredNameCheck {
    StoredNameFault fault;
    size_t part_start;   // the part at fault, where there is one
    size_t part_length;
};

// `name` is `length` bytes, backslash-separated, with no terminator needed.
StoredNameCheck CheckStoredName(const char* name, size_t length);

// True when `name` (`length` bytes) may stand whole as one folder name and
// one registry key name, as an application's name does (the Start-menu
// folder, the uninstall entry): not empty, no backslash, and none of the
// faults of a stored name's part (a character Windows refuses, only dots and
// blanks, a device name). Anything else could name a place elsewhere.
bool IsPlainName(const char* name, size_t length);

}  // namespace kq
