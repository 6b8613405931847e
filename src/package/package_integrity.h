// What makes a package verifiable: the integrity record kqpack appends after
// the last file record (older installers never read it), the mark in the
// stub's DOS header that says a package carries one, CRC-32, and where the
// package ends when a code signature follows it.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace kq {

// The integrity record's stored name. Windows allows no '*' in a file name, so
// an older installer told to read one record too many creates no file from it.
inline constexpr char kIntegrityRecordName[] = "*integrity";
inline constexpr uint32_t kIntegrityNameLength = sizeof kIntegrityRecordName - 1;

// Four bytes of the DOS header's reserved words, which loaders never read.
inline constexpr uint32_t kIntegrityMarkOffset = 0x28;
inline constexpr uint8_t kIntegrityMark[4] = {'K', 'Q', 'I', '1'};

// The integrity record's decoded contents, all little-endian: the mark
// again, the number of records it covers (every record before it), for each
// the CRC-32 of the record as stored (signature to last byte) and of its
// decoded bytes, and last the CRC-32 of everything before it.
constexpr uint32_t IntegrityPayloadSize(uint32_t records) { return 12 + 8 * records; }

// Four tables of 256: the CRC of a byte, and of that byte followed by one,
// two and three zero bytes, so that four bytes are taken at a time.
struct Crc32Table {
    uint32_t entry[4 * 256];
};
void MakeCrc32Table(Crc32Table& table);
// CRC-32 (the polynomial of zip and PNG) of `bytes` continuing `crc` (0 to start).
uint32_t Crc32(const Crc32Table& table, uint32_t crc, const uint8_t* bytes, size_t length);

// Returns 1 when `payload` (`length` bytes) is a sound integrity payload for
// `records` records: its size, mark and own CRC.
[[nodiscard]] int CheckIntegrityPayload(const Crc32Table& table, const uint8_t* payload, uint32_t length,
                                        uint32_t records);

// `header` holds the first `header_length` bytes of a program file of
// `file_size` bytes. When its certificate table (a code signature) is set and
// ends at the end of the file, the package ends where the table starts;
// otherwise at the end of the file.
uint32_t PackageEnd(const uint8_t* header, uint32_t header_length, uint32_t file_size);

// Clears what a copy of the stub alone must not carry from the package it
// came with: the integrity mark and, from a signed package, the PE checksum
// (the signer's, over the whole file) and the certificate-table entry, which
// would point past the copy's end.
void CleanStubHeader(uint8_t* header, uint32_t header_length);

}  // namespace kq
