// Making package records: stored names, DOS timestamps and attributes taken
// from the source files, the LZHUF-coded contents, and the finished package.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "package/record_format.h"

namespace kqpack {

// The stored names kqpack gives records 0 and 1, the script and the licence.
inline constexpr const char* kScriptStoredName = "kqsetup.inf";
inline constexpr const char* kLicenceStoredName = "License.txt";

// Checks a relative path given on the command line and turns it into the
// stored name: backslash-separated, no empty, "." or ".." components, not
// absolute, at most 255 bytes. Throws InputError otherwise.
std::string StoredNameFor(const std::string& relative_path);

// Local time as a DOS date and time, clamped to the DOS range 1980-2107.
// With SOURCE_DATE_EPOCH set (seconds since 1970), times after it are
// clamped to it and all are taken as UTC, so that a build gives the same
// bytes on any machine in any time zone.
kq::DosTimestamp DosTimestampFromTime(std::time_t time);

// Archive, plus read-only where nobody may write the file.
uint8_t DosAttributesFor(const std::filesystem::path& path);

struct RecordSource {
    std::string stored_name;
    std::vector<uint8_t> contents;
    kq::DosTimestamp timestamp;
    uint8_t attributes;
};

RecordSource LoadRecordSource(const std::filesystem::path& file, std::string stored_name);

// One package record: signature, length, date, time, attributes, name, then
// the encoder's output (uncompressed size and code), checked by decoding it.
std::vector<uint8_t> MakeRecord(const RecordSource& source);

// Throws InputError when a program file of `length` bytes would hold records
// the installer cannot reach.
void CheckProgramLength(uint64_t length, const std::filesystem::path& output);

// The stub (exactly the stub length) followed by one record per source and
// the integrity record, written to `output` all at once. With a signing
// command ("... {in} ... {out} ..."), the command signs the finished package
// and the signed one must verify before it becomes `output`. Throws
// InputError for a stub of another size, a record that does not decode to
// its source, a program file past kLargestProgramFile, or a failed signing,
// leaving `output` as it was.
// Returns the summary line kqpack prints: "wrote OUT: N files, X bytes,
// Y packed (P%)".
std::string WritePackage(const std::filesystem::path& stub, const std::vector<RecordSource>& sources,
                         const std::filesystem::path& output, const std::string& sign_command = {});

}  // namespace kqpack
