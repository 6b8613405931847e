// Package records for the bad-input cases.
#include "package_parts.h"

#include "case_run.h"

namespace kqbad {

kqtest::TestRecord ScriptRecord(const std::string& script) {
    kqtest::TestRecord record;
    record.stored_name = "kqsetup.inf";
    record.contents = script;
    return record;
}

kqtest::TestRecord LicenceRecord() {
    kqtest::TestRecord record;
    record.stored_name = "License.txt";
    record.contents = kLicenceText;
    return record;
}

kqtest::TestRecord FileRecord(const std::string& stored_name, const std::string& contents) {
    kqtest::TestRecord record;
    record.stored_name = stored_name;
    record.contents = contents;
    return record;
}

std::string PackageOf(const std::vector<kqtest::TestRecord>& records) {
    std::string bytes;
    for (const kqtest::TestRecord& record : records) bytes += kqtest::EncodeRecord(record);
    return bytes;
}

}  // namespace kqbad
