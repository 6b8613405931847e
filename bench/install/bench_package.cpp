// Generating, encoding and caching the benchmark's packages.
#include "bench_package.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>

#include "package/record_format.h"
#include "harness/harness.h"

namespace kqbench {
namespace {

// Bump when the generated files change, so that stale caches are rebuilt.
constexpr char kGeneratorVersion[] = "kq-install-bench-2";

std::string Script(const BenchShape& shape, const std::string& first_file) {
    return std::string("[Install]\r\nAppName=") + kAppName + "\r\nAppBy=kqsetup benchmarks\r\nDefDir=" + kAppName +
           "\r\nVerNum=1.0\r\nFileNum=" + std::to_string(shape.file_count) + "\r\n[Links]\r\nlinka=" + first_file +
           "\r\nlinkfilea=" + kAppName + " Readme.lnk\r\n";
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
            if (i % 64 == 0) bytes.append("entry\0\0\0", 8);
        }
    } else {
        while (bytes.size() < file.size) bytes += static_cast<char>(random());
    }
    bytes.resize(file.size);
    return bytes;
}

// The folders (each ending in a backslash) after the install folder itself
// (""), parents before their children.
std::vector<std::string> Folders(const BenchShape& shape) {
    static const char* const kTop[] = {"bin", "lib", "plugins", "share", "docs", "translations"};
    std::vector<std::string> folders = {""};
    for (int t = 0; t < shape.top; ++t) {
        std::string top = kTop[t % std::size(kTop)];
        if (t >= static_cast<int>(std::size(kTop))) top += std::to_string(t);
        folders.push_back(top + "\\");
        for (int c = 0; c < shape.children; ++c) {
            const std::string child = top + "\\group" + std::to_string(c) + "\\";
            folders.push_back(child);
            for (int g = 0; g < shape.grandchildren; ++g) folders.push_back(child + "set" + std::to_string(g) + "\\");
        }
    }
    return folders;
}

std::string CacheName(const BenchShape& shape) {
    return "package-" + std::to_string(shape.file_count) + "-files-" + std::to_string(shape.total_bytes >> 20) +
           "MiB-" + std::to_string(shape.top) + "x" + std::to_string(shape.children) + "x" +
           std::to_string(shape.grandchildren) + ".bin";
}

// The cache's first line: the generator's version and the whole shape.
std::string CacheHeader(const BenchShape& shape) {
    return std::string(kGeneratorVersion) + " " + std::to_string(shape.file_count) + " " +
           std::to_string(shape.total_bytes) + " " + std::to_string(shape.top) + " " +
           std::to_string(shape.children) + " " + std::to_string(shape.grandchildren) + "\n";
}

}  // namespace

std::string BenchShape::Label() const {
    return std::to_string(file_count) + " files, " + std::to_string(total_bytes >> 20) + " MiB";
}

std::vector<BenchFile> BenchFiles(const BenchShape& shape) {
    // Sizes spread over three orders of magnitude, scaled to the total.
    std::mt19937 random(2026);
    std::vector<double> weights;
    double sum = 0;
    for (int i = 0; i < shape.file_count; ++i) {
        const double weight = std::pow(10.0, std::uniform_real_distribution<double>(0.0, 3.0)(random));
        weights.push_back(weight);
        sum += weight;
    }
    static const char* const kKinds[] = {"text", "binary", "random"};
    static const char* const kExtensions[] = {".txt", ".dat", ".bin"};
    const std::vector<std::string> folders = Folders(shape);
    std::vector<BenchFile> files;
    uint64_t assigned = 0;
    for (int i = 0; i < shape.file_count; ++i) {
        uint32_t size = static_cast<uint32_t>(static_cast<double>(shape.total_bytes) * weights[i] / sum);
        if (i == shape.file_count - 1) size = static_cast<uint32_t>(shape.total_bytes - assigned);
        assigned += size;
        char number[8];
        std::snprintf(number, sizeof number, "%04d", i);
        // In blocks: the first files in the install folder, then each folder's.
        const std::string& folder = folders[static_cast<size_t>(i) * folders.size() / shape.file_count];
        files.push_back({folder + "file" + number + kExtensions[i % 3], kKinds[i % 3], size});
    }
    return files;
}

std::string BenchPackage(const BenchShape& shape, const std::string& cache_folder) {
    const std::string cache_path = cache_folder + "\\" + CacheName(shape);
    const std::string header = CacheHeader(shape);
    const std::string cached = kqh::ReadBytes(cache_path);
    if (cached.compare(0, header.size(), header) == 0) return cached.substr(header.size());

    std::printf("encoding the %s package (once; kept in %s)...\n", shape.Label().c_str(), cache_path.c_str());
    std::fflush(stdout);
    const std::vector<BenchFile> files = BenchFiles(shape);
    std::string package =
        kqtest::EncodeRecord({.name = "kqsetup.inf", .contents = Script(shape, files.front().stored_name)}) +
        kqtest::EncodeRecord({.name = "License.txt", .contents = "Benchmark licence.\r\n"});
    uint32_t seed = 1;
    for (const BenchFile& file : files)
        package += kqtest::EncodeRecord({.name = file.stored_name, .contents = Contents(file, seed++)});
    std::ofstream out(cache_path, std::ios::binary | std::ios::trunc);
    out << header << package;
    if (!out.flush()) std::printf("could not keep the package in %s: it is encoded again next time\n", cache_path.c_str());
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
