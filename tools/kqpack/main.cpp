// kqpack: makes setup programs from a stub, a setup script, a licence and
// files, and lists, extracts and converts what such programs hold.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "commands.h"
#include "file_io.h"

namespace {

constexpr int kExitOk = 0;
constexpr int kExitBadInput = 1;
constexpr int kExitUsage = 2;

constexpr const char* kUsage =
    "usage:\n"
    "  kqpack build --stub STUB --script SETUP.INF --license LICENSE.TXT -o OUT.exe [-C DIR] FILE...\n"
    "      record 0 is the script, record 1 the licence, then one record per FILE;\n"
    "      FILE is relative to DIR (default: the current folder) and is stored by that path\n"
    "  kqpack list SETUP.exe              one line per record, then totals\n"
    "  kqpack extract SETUP.exe DIR       write every record under DIR by its stored name\n"
    "  kqpack lzhuf -e|-d IN OUT          raw LZHUF streams (4-byte size, then the code)\n"
    "  kqpack --help | --version\n"
    "exit codes: 0 ok, 1 bad input, 2 usage\n";

struct UsageError {
    std::string message;
};

kqpack::BuildOptions ParseBuild(const std::vector<std::string>& args) {
    kqpack::BuildOptions options;
    bool have_stub = false, have_script = false, have_license = false, have_output = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
            return args[++i];
        };
        if (arg == "--stub") { options.stub = value(); have_stub = true; }
        else if (arg == "--script") { options.script = value(); have_script = true; }
        else if (arg == "--license") { options.license = value(); have_license = true; }
        else if (arg == "-o") { options.output = value(); have_output = true; }
        else if (arg == "-C") options.base_dir = value();
        else if (arg.size() > 1 && arg[0] == '-') throw UsageError{"unknown option " + arg};
        else options.files.push_back(arg);
    }
    if (!have_stub || !have_script || !have_license || !have_output)
        throw UsageError{"build needs --stub, --script, --license and -o"};
    return options;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) throw UsageError{"no command"};
    const std::string& command = args[0];
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        std::cout << kUsage;
    } else if (command == "--version") {
        std::cout << "kqpack " KQ_VERSION "\n";
    } else if (command == "build") {
        kqpack::BuildPackage(ParseBuild(rest));
    } else if (command == "list") {
        if (rest.size() != 1) throw UsageError{"list takes one setup program"};
        kqpack::ListPackage(rest[0], std::cout);
    } else if (command == "extract") {
        if (rest.size() != 2) throw UsageError{"extract takes a setup program and a folder"};
        kqpack::ExtractPackage(rest[0], rest[1]);
    } else if (command == "lzhuf") {
        if (rest.size() != 3 || (rest[0] != "-e" && rest[0] != "-d"))
            throw UsageError{"lzhuf takes -e or -d, an input and an output"};
        if (rest[0] == "-e") kqpack::EncodeRaw(rest[1], rest[2]);
        else kqpack::DecodeRaw(rest[1], rest[2]);
    } else {
        throw UsageError{"unknown command " + command};
    }
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << "kqpack: usage: " << e.message << "\n" << kUsage;
        return kExitUsage;
    } catch (const kqpack::InputError& e) {
        std::cerr << "kqpack: " << e.message << "\n";
        return kExitBadInput;
    } catch (const std::exception& e) {
        std::cerr << "kqpack: " << e.what() << "\n";
        return kExitBadInput;
    }
}
