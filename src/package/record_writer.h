// Writing package records, for the packaging tool and the tests: the record
// layout around a coded stream, and the integrity record that closes a
// package.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace kq {

// Signature, record length, date, time, attributes, name length, the name,
// then `coded` (the encoder's output: uncompressed size and code).
std::vector<uint8_t> AssembleRecord(std::string_view stored_name, uint16_t dos_date, uint16_t dos_time,
                                    uint8_t attributes, std::span<const uint8_t> coded);

// Appends the integrity record to `program` (the stub and every record), for
// records whose decoded bytes have the CRC-32s `decoded_crcs`, in order. Its
// stream is padded so that the program's length becomes a multiple of 8 (a
// signer then adds no padding before its certificate table), and the stub's
// DOS header is marked as belonging to a package with an integrity record.
void AppendIntegrityRecord(std::vector<uint8_t>& program, std::span<const uint32_t> decoded_crcs);

}  // namespace kq
