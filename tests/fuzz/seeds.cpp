// Writes the generated seeds of the fuzz targets into DIR/<target>/: the
// shared sound and damaged packages, their third records, and inputs whose
// byte counts grow like the Fibonacci numbers, which drive the code tree deep.
#include <filesystem>
#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/damaged_records.h"
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
    // Counts growing like the Fibonacci numbers, each level spread over a few
    // byte values so that few matches form, shuffled, then one byte not seen
    // before: 15-bit codes, near the 16 bits the encoder can write.
    for (const auto& [levels, scale, spread] : {std::tuple{11, 73, 2}, std::tuple{14, 33, 1}}) {
        std::string input;
        for (int i = 0, a = 1, b = 1, byte = 0; i < levels; ++i, b += a, a = b - a)
            for (int k = 0, width = std::min(16, 1 + i / spread); k < width; ++k, ++byte)
                input.append(size_t(a) * size_t(scale) / size_t(width), char(byte));
        uint32_t x = 12345;
        for (size_t i = input.size(); i > 1; --i) std::swap(input[i - 1], input[((x = x * 1103515245 + 12345) >> 8) % i]);
        write("lzhuf_round_trip", "fibonacci_" + std::to_string(levels), input + '\xFF');
    }
}
