// The packaging tool's commands, callable from main and from tests.
#pragma once

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace kqpack {

struct BuildOptions {
    std::filesystem::path stub;
    std::filesystem::path script;
    std::filesystem::path license;
    std::filesystem::path output;
    std::filesystem::path base_dir = ".";
    std::vector<std::string> files;  // relative to base_dir
};

void BuildPackage(const BuildOptions& options);
void ListPackage(const std::filesystem::path& setup, std::ostream& out);
void ExtractPackage(const std::filesystem::path& setup, const std::filesystem::path& dir);
void EncodeRaw(const std::filesystem::path& in, const std::filesystem::path& out);
void DecodeRaw(const std::filesystem::path& in, const std::filesystem::path& out);

}  // namespace kqpack
