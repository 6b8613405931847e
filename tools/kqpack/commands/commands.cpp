// build (from the command line), check, list, extract and the raw LZHUF
// conversions.
#include "commands/commands.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "check/check_sources.h"
#include "check/lettered_keys.h"
#include "check/windows_names.h"
#include "commands/record_display.h"
#include "package/lzhuf_encoder.h"
#include "package/package_reader.h"
#include "packing/file_io.h"
#include "packing/package_writer.h"
#include "platform/host.h"
#include "project/project_build.h"

namespace kqpack {
namespace {

// With osslsigncode installed, that the signature covers the file as it is
// ("" when it does, or when there is no osslsigncode to ask). Whether its
// certificate is trusted is the system's business, not the package's.
std::string SignatureCheck(const std::filesystem::path& setup) {
    const std::optional<CommandResult> run = RunForOutput("osslsigncode verify -in " + ShellQuoted(setup));
    if (!run) return {};
    const std::string& report = run->output;
    auto digest = [&](const char* label) {
        const size_t at = report.find(label);
        return at == std::string::npos ? std::string() : report.substr(at + std::strlen(label), 64);
    };
    const std::string current = digest("Current message digest    : ");
    if (current.empty() || current != digest("Calculated message digest : "))
        return "the code signature does not match the file (osslsigncode verify)";
    return {};
}

kq::PackageWalk WalkOrThrow(const std::filesystem::path& setup, const std::vector<uint8_t>& bytes) {
    kq::PackageWalk walk = kq::WalkPackage(bytes);
    if (!walk.error.empty()) throw InputError{setup.string() + ": damaged package: " + walk.error};
    return walk;
}

}  // namespace

void BuildPackage(const BuildOptions& options, std::ostream& findings) {
    std::vector<std::string> stored_names;
    for (const std::string& file : options.files) stored_names.push_back(StoredNameFor(InstallerNameOf(file)));
    SetupUnderCheck setup = SetupFromScript(options.script, options.licence, {}, true);
    for (size_t i = 0; i < stored_names.size(); ++i) setup.files.push_back({stored_names[i], Location{options.files[i], 0}});
    PrintOrRefuse(CheckSetup(setup), options.strict, options.script.string(), "no package written", findings);

    std::vector<RecordSource> sources;
    sources.push_back(LoadRecordSource(options.script, kScriptStoredName));
    sources.push_back(LoadRecordSource(options.licence, kLicenceStoredName));
    for (size_t i = 0; i < options.files.size(); ++i)
        sources.push_back(LoadRecordSource(options.base_dir / PathFromText(options.files[i]), stored_names[i]));
    const std::string summary = WritePackage(options.stub, sources, options.output, options.sign_command);
    if (!options.quiet) findings << "kqpack: " << summary << "\n";
}

bool CheckCommand(const CheckOptions& options, std::ostream& out) {
    SetupUnderCheck setup;
    std::string extension = options.target.extension().string();
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == ".kqp") {
        setup = PrepareProject(options.target).setup;
    } else if (LooksLikePackage(options.target)) {
        setup = SetupFromPackage(options.target);
    } else {
        setup = SetupFromScript(options.target, options.licence, options.files, !options.files.empty());
        // With -C the files must be there, as a build would need them.
        for (const std::string& file : options.files) {
            std::error_code ec;
            if (!options.base_dir.empty() && !std::filesystem::is_regular_file(options.base_dir / PathFromText(file), ec))
                setup.earlier_findings.push_back({Severity::kError, Location{file, 0}, "",
                                                  "not a file under " + options.base_dir.string()});
        }
    }
    const CheckReport report = CheckSetup(setup);
    PrintFindings(report, out);
    const bool passes = !report.Refuses(options.strict);
    out << options.target.string() << ": " << SummaryOf(report) << (passes ? "" : "; check failed") << "\n";
    return passes;
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
                      r.record_length, FormatDosDate(r.dos_date).c_str(), FormatDosTime(r.dos_time).c_str(),
                      FormatAttributes(r.attributes).c_str(), DisplayKey(r.stored_name).c_str());
        out << line;
        total_size += r.uncompressed_size;
        total_packed += r.record_length;
    }
    out << walk.records.size() << " records, " << total_size << " bytes, " << total_packed
        << " bytes packed after the " << kq::kStubLength << "-byte stub\n"
        << (walk.integrity ? "an integrity record follows (kqpack verify checks it)" : "no integrity record")
        << (walk.package_end < bytes.size() ? "; code-signed\n" : "\n");
}

bool VerifyCommand(const std::filesystem::path& setup, std::ostream& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(setup);
    std::vector<std::string> problems = kq::VerifyPackage(bytes);
    const kq::PackageWalk walk = kq::WalkPackage(bytes);
    const bool signed_package = walk.package_end < bytes.size();
    if (problems.empty() && signed_package) {
        const std::string signature = SignatureCheck(setup);
        if (!signature.empty()) problems.push_back(signature);
    }
    for (const std::string& problem : problems) out << setup.string() << ": " << problem << "\n";
    if (!problems.empty()) {
        out << setup.string() << ": does not verify\n";
        return false;
    }
    out << setup.string() << ": verifies: " << walk.records.size() << " records and their CRCs"
        << (signed_package ? ", signed (certificate table at " + std::to_string(walk.package_end) + ")" : "")
        << "\n";
    return true;
}

void ExtractPackage(const std::filesystem::path& setup, const std::filesystem::path& dir) {
    const std::vector<uint8_t> bytes = ReadWholeFile(setup);
    const kq::PackageWalk walk = WalkOrThrow(setup, bytes);
    // Every name is checked before anything is written, by the installer's rule.
    for (size_t i = 0; i < walk.records.size(); ++i) {
        const std::string problem = StoredNameProblem(walk.records[i].stored_name);
        if (!problem.empty())
            throw InputError{"record " + std::to_string(i) + ": \"" + walk.records[i].stored_name +
                             "\": refusing to extract: " + problem};
    }
    for (const kq::PackageRecord& record : walk.records) {
        std::string relative = StoredNameFor(record.stored_name);
        for (char& c : relative)
            if (c == '\\') c = '/';
        const std::filesystem::path target = dir / PathOfInstallerName(relative);
        std::error_code ec;
        std::filesystem::create_directories(target.parent_path(), ec);
        if (ec) throw InputError{target.parent_path().string() + ": " + ec.message()};
        WriteFileAtomically(target, kq::DecodeRecordBytes(record), false);
    }
}

int TryCommand(const TryOptions& options) {
    if (!LooksLikePackage(options.setup)) throw InputError{options.setup.string() + ": not a setup program"};
    // The script that does the work, found as the stub is: beside kqpack (a
    // build tree, where CMake copies it), else in its installation's share/kqsetup.
    const std::filesystem::path tool = ToolFolder();
    std::filesystem::path script;
    for (const std::filesystem::path& candidate : {tool / "try_setup.sh", tool.parent_path() / "share" / "kqsetup" / "try_setup.sh"}) {
        std::error_code ec;
        if (script.empty() && std::filesystem::is_regular_file(candidate, ec)) script = candidate;
    }
    std::vector<std::string> args{options.setup.string()};
    if (options.keep) args.push_back("--keep");
    if (!options.screenshot.empty()) args.insert(args.end(), {"--screenshot", options.screenshot.string()});
    std::cout.flush();
    const std::optional<int> status = script.empty() ? std::nullopt : RunBashScript(script, args);
    if (!status)
        throw InputError{"try runs setup programs under Wine on a Linux host, with try_setup.sh beside kqpack or in "
                         "share/kqsetup of its installation; on Windows, run " + options.setup.string() + " /S itself"};
    return *status;
}

void EncodeRaw(const std::filesystem::path& in, const std::filesystem::path& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(in);
    if (bytes.size() > UINT32_MAX) throw InputError{in.string() + ": larger than 4 GiB"};
    WriteFileAtomically(out, kq::lzhuf::Encode(bytes), false);
}

void DecodeRaw(const std::filesystem::path& in, const std::filesystem::path& out) {
    const std::vector<uint8_t> bytes = ReadWholeFile(in);
    if (bytes.size() < 4) throw InputError{in.string() + ": shorter than the 4-byte size field"};
    if (bytes.size() > UINT32_MAX) throw InputError{in.string() + ": larger than 4 GiB"};
    bool refused = false;
    std::vector<uint8_t> decoded = kq::DecodeReferenceStream(bytes, &refused);
    if (refused)
        throw InputError{in.string() + ": states " + std::to_string(kq::ReadU32(bytes.data())) +
                         " bytes, more than its code could hold: not an LZHUF stream, or a damaged one"};
    WriteFileAtomically(out, decoded, false);
}

}  // namespace kqpack
