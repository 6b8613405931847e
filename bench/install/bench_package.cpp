// Generating, encoding and caching the benchmark's package.
#include "bench_package.h"

#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>

#include "package/record_format.h"
#include "harness/harness.h"

namespace kqbench {
namespace {

// Bump when the generated files change, so that a stale cache is rebuilt.
constexpr char kCacheVersion[] = "kq-install-bench-1\n";

std::string Script() {
    return std::string("[Install]\r\nAppName=") + kAppName + "\r\nAppBy=kqsetup benchmarks\r\nDefDir=" + kAppName +
           "\r\nVerNum=1.0\r\nFileNum=" + std::to_string(kFileCount) +
           "\r\n[Links]\r\nlinka=file000.txt\r\nlinkfilea=" + kAppName + " Readme.lnk\r\n";
}

std::string Contents(const BenchFile& file, uint32_t seed) {
    std::mt19937 random(seed);
    std::string bytes;
    bytes.reserve(file.size);
    if (file.kind == "text") {
        static const char* const kWords[] = {"install ", "the ", "setup ", "folder ", "program ", "files ",
                                             "licence ", "windows ", "and ", "of ", "registry ", "\r\n"};
        while (bytes.size() < file.size) bytes += kWords[random() % std::size(kWords)];
    } else if (file.kind == "binary") {
        for (uint32_t i = 0; bytes.size() < file.size; ++i) {
            const uint32_t value = i * 16 + random() % 4;
            for (int b = 0; b < 4; ++b) bytes += static_cast<char>(value >> (8 * b));
            if (i % 64 == 0) bytes += "entry\0\0\0";
        }
    } else {
        while (bytes.size() < file.size) bytes += static_cast<char>(random());
    }
    bytes.resize(file.size);
    return bytes;
}

}  // namespace

std::vector<BenchFile> BenchFiles() {
    // Sizes spread over three orders of magnitude, scaled to the total.
    std::mt19937 random(2026);
    std::vector<double> weights;
    double sum = 0;
    for (int i = 0; i < kFileCount; ++i) {
        const double weight = std::pow(10.0, std::uniform_real_distribution<double>(0.0, 3.0)(random));
        weights.push_back(weight);
        sum += weight;
    }
    static const char* const kKinds[] = {"text", "binary", "random"};
    static const char* const kExtensions[] = {".txt", ".dat", ".bin"};
    static const char* const kFolders[] = {"docs\\", "data\\", "bin\\"};
    std::vector<BenchFile> files;
    uint64_t assigned = 0;
    for (int i = 0; i < kFileCount; ++i) {
        uint32_t size = static_cast<uint32_t>(static_cast<double>(kTotalBytes) * weights[i] / sum);
        if (i == kFileCount - 1) size = static_cast<uint32_t>(kTotalBytes - assigned);
        assigned += size;
        char number[8];
        std::snprintf(number, sizeof number, "%03d", i);
        const std::string folder = i % 4 == 3 ? kFolders[i % 3] : "";
        files.push_back({folder + "file" + number + kExtensions[i % 3], kKinds[i % 3], size});
    }
    return files;
}

std::string BenchPackage(const std::string& cache_path) {
    const std::string cached = kqh::ReadBytes(cache_path);
    if (cached.compare(0, sizeof kCacheVersion - 1, kCacheVersion) == 0) return cached.substr(sizeof kCacheVersion - 1);

    std::printf("encoding the package (once; kept in %s)...\n", cache_path.c_str());
    std::string package = kqtest::EncodeRecord({.name = "kqsetup.inf", .contents = Script()}) +
                          kqtest::EncodeRecord({.name = "License.txt", .contents = "Benchmark licence.\r\n"});
    uint32_t seed = 1;
    for (const BenchFile& file : BenchFiles())
        package += kqtest::EncodeRecord({.name = file.stored_name, .contents = Contents(file, seed++)});
    kqh::WriteBytes(cache_path, kCacheVersion + package);
    return package;
}

std::vector<size_t> RecordOffsets(const std::string& package) {
    std::vector<size_t> offsets;
    for (size_t offset = 0; offset + 8 <= package.size();) {
        offsets.push_back(offset);
        const uint32_t length = kq::ReadU32(reinterpret_cast<const uint8_t*>(package.data()) + offset + 4);
        if (length == 0) break;
        offset += length;
    }
    return offsets;
}

}  // namespace kqbench
