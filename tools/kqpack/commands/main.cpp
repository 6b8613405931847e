// kqpack: makes setup programs from a stub, a setup script, a licence and
// files (or a project file naming them), checks setup scripts, and lists,
// extracts and converts what setup programs hold.
#include <iostream>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "commands/package_json.h"
#include "commands/progress_line.h"
#include "commands/usage_text.h"
#include "packing/file_io.h"
#include "platform/host.h"
#include "project/project_build.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

struct UsageError {
    std::string message;
    std::string command;  // whose help to show; empty for the overview
};

bool IsOption(const std::string& arg) { return arg.size() > 1 && arg[0] == '-'; }

// Walks a command's arguments: options with values, flags, positionals.
class Arguments {
public:
    Arguments(const std::vector<std::string>& args, std::string command) : args_(args), command_(std::move(command)) {}
    bool Next() { return ++i_ < args_.size(); }
    const std::string& Current() const { return args_[i_]; }
    const std::string& Value() {
        if (i_ + 1 >= args_.size()) Fail(args_[i_] + " needs a value");
        return args_[++i_];
    }
    std::filesystem::path PathValue() { return kqpack::PathFromText(Value()); }
    [[noreturn]] void Fail(const std::string& why) const { throw UsageError{why, command_}; }

private:
    const std::vector<std::string>& args_;
    std::string command_;
    size_t i_ = static_cast<size_t>(-1);
};

void RunBuild(const std::vector<std::string>& args) {
    Arguments a(args, "build");
    kqpack::BuildOptions options;
    kqpack::ProjectBuildOptions project;
    bool have_script = false, have_licence = false;
    while (a.Next()) {
        const std::string& arg = a.Current();
        if (arg == "--stub") options.stub = project.stub = a.PathValue();
        else if (arg == "--script") { options.script = a.PathValue(); have_script = true; }
        else if (arg == "--license") { options.licence = a.PathValue(); have_licence = true; }
        else if (arg == "-o") options.output = project.output = a.PathValue();
        else if (arg == "-C") options.base_dir = a.PathValue();
        else if (arg == "--strict") options.strict = project.strict = true;
        else if (arg == "--sign-cmd") options.sign_command = project.sign_command = a.Value();
        else if (arg == "--quiet") options.quiet = project.quiet = true;
        else if (IsOption(arg)) a.Fail("unknown option " + arg);
        else options.files.push_back(arg);
    }
    if (!have_script && !have_licence) {
        if (options.files.size() != 1) a.Fail("build takes one project file, or --script, --license and files");
        if (options.base_dir != ".") a.Fail("-C belongs to a build from the command line");
        project.project = kqpack::PathFromText(options.files.front());
        kqpack::ProgressLine progress(project.project.filename().string(), !project.quiet);
        kqpack::BuildProject(project, progress.stream());
        return;
    }
    if (!have_script || !have_licence || options.stub.empty() || options.output.empty())
        a.Fail("build needs --stub, --script, --license and -o");
    kqpack::ProgressLine progress(options.output.filename().string(), !options.quiet);
    kqpack::BuildPackage(options, progress.stream());
}

int RunCheck(const std::vector<std::string>& args) {
    Arguments a(args, "check");
    kqpack::CheckOptions options;
    std::vector<std::string> positional;
    while (a.Next()) {
        const std::string& arg = a.Current();
        if (arg == "--strict") options.strict = true;
        else if (arg == "--license") options.licence = a.PathValue();
        else if (arg == "-C") options.base_dir = a.PathValue();
        else if (IsOption(arg)) a.Fail("unknown option " + arg);
        else positional.push_back(arg);
    }
    if (positional.empty()) a.Fail("check takes a setup script, a project file or a setup program");
    options.target = kqpack::PathFromText(positional.front());
    options.files.assign(positional.begin() + 1, positional.end());
    return kqpack::CheckCommand(options, std::cerr) ? kExitOk : kExitBadInput;
}

void RunList(const std::vector<std::string>& args) {
    Arguments a(args, "list");
    bool json = false;
    std::vector<std::string> positional;
    while (a.Next()) {
        if (a.Current() == "--json") json = true;
        else if (IsOption(a.Current())) a.Fail("unknown option " + a.Current());
        else positional.push_back(a.Current());
    }
    if (positional.size() != 1) a.Fail("list takes one setup program");
    const std::filesystem::path setup = kqpack::PathFromText(positional.front());
    if (json) kqpack::ListPackageJson(setup, std::cout);
    else kqpack::ListPackage(setup, std::cout);
}

int RunTry(const std::vector<std::string>& args) {
    Arguments a(args, "try");
    kqpack::TryOptions options;
    std::vector<std::string> positional;
    while (a.Next()) {
        if (a.Current() == "--keep") options.keep = true;
        else if (a.Current() == "--screenshot") options.screenshot = a.PathValue();
        else if (IsOption(a.Current())) a.Fail("unknown option " + a.Current());
        else positional.push_back(a.Current());
    }
    if (positional.size() != 1) a.Fail("try takes one setup program");
    options.setup = kqpack::PathFromText(positional.front());
    return kqpack::TryCommand(options);
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"no command", ""};
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        std::cout << kqpack::kGeneralUsage;
        return kExitOk;
    }
    if (command == "--version") {
        std::cout << "kqpack " KQ_VERSION "\n";
        return kExitOk;
    }
    if (kqpack::CommandUsage(command) == nullptr) throw UsageError{"unknown command " + command, ""};
    if (!rest.empty() && (rest[0] == "--help" || rest[0] == "-h")) {
        std::cout << kqpack::CommandUsage(command);
        return kExitOk;
    }
    if (command == "build") {
        RunBuild(rest);
    } else if (command == "check") {
        return RunCheck(rest);
    } else if (command == "list") {
        RunList(rest);
    } else if (command == "try") {
        return RunTry(rest);
    } else if (command == "verify") {
        if (rest.size() != 1) throw UsageError{"verify takes one setup program", command};
        return kqpack::VerifyCommand(rest[0], std::cerr) ? kExitOk : kExitBadInput;
    } else if (command == "extract") {
        if (rest.size() != 2) throw UsageError{"extract takes a setup program and a folder", command};
        kqpack::ExtractPackage(kqpack::PathFromText(rest[0]), kqpack::PathFromText(rest[1]));
    } else if (command == "lzhuf") {
        if (rest.size() != 3 || (rest[0] != "-e" && rest[0] != "-d"))
            throw UsageError{"lzhuf takes -e or -d, an input and an output", command};
        const std::filesystem::path in = kqpack::PathFromText(rest[1]), out = kqpack::PathFromText(rest[2]);
        if (rest[0] == "-e") kqpack::EncodeRaw(in, out);
        else kqpack::DecodeRaw(in, out);
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(kqpack::CommandArguments(argc, argv));
    } catch (const UsageError& e) {
        // The command's usage lines only (its help up to the first blank line).
        const char* help = e.command.empty() ? nullptr : kqpack::CommandUsage(e.command);
        const std::string usage = help != nullptr ? help : kqpack::kGeneralUsage;
        const size_t blank = usage.find("\n\n");
        std::cerr << "kqpack: usage: " << e.message << "\n"
                  << (help != nullptr ? usage.substr(0, blank == std::string::npos ? usage.size() : blank + 1)
                                      : std::string())
                  << "see kqpack " << (help != nullptr ? e.command + " " : std::string()) << "--help\n";
        return kExitUsage;
    } catch (const kqpack::ProjectFileError& e) {
        std::cerr << e.message << "\n";
        return kExitBadInput;
    } catch (const kqpack::InputError& e) {
        std::cerr << "kqpack: " << e.message << "\n";
        return kExitBadInput;
    } catch (const std::exception& e) {
        std::cerr << "kqpack: " << e.what() << "\n";
        return kExitBadInput;
    }
}
