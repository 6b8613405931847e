// Install placement: where an installed record goes (under the install folder,
// or the Windows folder for copy mode 8), what the uninstall log records about
// it, and which copy mode governs an existing file there.
#pragma once

#include <stdint.h>

#include "script/script.h"

namespace kq {

// Copy modes from [Copymode]; any other value replaces an existing file.
inline constexpr int kCopyModeAsk = 2;
inline constexpr int kCopyModeKeep = 3;
inline constexpr int kCopyModeWindowsFolder = 8;

// `destination` is the caller's 256-byte buffer holding the install folder;
// on success it holds the installed file's full path. Records, in the
// install log (g_install_log), the folders of the stored name that no
// earlier file recorded under dire keys and the path under the next free
// file key, whose name `file_key` (kKeyNameSize) receives, and yields the
// copy mode [Copymode] gives under that key. Returns 0, with nothing
// recorded and the buffer unchanged, when the name climbs out of the
// install folder (".."), the path would not fit 255 characters or memory
// runs out; the caller reports it.
[[nodiscard]] int PlaceRecord(const uint8_t* stored_name, uint32_t name_length, char* destination, int& copy_mode,
                              char* file_key);

// Rewrites the file key of a placed file that the install did not write (an
// existing file kept under copy mode 3, or not overwritten at the user's
// word): the value names the file behind a mark that no file name can hold,
// so that no uninstaller deletes the user's file for it, and a person
// reading the log sees why it is there. The key stays taken.
void RecordKeptFile(const char* file_key, const char* path, int copy_mode);

}  // namespace kq
