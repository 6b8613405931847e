// The installer's check of its own package before anything is staged: a
// package whose stub carries the integrity mark must walk record by record
// exactly to its end (a code signature's certificate table excluded), end in
// a sound integrity record, and match every stored CRC. The CRCs of the
// decoded bytes are kept for the extractor, which checks each file with them.
#pragma once

#include <windows.h>
#include <stdint.h>

#include "package/package_integrity.h"

namespace kq {

// Set once by CheckOwnPackage for a package with an integrity record; null
// for one without (older packages install unchecked, as they always did).
struct PackageIntegrity {
    Crc32Table table;
    uint32_t records;             // the script, the licence and the files
    const uint8_t* payload;       // the integrity record's decoded contents
};
extern PackageIntegrity* g_integrity;

// Returns 1 when the package verifies or has no integrity mark; otherwise
// shows that the setup file is damaged and returns 0.
[[nodiscard]] int CheckOwnPackage(HINSTANCE module);

// The CRC-32 the decoded bytes of record `index` must have.
uint32_t DecodedCrcOf(uint32_t index);

}  // namespace kq
