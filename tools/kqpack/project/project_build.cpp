// The project build: prepare, check, then write the package in one go.
#include "project/project_build.h"

#include <chrono>
#include <cstdio>

#include "check/install_plan.h"
#include "packing/file_io.h"
#include "packing/package_writer.h"
#include "platform/host.h"

namespace kqpack {
namespace {

std::string TextOf(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// The stub of a project that names none: kqstub.exe beside kqpack (the
// build tree, or the Windows zip), else where `make install` puts it
// (PREFIX/share/kqsetup, kqpack being in PREFIX/bin); empty when neither is there.
std::filesystem::path ShippedStub() {
    const std::filesystem::path tool = ToolFolder();
    for (const std::filesystem::path& stub : {tool / "kqstub.exe", tool.parent_path() / "share" / "kqsetup" / "kqstub.exe"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(stub, ec)) return stub;
    }
    return {};
}

}  // namespace

PreparedProject PrepareProject(const std::filesystem::path& project_file) {
    PreparedProject prepared;
    prepared.project = LoadProject(project_file);
    prepared.files = ExpandProjectFiles(prepared.project);

    const Project& project = prepared.project;
    const std::string author_name = project.script.string();
    const ProfileText author = ProfileText::Parse(TextOf(ReadWholeFile(project.script)));
    std::vector<std::string> stored_names;
    std::vector<Location> origins;
    std::vector<int32_t> modes;
    for (const ProjectFile& file : prepared.files) {
        stored_names.push_back(file.stored_name);
        origins.push_back(file.origin);
        modes.push_back(file.copy_mode);
    }
    // The file keys depend only on the author's [Uninstall], which stays as it is.
    const InstallPlan plan = PlanInstall(author, prepared.files.size(), stored_names);
    prepared.script = WriteGeneratedKeys(author, author_name, plan.file_keys, modes, origins,
                                         Location{project.file.string(), project.files_line});

    SetupUnderCheck& setup = prepared.setup;
    setup.script_text = prepared.script.text;
    setup.locate_line = [origins = prepared.script.line_origins, author_name](size_t line) {
        return line >= 1 && line <= origins.size() ? origins[line - 1] : Location{author_name, 0};
    };
    setup.files_known = true;
    for (const ProjectFile& file : prepared.files) setup.files.push_back({file.stored_name, file.origin});
    setup.licence_known = true;
    setup.licence_location = Location{project.licence.string(), 0};
    setup.licence_text = TextOf(ReadWholeFile(project.licence));
    setup.earlier_findings = prepared.script.notices;
    return prepared;
}

void BuildProject(const ProjectBuildOptions& options, std::ostream& findings) {
    const auto start = std::chrono::steady_clock::now();
    const PreparedProject prepared = PrepareProject(options.project);
    const Project& project = prepared.project;
    const std::filesystem::path stub = !options.stub.empty()   ? options.stub
                                       : !project.stub.empty() ? project.stub
                                                               : ShippedStub();
    const std::filesystem::path output = options.output.empty() ? project.output : options.output;
    if (stub.empty())
        throw ProjectFileError{{project.file.string() + ": error: no stub: give stub= in [Project] or --stub "
                                "(kqstub.exe is neither beside kqpack nor in the share/kqsetup folder of its "
                                "installation)"}};
    if (output.empty())
        throw ProjectFileError{{project.file.string() + ": error: no output: give output= in [Project] or -o"}};

    PrintOrRefuse(CheckSetup(prepared.setup), options.strict, project.file.string(), "no package written", findings);

    // The packaged script carries the author's script file's time and
    // attributes, so that building twice gives the same bytes.
    RecordSource script = LoadRecordSource(project.script, kScriptStoredName);
    script.contents.assign(prepared.script.text.begin(), prepared.script.text.end());
    std::vector<RecordSource> sources;
    sources.push_back(std::move(script));
    sources.push_back(LoadRecordSource(project.licence, kLicenceStoredName));
    for (const ProjectFile& file : prepared.files) sources.push_back(LoadRecordSource(file.source, file.stored_name));
    // The output's folder is made, as a build tree's would be.
    std::error_code ec;
    if (output.has_parent_path()) std::filesystem::create_directories(output.parent_path(), ec);
    if (ec) throw InputError{output.parent_path().string() + ": " + ec.message()};
    const std::string summary =
        WritePackage(stub, sources, output, options.sign_command.empty() ? project.sign : options.sign_command);
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    char seconds[32];
    std::snprintf(seconds, sizeof seconds, ", %.1f s", took.count());
    if (!options.quiet) findings << "kqpack: " << summary << seconds << "\n";
}

}  // namespace kqpack
