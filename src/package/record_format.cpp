// Record bounds, attribute mapping and the stored-time shift.
#include "package/record_format.h"

namespace kq {

bool RecordFitsFile(uint32_t cursor, uint32_t record_length, uint32_t file_size) {
    if (record_length < kRecordFixedBytes) return false;
    return static_cast<uint64_t>(cursor) + record_length <= file_size;
}

int ParseRecordBuffer(const uint8_t* buffer, uint32_t buffer_length, RecordFields& fields) {
    if (buffer_length < kRecordFixedBytes - 4) return 0;
    fields.record_length = ReadU32(buffer);
    fields.dos_date = ReadU16(buffer + 4);
    fields.dos_time = ReadU16(buffer + 6);
    fields.attributes = buffer[8];
    fields.name_length = buffer[9];
    const uint32_t size_offset = 10u + fields.name_length;
    if (size_offset + 4 > buffer_length) return 0;
    fields.name = buffer + 10;
    fields.uncompressed_size = ReadU32(buffer + size_offset);
    fields.stream = buffer + size_offset + 4;
    fields.stream_length = buffer_length - (size_offset + 4);
    return fields.uncompressed_size <= MaxDecodedSize(fields.stream_length) ? 1 : 0;
}

uint32_t FileAttributesFromDos(uint8_t dos_attributes) {
    unsigned a = dos_attributes;
    uint32_t result = 0;
    if (a >= 0x20) { result |= 0x20; a -= 0x20; }
    if (a >= 0x10) a -= 0x10;
    if (a >= 0x08) a -= 0x08;
    if (a >= 0x04) { result |= 0x04; a -= 0x04; }
    if (a >= 0x02) { result |= 0x02; a -= 0x02; }
    if (a == 1) result |= 0x01;
    return result != 0 ? result : 0x80;
}

}  // namespace kq
