// Writes the generated seeds of the fuzz targets into DIR/<target>/: the
// shared sound and damaged packages, their third records, and an input that
// drives the code tree past 16 levels.
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/damaged_records.h"
#include "common/deep_code_input.h"
#include "package/package_reader.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    auto write = [&](const std::string& target, const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(argv[1]) / target);
        std::ofstream(std::filesystem::path(argv[1]) / target / name, std::ios::binary) << bytes;
    };
    std::vector<kqtest::DamagedPackage> packages = kqtest::DamagedPackages();
    packages.push_back({"sound", kqtest::SoundPackage()});
    std::vector<uint8_t> program(kq::kStubLength, 0);
    program.insert(program.end(), packages.back().package.begin(), packages.back().package.end());
    const size_t third = kq::WalkPackage(program).records.at(2).offset - kq::kStubLength;
    for (const auto& [name, package] : packages) {
        write("package_walk", name, package);
        write("decode_record", name, package.substr(std::min(package.size(), third + 4)));
    }
    const std::vector<uint8_t> deep = kqtest::DeepCodeInput();
    write("lzhuf_round_trip", "deep_codes", std::string(deep.begin(), deep.end()));
}
