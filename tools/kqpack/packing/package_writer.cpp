// Record assembly for the packaging tool.
#include "packing/package_writer.h"

#include "packing/file_io.h"
#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"
#include "platform/host.h"

namespace kqpack {

std::string StoredNameFor(const std::string& relative_path) {
    if (relative_path.empty()) throw InputError{"empty file name"};
    if (relative_path.front() == '/' || relative_path.front() == '\\' ||
        (relative_path.size() >= 2 && relative_path[1] == ':'))
        throw InputError{relative_path + ": absolute names cannot be stored"};
    std::string stored;
    size_t start = 0;
    while (start <= relative_path.size()) {
        size_t end = relative_path.find_first_of("/\\", start);
        if (end == std::string::npos) end = relative_path.size();
        const std::string part = relative_path.substr(start, end - start);
        if (part == "..") throw InputError{relative_path + ": names with '..' cannot be stored"};
        if (!part.empty() && part != ".") {
            if (!stored.empty()) stored += '\\';
            stored += part;
        } else if (end == relative_path.size()) {
            throw InputError{relative_path + ": names a folder, not a file"};
        }
        start = end + 1;
    }
    if (stored.size() > 255) throw InputError{relative_path + ": stored name longer than 255 bytes"};
    return stored;
}

kq::DosTimestamp DosTimestampFromTime(std::time_t time) {
    const std::tm local = LocalTime(time);
    const int year = local.tm_year + 1900;
    if (year < 1980) return {static_cast<uint16_t>(1 << 5 | 1), 0};
    if (year > 2107) return {static_cast<uint16_t>(127 << 9 | 12 << 5 | 31), static_cast<uint16_t>(23 << 11 | 59 << 5 | 29)};
    const auto date = static_cast<uint16_t>((year - 1980) << 9 | (local.tm_mon + 1) << 5 | local.tm_mday);
    const int seconds = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second
    const auto time_word = static_cast<uint16_t>(local.tm_hour << 11 | local.tm_min << 5 | seconds / 2);
    return {date, time_word};
}

uint8_t DosAttributesFor(const std::filesystem::path& path) {
    using std::filesystem::perms;
    const perms p = std::filesystem::status(path).permissions();
    const bool writable = (p & (perms::owner_write | perms::group_write | perms::others_write)) != perms::none;
    return writable ? 0x20 : 0x21;
}

RecordSource LoadRecordSource(const std::filesystem::path& file, std::string stored_name) {
    const std::optional<std::time_t> last_write = RegularFileTime(file);
    if (!last_write)
        throw InputError{file.string() + ": not a readable regular file"};
    RecordSource source;
    source.stored_name = std::move(stored_name);
    source.contents = ReadWholeFile(file);
    if (source.contents.size() > UINT32_MAX - 1024)
        throw InputError{file.string() + ": too large for a package record"};
    source.timestamp = DosTimestampFromTime(*last_write);
    source.attributes = DosAttributesFor(file);
    return source;
}

std::vector<uint8_t> MakeRecord(const RecordSource& source) {
    const std::vector<uint8_t> coded = kq::lzhuf::Encode(source.contents);
    // Decoded again as the installer will decode it: a package that would
    // install anything but the source's bytes is never written.
    const std::string problem = kq::StreamDifference(std::span(coded).subspan(4), source.contents);
    if (!problem.empty())
        throw InputError{source.stored_name + ": the coded file does not decode to its source (" + problem +
                         "); no package written"};
    const uint64_t length = 14 + source.stored_name.size() + coded.size();
    if (length > UINT32_MAX) throw InputError{source.stored_name + ": record larger than 4 GiB"};
    uint8_t header[14];
    for (int i = 0; i < 4; ++i) {
        header[i] = static_cast<uint8_t>(kq::kRecordSignature[i]);
        header[4 + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    header[8] = static_cast<uint8_t>(source.timestamp.dos_date);
    header[9] = static_cast<uint8_t>(source.timestamp.dos_date >> 8);
    header[10] = static_cast<uint8_t>(source.timestamp.dos_time);
    header[11] = static_cast<uint8_t>(source.timestamp.dos_time >> 8);
    header[12] = source.attributes;
    header[13] = static_cast<uint8_t>(source.stored_name.size());
    std::vector<uint8_t> record(std::begin(header), std::end(header));
    record.reserve(length);
    record.insert(record.end(), source.stored_name.begin(), source.stored_name.end());
    record.insert(record.end(), coded.begin(), coded.end());
    return record;
}

void CheckProgramLength(uint64_t length, const std::filesystem::path& output) {
    if (length > kq::kLargestProgramFile)
        throw InputError{output.string() + ": the package would be " + std::to_string(length) +
                         " bytes; the installer reads records only within the first 2 GiB (" +
                         std::to_string(kq::kLargestProgramFile) + " bytes): split the files over two setups"};
}

void WritePackage(const std::filesystem::path& stub, const std::vector<RecordSource>& sources,
                  const std::filesystem::path& output) {
    std::vector<uint8_t> program = ReadWholeFile(stub);
    if (program.size() != kq::kStubLength)
        throw InputError{stub.string() + ": a stub is exactly " + std::to_string(kq::kStubLength) +
                         " bytes, this one is " + std::to_string(program.size())};
    for (size_t i = 0; i < sources.size(); ++i) {
        // The script and the licence are staged as files the installer
        // writes to (the log) and moves: they carry normal attributes,
        // whatever the permissions of their sources.
        RecordSource source = sources[i];
        if (i < 2) source.attributes = 0x20;
        const std::vector<uint8_t> record = MakeRecord(source);
        CheckProgramLength(program.size() + record.size(), output);
        program.insert(program.end(), record.begin(), record.end());
    }
    WriteFileAtomically(output, program, true);
}

}  // namespace kqpack
