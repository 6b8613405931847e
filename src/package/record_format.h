// The byte layout of the program file and its package records, and the pure
// conversions the extractor applies to a record's stored metadata.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace kq {

// The stub's image ends here and the first package record begins.
inline constexpr uint32_t kStubLength = 43008;

// The installer moves through its own file with signed 32-bit offsets, so
// every record must lie within this many bytes.
inline constexpr uint32_t kLargestProgramFile = 0x7FFFFFFF;

// Signature, record length, date, time, attributes, name length, then the
// uncompressed size after the name: 18 bytes besides the name and the stream.
inline constexpr uint32_t kRecordFixedBytes = 18;
inline constexpr uint32_t kRecordPrefixBytes = 8;  // signature and record length
inline constexpr char kRecordSignature[4] = {'K', 'Q', '1', '\0'};

inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

// True when a record of `record_length` at `cursor` holds at least its fixed
// fields and ends within a file of `file_size` bytes.
bool RecordFitsFile(uint32_t cursor, uint32_t record_length, uint32_t file_size);

// The most bytes a stream of `stream_length` bytes can decode to when it came
// from an encoder: a symbol costs at least one bit and yields at most one
// byte, or a match costs at least 1 + 9 bits and yields at most 60 bytes, so
// no stream yields more than 6 bytes per bit (48 per byte), plus one last
// match. A larger stated size is damage, and decoding it would fill the disk
// from zero bits read past the end.
constexpr uint64_t MaxDecodedSize(uint32_t stream_length) {
    return 48ull * stream_length + 60;
}

// A record as the extractor holds it: from the record length field to its end
// (record length - 4 bytes), so offsets are the record's own minus 4.
struct RecordFields {
    uint32_t record_length;
    uint16_t dos_date;
    uint16_t dos_time;
    uint8_t attributes;
    uint8_t name_length;
    const uint8_t* name;
    uint32_t uncompressed_size;
    const uint8_t* stream;
    uint32_t stream_length;
};

// Splits a record buffer into its fields. Returns 0 for a damaged record: the
// stored name and size do not fit the buffer, or the stated size is more
// than its stream could hold. 1 otherwise.
[[nodiscard]] int ParseRecordBuffer(const uint8_t* buffer, uint32_t buffer_length, RecordFields& fields);

// Windows file attributes for a DOS attribute byte: archive, system, hidden
// and read-only survive; directory and volume label are dropped; nothing left
// means normal (0x80).
uint32_t FileAttributesFromDos(uint8_t dos_attributes);

// A record's time: the build machine's local time, in DOS form.
struct DosTimestamp {
    uint16_t dos_date;
    uint16_t dos_time;
};

}  // namespace kq
