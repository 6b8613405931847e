// The packaging tool's commands, callable from main and from tests.
#pragma once

#include <filesystem>
#include <iostream>
#include <ostream>
#include <string>
#include <vector>

namespace kqpack {

struct BuildOptions {
    std::filesystem::path stub;
    std::filesystem::path script;
    std::filesystem::path licence;
    std::filesystem::path output;
    std::filesystem::path base_dir = ".";
    std::vector<std::string> files;  // relative to base_dir
    bool strict = false;             // warnings refuse too
    std::string sign_command;        // "COMMAND {in} {out}", or empty
    bool quiet = false;              // no summary line
};

// Checks the script against the files first; its findings go to `findings`.
void BuildPackage(const BuildOptions& options, std::ostream& findings = std::cerr);

struct CheckOptions {
    std::filesystem::path target;    // a setup script, a project file or a built package
    std::filesystem::path licence;   // for a setup script; optional
    std::vector<std::string> files;  // for a setup script: the files as they will be stored, relative to base_dir
    std::filesystem::path base_dir;  // -C: where the files are; empty: only their names are checked
    bool strict = false;
};

// Prints the findings, then a summary line, to `out`. Returns true when the
// check passes (no errors; no warnings either under strict).
bool CheckCommand(const CheckOptions& options, std::ostream& out);

void ListPackage(const std::filesystem::path& setup, std::ostream& out);
// Prints what keeps the package from installing exactly what was packaged,
// or that it verifies; returns true when it does.
bool VerifyCommand(const std::filesystem::path& setup, std::ostream& out);
void ExtractPackage(const std::filesystem::path& setup, const std::filesystem::path& dir);
struct TryOptions {
    std::filesystem::path setup;
    bool keep = false;                // keep the Wine prefix, and say where
    std::filesystem::path screenshot; // where to save a picture of the wizard; empty: none
};

// Installs the setup program in a fresh Wine prefix and uninstalls it,
// reporting on standard output; returns the exit status (0: all went well).
int TryCommand(const TryOptions& options);

void EncodeRaw(const std::filesystem::path& in, const std::filesystem::path& out);
void DecodeRaw(const std::filesystem::path& in, const std::filesystem::path& out);

}  // namespace kqpack
