// One pass over the program's own file: every record's header and bytes to
// the package's end, then the integrity record decoded and compared.
#include "package/package_check.h"

#include "package/extract_record.h"
#include "package/lzhuf_decoder.h"
#include "package/record_format.h"
#include "platform/platform.h"

namespace kq {

PackageIntegrity* g_integrity;

namespace {

constexpr char kDamagedPackage[] =
    "The setup file is damaged or incomplete.\n\nPlease obtain a new copy of the setup program.";
constexpr DWORD kHeaderBytes = 1024;
// Also the most an integrity record may take: some 130,000 records.
constexpr uint32_t kPiece = 1 << 20;

void* Allocate(SIZE_T size) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size); }

struct MemorySink {
    uint8_t* bytes;
    uint32_t capacity;
    uint32_t written;
};

void WriteToMemory(void* context, const uint8_t* bytes, uint32_t count) {
    auto* sink = static_cast<MemorySink*>(context);
    for (uint32_t i = 0; i < count && sink->written < sink->capacity; ++i) sink->bytes[sink->written++] = bytes[i];
}

bool IsIntegrityName(const RecordFields& fields) {
    if (fields.name_length != kIntegrityNameLength) return false;
    for (uint32_t i = 0; i < kIntegrityNameLength; ++i)
        if (fields.name[i] != static_cast<uint8_t>(kIntegrityRecordName[i])) return false;
    return true;
}

// Decodes the integrity record (`length` bytes, read into `record`) for
// `records` records into `integrity`. Returns 0 when it is not a sound one.
int ReadIntegrityRecord(uint8_t* record, uint32_t length, uint32_t records, PackageIntegrity& integrity) {
    const uint32_t payload_size = IntegrityPayloadSize(records);
    auto* payload = static_cast<uint8_t*>(Allocate(payload_size));
    auto* workspace = static_cast<lzhuf::DecoderWorkspace*>(Allocate(sizeof(lzhuf::DecoderWorkspace)));
    RecordFields fields;
    MemorySink sink{payload, payload_size, 0};
    const bool sound = payload != nullptr && workspace != nullptr &&
                       ParseRecordBuffer(record + 4, length - 4, fields) && IsIntegrityName(fields) &&
                       fields.uncompressed_size == payload_size &&
                       !lzhuf::DecodeStream(fields.stream, fields.stream_length, payload_size, *workspace,
                                            {&sink, WriteToMemory}).ran_out &&
                       CheckIntegrityPayload(integrity.table, payload, payload_size, records);
    if (workspace != nullptr) HeapFree(GetProcessHeap(), 0, workspace);
    integrity.records = records;
    integrity.payload = payload;
    return sound ? 1 : 0;
}

// One pass over the package: the records must end exactly at `end`, and
// their CRCs, folded into one in order, must fold as the integrity record's
// list does. The last record is left in `piece`.
int VerifyPackage(HANDLE file, uint32_t end, PackageIntegrity& integrity, uint8_t* piece) {
    uint32_t cursor = kStubLength, records = 0, length = 0, folded = 0, folded_before_last = 0;
    while (cursor < end) {
        if (end - cursor < kRecordPrefixBytes || !ReadAt(file, cursor, piece, kRecordPrefixBytes)) return 0;
        length = ReadU32(piece + 4);
        if (!RecordFitsFile(cursor, length, end)) return 0;
        uint32_t crc = 0;
        for (uint32_t done = 0; done < length;) {
            const uint32_t count = length - done < kPiece ? length - done : kPiece;
            if (!ReadAt(file, cursor + done, piece, count)) return 0;
            crc = Crc32(integrity.table, crc, piece, count);
            done += count;
            if (g_piece_written != nullptr) g_piece_written(nullptr, 0, count);
        }
        folded_before_last = folded;
        folded = Crc32(integrity.table, folded, reinterpret_cast<const uint8_t*>(&crc), 4);
        cursor += length;
        ++records;
    }
    if (records == 0 || length > kPiece || !ReadIntegrityRecord(piece, length, records - 1, integrity)) return 0;
    uint32_t listed = 0;
    for (uint32_t i = 0; i + 1 < records; ++i) listed = Crc32(integrity.table, listed, integrity.payload + 8 + 8 * i, 4);
    return listed == folded_before_last ? 1 : 0;
}

}  // namespace

int CheckOwnPackage(HINSTANCE module) {
    const HANDLE file = OwnProgramFile(module);
    uint8_t header[kHeaderBytes];
    const DWORD size = file != INVALID_HANDLE_VALUE ? GetFileSize(file, nullptr) : 0;
    // Without its file or its mark the package is left to the extractor, as ever.
    if (size == INVALID_FILE_SIZE || size <= kStubLength || !ReadAt(file, 0, header, sizeof header)) return 1;
    for (uint32_t i = 0; i < 4; ++i)
        if (header[kIntegrityMarkOffset + i] != kIntegrityMark[i]) return 1;
    auto* integrity = static_cast<PackageIntegrity*>(Allocate(sizeof(PackageIntegrity)));
    auto* piece = static_cast<uint8_t*>(Allocate(kPiece));
    int verified = 0;
    if (integrity != nullptr && piece != nullptr) {
        MakeCrc32Table(integrity->table);
        verified = VerifyPackage(file, PackageEnd(header, sizeof header, size), *integrity, piece);
    }
    if (piece != nullptr) HeapFree(GetProcessHeap(), 0, piece);
    if (!verified) {
        if (integrity != nullptr) HeapFree(GetProcessHeap(), 0, integrity);
        ShowMessage(kDamagedPackage, "Setup", MB_OK | MB_ICONERROR);
        return 0;
    }
    g_integrity = integrity;
    return 1;
}

uint32_t DecodedCrcOf(uint32_t index) {
    return ReadU32(g_integrity->payload + 12 + 8 * index);
}

}  // namespace kq
