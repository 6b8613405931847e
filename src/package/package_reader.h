// Walking the package appended to a stub, for the packaging tool and tests:
// every record located, bounds-checked and decodable on demand.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "package/record_format.h"

namespace kq {

struct PackageRecord {
    uint32_t offset;  // of the signature, in the program file
    uint32_t record_length;
    uint16_t dos_date;
    uint16_t dos_time;
    uint8_t attributes;
    std::string stored_name;
    uint32_t uncompressed_size;
    std::span<const uint8_t> stream;  // the compressed code bits
};

struct PackageWalk {
    std::vector<PackageRecord> records;  // the script, the licence and the files
    std::optional<PackageRecord> integrity;  // the last record, when it is the integrity record
    bool marked = false;       // the stub says the package has an integrity record
    uint32_t package_end = 0;  // where a code signature's certificate table starts, or the file's end
    std::string error;         // empty when the whole package is sound
};

// Walks the records that follow the stub in `program_file` up to the
// package's end. Stops at the first damaged record and says which one and
// where in `error`.
PackageWalk WalkPackage(std::span<const uint8_t> program_file);

// Everything that stands between the package and an install of exactly the
// packaged bytes: the walk, the integrity record and every CRC, each record
// decoded. Empty when the package verifies.
std::vector<std::string> VerifyPackage(std::span<const uint8_t> program_file);

// Decodes one record's stream with the stub's decoder: exactly the bytes the
// installer would write (a last match may run past the stated size).
std::vector<uint8_t> DecodeRecordBytes(const PackageRecord& record);

// Decodes a raw stream in the reference file format (4-byte size, then code),
// which must state a size its code could hold (MaxDecodedSize); an empty
// result with `refused` set otherwise.
std::vector<uint8_t> DecodeReferenceStream(std::span<const uint8_t> file, bool* refused = nullptr);

// Decodes `stream` without keeping the bytes and says what is wrong with it,
// or returns "" when it gives exactly `size` bytes without running out of
// code, as every encoder's stream does.
std::string StreamProblem(std::span<const uint8_t> stream, uint32_t size);

// The same, and the bytes must be `expected` (at most 4 GiB): "" or where
// they first differ.
std::string StreamDifference(std::span<const uint8_t> stream, std::span<const uint8_t> expected);

}  // namespace kq
