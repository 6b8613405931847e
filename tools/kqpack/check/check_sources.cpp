// Gathering the checker's input from files on disk.
#include "check/check_sources.h"

#include <algorithm>
#include <fstream>

#include "check/lettered_keys.h"
#include "packing/file_io.h"
#include "package/package_reader.h"
#include "packing/package_writer.h"

namespace kqpack {
namespace {

std::string TextOf(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::function<Location(size_t)> LinesOf(std::string name) {
    return [name = std::move(name)](size_t line) { return Location{name, line}; };
}

// The stored form of a FILE argument; a name the tool would refuse keeps its
// text (with backslashes) so that the checker can say what is wrong with it.
std::string StoredFormOf(const std::string& file) {
    try {
        return StoredNameFor(InstallerNameOf(file));
    } catch (const InputError&) {
        std::string raw = file;
        std::replace(raw.begin(), raw.end(), '/', '\\');
        return raw;
    }
}

}  // namespace

SetupUnderCheck SetupFromScript(const std::filesystem::path& script, const std::filesystem::path& licence,
                                const std::vector<std::string>& files, bool files_known) {
    SetupUnderCheck setup;
    setup.script_text = TextOf(ReadWholeFile(script));
    setup.locate_line = LinesOf(script.string());
    setup.files_known = files_known;
    for (const std::string& file : files) setup.files.push_back({StoredFormOf(file), Location{file, 0}});
    if (!licence.empty()) {
        setup.licence_known = true;
        setup.licence_location = Location{licence.string(), 0};
        setup.licence_text = TextOf(ReadWholeFile(licence));
    }
    return setup;
}

SetupUnderCheck SetupFromPackage(const std::filesystem::path& program) {
    const std::vector<uint8_t> bytes = ReadWholeFile(program);
    const kq::PackageWalk walk = kq::WalkPackage(bytes);
    if (!walk.error.empty()) throw InputError{program.string() + ": damaged package: " + walk.error};
    if (walk.records.empty()) throw InputError{program.string() + ": no package after the stub"};
    auto decoded = [](const kq::PackageRecord& record) {
        std::vector<uint8_t> contents = kq::DecodeRecordBytes(record);
        contents.resize(std::min<size_t>(contents.size(), record.uncompressed_size));
        return TextOf(contents);
    };
    const std::string name = program.string();
    SetupUnderCheck setup;
    setup.script_text = decoded(walk.records[0]);
    setup.locate_line = LinesOf(name + "[" + walk.records[0].stored_name + "]");
    if (walk.records.size() > 1) {
        setup.licence_known = true;
        setup.licence_location = Location{name + "[" + walk.records[1].stored_name + "]", 0};
        setup.licence_text = decoded(walk.records[1]);
    } else {
        setup.earlier_findings.push_back({Severity::kError, Location{name, 0}, "",
                                          "no licence record after the script; the installer would end at start-up"});
    }
    setup.files_known = true;
    for (size_t i = 2; i < walk.records.size(); ++i)
        setup.files.push_back({walk.records[i].stored_name, Location{name + "[record " + std::to_string(i) + "]", 0}});
    // Every record decoded as the installer would decode it.
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const kq::PackageRecord& record = walk.records[i];
        const std::string problem = kq::StreamProblem(record.stream, record.uncompressed_size);
        if (problem.empty()) continue;
        std::string subject = "\"";
        subject.append(DisplayKey(record.stored_name)).push_back('"');
        setup.earlier_findings.push_back({Severity::kError, Location{name + "[record " + std::to_string(i) + "]", 0},
                                          subject, "damaged: " + problem + "; the installer would write garbage"});
    }
    return setup;
}

bool LooksLikePackage(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    char magic[2] = {};
    in.read(magic, 2);
    std::error_code ec;
    return in && magic[0] == 'M' && magic[1] == 'Z' && std::filesystem::file_size(file, ec) > kq::kStubLength;
}

}  // namespace kqpack
