// Writing the package listing as JSON.
#include "commands/package_json.h"

#include <algorithm>
#include <cstdio>

#include "check/install_plan.h"
#include "check/lettered_keys.h"
#include "commands/record_display.h"
#include "packing/file_io.h"
#include "package/package_reader.h"
#include "packing/text_encoding.h"

namespace kqpack {

std::string JsonString(std::string_view ansi_text) {
    std::string json = "\"";
    for (char c : ansi_text) {
        const char32_t code_point = Cp1252ToCodePoint(static_cast<unsigned char>(c));
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (code_point >= 0x20 && code_point < 0x7F) {
            json += c;
        } else {
            char escaped[8];
            // An undefined byte keeps its value: U+0081 and so on.
            std::snprintf(escaped, sizeof escaped, "\\u%04X",
                          static_cast<unsigned>(code_point != 0 || c == '\0' ? code_point : static_cast<unsigned char>(c)));
            json += escaped;
        }
    }
    return json + "\"";
}

void ListPackageJson(const std::filesystem::path& setup, std::ostream& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(setup);
    const kq::PackageWalk walk = kq::WalkPackage(bytes);
    if (!walk.error.empty()) throw InputError{setup.string() + ": damaged package: " + walk.error};

    ProfileText script;
    std::vector<std::string> stored_names;
    if (!walk.records.empty()) {
        const std::vector<uint8_t> text = kq::DecodeRecordBytes(walk.records[0]);
        script = ProfileText::Parse(std::string_view(reinterpret_cast<const char*>(text.data()),
                                                     std::min<size_t>(text.size(), walk.records[0].uncompressed_size)));
    }
    for (size_t i = 2; i < walk.records.size(); ++i) stored_names.push_back(walk.records[i].stored_name);
    const InstallPlan plan = PlanInstall(script, stored_names.size(), stored_names);

    uint64_t total_size = 0, total_packed = 0;
    out << "{\n  \"stub_length\": " << kq::kStubLength
        << ",\n  \"file_num\": " << script.ReadInt("Install", "FileNum", 0) << ",\n  \"records\": [";
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const kq::PackageRecord& r = walk.records[i];
        const char* role = i == 0 ? "script" : i == 1 ? "licence" : "file";
        out << (i == 0 ? "\n" : ",\n") << "    {\"index\": " << i << ", \"role\": \"" << role
            << "\", \"name\": " << JsonString(r.stored_name) << ", \"offset\": " << r.offset
            << ", \"record_length\": " << r.record_length << ", \"size\": " << r.uncompressed_size
            << ", \"date\": \"" << FormatDosDate(r.dos_date) << "\", \"time\": \"" << FormatDosTime(r.dos_time)
            << "\", \"attributes\": \"" << FormatAttributes(r.attributes) << "\"";
        if (i >= 2) {
            out << ", \"uninstall_key\": " << JsonString(SequenceKey("file", plan.file_keys[i - 2]))
                << ", \"copy_mode\": " << plan.copy_modes[i - 2];
        }
        out << "}";
        total_size += r.uncompressed_size;
        total_packed += r.record_length;
    }
    out << (walk.records.empty() ? "" : "\n  ") << "],\n  \"total_size\": " << total_size
        << ",\n  \"total_packed\": " << total_packed << ",\n  \"integrity_record\": " << (walk.integrity ? "true" : "false")
        << ",\n  \"signed\": " << (walk.package_end < bytes.size() ? "true" : "false") << "\n}\n";
}

}  // namespace kqpack
