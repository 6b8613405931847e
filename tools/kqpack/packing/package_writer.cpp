// Record assembly for the packaging tool.
#include "packing/package_writer.h"

#include <cstdlib>

#include "packing/file_io.h"
#include "package/lzhuf_encoder.h"
#include "package/package_integrity.h"
#include "package/package_reader.h"
#include "package/record_writer.h"
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
    const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
    std::tm local{};
    if (epoch != nullptr && *epoch != '\0') {
        char* end = nullptr;
        const long long clamp = std::strtoll(epoch, &end, 10);
        if (*end != '\0' || clamp < 0)
            throw InputError{"SOURCE_DATE_EPOCH: \"" + std::string(epoch) + "\" is not a number of seconds"};
        local = UtcTime(time > clamp ? static_cast<std::time_t>(clamp) : time);
    } else {
        local = LocalTime(time);
    }
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
    if (14 + source.stored_name.size() + coded.size() > UINT32_MAX)
        throw InputError{source.stored_name + ": record larger than 4 GiB"};
    return kq::AssembleRecord(source.stored_name, source.timestamp.dos_date, source.timestamp.dos_time,
                              source.attributes, coded);
}

void CheckProgramLength(uint64_t length, const std::filesystem::path& output) {
    if (length > kq::kLargestProgramFile)
        throw InputError{output.string() + ": the package would be " + std::to_string(length) +
                         " bytes; the installer reads records only within the first 2 GiB (" +
                         std::to_string(kq::kLargestProgramFile) + " bytes): split the files over two setups"};
}

namespace {

// "{in}" and "{out}" replaced by the paths, quoted for the shell.
std::string SigningCommand(std::string command, const std::filesystem::path& in, const std::filesystem::path& out) {
    for (const auto& [placeholder, path] : {std::pair{"{in}", &in}, std::pair{"{out}", &out}}) {
        if (command.find(placeholder) == std::string::npos)
            throw InputError{"the signing command has no " + std::string(placeholder)};
        for (size_t at; (at = command.find(placeholder)) != std::string::npos;)
            command.replace(at, std::string_view(placeholder).size(), ShellQuoted(*path));
    }
    return command;
}

std::vector<uint8_t> Signed(const std::vector<uint8_t>& program, const std::string& sign_command,
                            const std::filesystem::path& output) {
    const std::string suffix = ".tmp" + std::to_string(ProcessId());
    std::filesystem::path unsigned_path = output, signed_path = output;
    unsigned_path += ".unsigned" + suffix;
    signed_path += ".signed" + suffix;
    WriteFileAtomically(unsigned_path, program, true);
    const int status = std::system(SigningCommand(sign_command, unsigned_path, signed_path).c_str());
    std::vector<uint8_t> result;
    std::string failure;
    if (status != 0) failure = "the signing command failed (status " + std::to_string(status) + ")";
    else {
        try {
            result = ReadWholeFile(signed_path);
        } catch (const InputError& e) {
            failure = "the signing command wrote no output: " + e.message;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(unsigned_path, ignored);
    std::filesystem::remove(signed_path, ignored);
    if (failure.empty()) {
        const std::vector<std::string> problems = kq::VerifyPackage(result);
        if (!problems.empty()) failure = "the signed package does not verify: " + problems.front();
    }
    if (!failure.empty()) throw InputError{output.string() + ": " + failure + "; no package written"};
    return result;
}

}  // namespace

std::string WritePackage(const std::filesystem::path& stub, const std::vector<RecordSource>& sources,
                         const std::filesystem::path& output, const std::string& sign_command) {
    std::vector<uint8_t> program = ReadWholeFile(stub);
    if (program.size() != kq::kStubLength)
        throw InputError{stub.string() + ": a stub is exactly " + std::to_string(kq::kStubLength) +
                         " bytes, this one is " + std::to_string(program.size())};
    kq::Crc32Table table;
    kq::MakeCrc32Table(table);
    std::vector<uint32_t> decoded_crcs;
    for (size_t i = 0; i < sources.size(); ++i) {
        // The script and the licence are staged as files the installer
        // writes to (the log) and moves: they carry normal attributes,
        // whatever the permissions of their sources.
        RecordSource source = sources[i];
        if (i < 2) source.attributes = 0x20;
        const std::vector<uint8_t> record = MakeRecord(source);
        CheckProgramLength(program.size() + record.size(), output);
        program.insert(program.end(), record.begin(), record.end());
        decoded_crcs.push_back(kq::Crc32(table, 0, source.contents.data(), source.contents.size()));
    }
    kq::AppendIntegrityRecord(program, decoded_crcs);
    CheckProgramLength(program.size(), output);
    WriteFileAtomically(output, sign_command.empty() ? program : Signed(program, sign_command, output), true);
    uint64_t total = 0;  // the script's, the licence's and the files' bytes
    for (const RecordSource& source : sources) total += source.contents.size();
    const uint64_t packed = program.size() - kq::kStubLength;
    return "wrote " + output.string() + ": " + std::to_string(sources.size() - 2) + " files, " + std::to_string(total) +
           " bytes with the script and the licence, " + std::to_string(packed) + " packed (" +
           std::to_string(total != 0 ? packed * 100 / total : 100) + "%)";
}

}  // namespace kqpack
