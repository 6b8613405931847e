// Install placement: where an installed record goes under the install folder,
// and which copy mode governs an existing file there.
#pragma once

#include <stdint.h>

namespace kq {

// Completes `destination` (holding the install folder, 256-byte buffer) with
// a backslash and the stored name, and yields the copy mode. Returns 0 when
// the record cannot be placed (the caller reports it).
[[nodiscard]] int PlaceRecord(const uint8_t* stored_name, uint32_t name_length, char* destination,
                              const char* script_path, int& copy_mode);

}  // namespace kq
