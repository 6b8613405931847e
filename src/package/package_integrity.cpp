// CRC-32, the integrity payload's checks and the PE header fields a package
// depends on.
#include "package/package_integrity.h"

#include "package/record_format.h"

namespace kq {
namespace {

constexpr uint32_t kPeSignatureToOptionalHeader = 24;
constexpr uint32_t kChecksumInOptionalHeader = 64;
// The certificate table is data directory 4; the directories start at 96 in
// a PE32 optional header and at 112 in a PE32+ one.
constexpr uint32_t kCertificateEntryPe32 = 96 + 4 * 8;
constexpr uint32_t kCertificateEntryPe32Plus = 112 + 4 * 8;

// Offset of the optional header's certificate entry, or 0 when the header
// does not hold one within `header_length`.
uint32_t CertificateEntryOffset(const uint8_t* header, uint32_t header_length, uint32_t& optional_header) {
    if (header_length < 0x40) return 0;
    const uint32_t pe = ReadU32(header + 0x3C);
    if (pe > header_length - kPeSignatureToOptionalHeader - 2) return 0;
    optional_header = pe + kPeSignatureToOptionalHeader;
    const uint16_t magic = ReadU16(header + optional_header);
    const uint32_t entry = optional_header + (magic == 0x20B ? kCertificateEntryPe32Plus : kCertificateEntryPe32);
    return entry + 8 <= header_length ? entry : 0;
}

}  // namespace

void MakeCrc32Table(Crc32Table& table) {
    for (uint32_t i = 0; i < 256; ++i) {
        uint32_t c = i;
        for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table.entry[i] = c;
    }
    for (uint32_t i = 256; i < 4 * 256; ++i)
        table.entry[i] = table.entry[i - 256] >> 8 ^ table.entry[table.entry[i - 256] & 0xFF];
}

// Four bytes a step: every decoded byte of a package passes here, and byte
// by byte this took about a fifth of the time of decoding them.
uint32_t Crc32(const Crc32Table& table, uint32_t crc, const uint8_t* bytes, size_t length) {
    const uint32_t* const e = table.entry;
    const uint8_t* const end = bytes + length;
    crc = ~crc;
    for (; end - bytes >= 4; bytes += 4) {
        crc ^= static_cast<uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24);
        crc = e[3 * 256 + (crc & 0xFF)] ^ e[2 * 256 + (crc >> 8 & 0xFF)] ^ e[256 + (crc >> 16 & 0xFF)] ^ e[crc >> 24];
    }
    while (bytes != end) crc = e[(crc ^ *bytes++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

int CheckIntegrityPayload(const Crc32Table& table, const uint8_t* payload, uint32_t length, uint32_t records) {
    if (length != IntegrityPayloadSize(records) || ReadU32(payload + 4) != records) return 0;
    for (int i = 0; i < 4; ++i)
        if (payload[i] != kIntegrityMark[i]) return 0;
    return Crc32(table, 0, payload, length - 4) == ReadU32(payload + length - 4) ? 1 : 0;
}

uint32_t PackageEnd(const uint8_t* header, uint32_t header_length, uint32_t file_size) {
    uint32_t optional_header = 0;
    const uint32_t entry = CertificateEntryOffset(header, header_length, optional_header);
    if (entry == 0) return file_size;
    const uint32_t table = ReadU32(header + entry), size = ReadU32(header + entry + 4);
    const bool ends_the_file = table >= kStubLength && size != 0 && uint64_t{table} + size == file_size;
    return ends_the_file ? table : file_size;
}

void CleanStubHeader(uint8_t* header, uint32_t header_length) {
    if (header_length < kIntegrityMarkOffset + 4) return;
    for (uint32_t i = 0; i < 4; ++i) header[kIntegrityMarkOffset + i] = 0;
    uint32_t optional_header = 0;
    const uint32_t entry = CertificateEntryOffset(header, header_length, optional_header);
    // Unsigned, the copy is the stub as it was linked, checksum and all.
    if (entry == 0 || (ReadU32(header + entry) == 0 && ReadU32(header + entry + 4) == 0)) return;
    for (uint32_t i = 0; i < 4; ++i) header[optional_header + kChecksumInOptionalHeader + i] = 0;
    for (uint32_t i = 0; i < 8; ++i) header[entry + i] = 0;
}

}  // namespace kq
