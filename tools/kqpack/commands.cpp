// build, list, extract and the raw LZHUF conversions.
#include "commands.h"

#include <cstdio>

#include "file_io.h"
#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"
#include "package_writer.h"

namespace kqpack {
namespace {

constexpr const char* kScriptStoredName = "kqsetup.inf";
constexpr const char* kLicenseStoredName = "License.txt";

kq::PackageWalk WalkOrThrow(const std::filesystem::path& setup, const std::vector<uint8_t>& bytes) {
    kq::PackageWalk walk = kq::WalkPackage(bytes);
    if (!walk.error.empty()) throw InputError{setup.string() + ": damaged package: " + walk.error};
    return walk;
}

std::string FormatDate(uint16_t d) {
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", 1980u + (d >> 9), (d >> 5) & 0x0Fu, d & 0x1Fu);
    return text;
}

std::string FormatTime(uint16_t t) {
    char text[16];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", t >> 11u, (t >> 5) & 0x3Fu, (t & 0x1Fu) * 2u);
    return text;
}

std::string FormatAttributes(uint8_t a) {
    std::string text;
    if (a & 0x20) text += 'A';
    if (a & 0x04) text += 'S';
    if (a & 0x02) text += 'H';
    if (a & 0x01) text += 'R';
    return text.empty() ? "-" : text;
}

}  // namespace

void BuildPackage(const BuildOptions& options) {
    std::vector<uint8_t> program = ReadWholeFile(options.stub);
    if (program.size() != kq::kStubLength)
        throw InputError{options.stub.string() + ": a stub is exactly " + std::to_string(kq::kStubLength) +
                         " bytes, this one is " + std::to_string(program.size())};
    std::vector<RecordSource> sources;
    sources.push_back(LoadRecordSource(options.script, kScriptStoredName));
    sources.push_back(LoadRecordSource(options.license, kLicenseStoredName));
    for (const std::string& file : options.files)
        sources.push_back(LoadRecordSource(options.base_dir / file, StoredNameFor(file)));
    for (const RecordSource& source : sources) {
        const std::vector<uint8_t> record = MakeRecord(source);
        if (program.size() + record.size() > UINT32_MAX)
            throw InputError{options.output.string() + ": package larger than 4 GiB"};
        program.insert(program.end(), record.begin(), record.end());
    }
    WriteFileAtomically(options.output, program, true);
}

void ListPackage(const std::filesystem::path& setup, std::ostream& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(setup);
    const kq::PackageWalk walk = WalkOrThrow(setup, bytes);
    char line[512];
    std::snprintf(line, sizeof line, "%5s  %10s  %10s  %-10s  %-8s  %-4s  %s\n", "#", "size", "packed", "date",
                  "time", "attr", "name");
    out << line;
    uint64_t total_size = 0, total_packed = 0;
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const kq::PackageRecord& r = walk.records[i];
        std::snprintf(line, sizeof line, "%5zu  %10u  %10u  %-10s  %-8s  %-4s  %s\n", i, r.uncompressed_size,
                      r.record_length, FormatDate(r.dos_date).c_str(), FormatTime(r.dos_time).c_str(),
                      FormatAttributes(r.attributes).c_str(), r.stored_name.c_str());
        out << line;
        total_size += r.uncompressed_size;
        total_packed += r.record_length;
    }
    out << walk.records.size() << " records, " << total_size << " bytes, " << total_packed
        << " bytes packed after the " << kq::kStubLength << "-byte stub\n";
}

void ExtractPackage(const std::filesystem::path& setup, const std::filesystem::path& dir) {
    const std::vector<uint8_t> bytes = ReadWholeFile(setup);
    const kq::PackageWalk walk = WalkOrThrow(setup, bytes);
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const kq::PackageRecord& record = walk.records[i];
        std::string relative;
        try {
            relative = StoredNameFor(record.stored_name);
        } catch (const InputError& e) {
            throw InputError{"record " + std::to_string(i) + ": refusing to write outside " + dir.string() +
                             ": " + e.message};
        }
        for (char& c : relative)
            if (c == '\\') c = '/';
        const std::filesystem::path target = dir / relative;
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (ec) throw InputError{target.parent_path().string() + ": " + ec.message()};
        WriteFileAtomically(target, kq::DecodeRecordBytes(record), false);
    }
}

void EncodeRaw(const std::filesystem::path& in, const std::filesystem::path& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(in);
    if (bytes.size() > UINT32_MAX) throw InputError{in.string() + ": larger than 4 GiB"};
    WriteFileAtomically(out, kq::lzhuf::Encode(bytes), false);
}

void DecodeRaw(const std::filesystem::path& in, const std::filesystem::path& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(in);
    if (bytes.size() < 4) throw InputError{in.string() + ": shorter than the 4-byte size field"};
    WriteFileAtomically(out, kq::DecodeReferenceStream(bytes), false);
}

}  // namespace kqpack
