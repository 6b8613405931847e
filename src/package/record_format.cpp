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

namespace {

bool IsLeapYear(unsigned year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
    static constexpr uint8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year)) return 29;
    return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

}  // namespace

DosTimestamp ShiftStoredTime(uint16_t dos_date, uint16_t dos_time) {
    const unsigned hour = (dos_time >> 11) + 6u;
    if (hour < 24) return {dos_date, static_cast<uint16_t>(dos_time + 0x3000)};

    unsigned year = 1980u + (dos_date >> 9);
    unsigned month = (dos_date >> 5) & 0x0F;
    unsigned day = dos_date & 0x1F;
    if (++day > DaysInMonth(year, month)) {
        day = 1;
        if (++month > 12) {
            month = 1;
            ++year;
        }
    }
    const unsigned low_bits = dos_time & 0x07FF;  // minutes and seconds
    if (year - 1980u > 127u) {
        // The next day is past the last DOS date: keep the stored time as is.
        return {dos_date, dos_time};
    }
    const uint16_t date = static_cast<uint16_t>((year - 1980u) << 9 | month << 5 | day);
    return {date, static_cast<uint16_t>((hour - 24u) << 11 | low_bits)};
}

}  // namespace kq
