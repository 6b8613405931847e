// Install throughput: a package of 150 files (64 MiB of text, binary-like
// tables and incompressible bytes) installed by the real x86_64 stub under
// Wine, driven through the wizard like a user, as kqpack builds it (with the
// integrity record). Prints the best of three times from Finish to the
// closing question, the pure decode time of the same records through the
// stub's own decoder in this process, their ratio, the time from the start to
// the wizard (the package check).
//
//   kq_install_bench CACHE_FOLDER     (make bench-install)
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "bench_package.h"
#include "harness/harness.h"
#include "package/lzhuf_decoder.h"
#include "package/package_integrity.h"
#include "package/record_format.h"
#include "package/record_writer.h"

namespace {

constexpr DWORD kInstallPatience = 600000;
constexpr int kDecodeRuns = 3;
constexpr int kInstallRuns = 3;

int Fail(const std::string& what) {
    std::printf("bench-install: %s\n", what.c_str());
    return 1;
}

double Megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

// The CRC-32 of every record's decoded bytes, for the integrity record.
std::vector<uint32_t> DecodedCrcs(const std::string& package) {
    struct Crc {
        kq::Crc32Table table;
        uint32_t value = 0;
    };
    auto crc = std::make_unique<Crc>();
    kq::MakeCrc32Table(crc->table);
    std::vector<uint32_t> crcs;
    for (const size_t offset : kqbench::RecordOffsets(package)) {
        const auto* record = reinterpret_cast<const uint8_t*>(package.data()) + offset;
        kq::RecordFields fields;
        if (!kq::ParseRecordBuffer(record + 4, kq::ReadU32(record + 4) - 4, fields)) return {};
        auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
        crc->value = 0;
        kq::lzhuf::DecodeStream(fields.stream, fields.stream_length, fields.uncompressed_size, *workspace,
                                {crc.get(), [](void* context, const uint8_t* bytes, uint32_t count) {
                                     auto* c = static_cast<Crc*>(context);
                                     c->value = kq::Crc32(c->table, c->value, bytes, count);
                                 }});
        crcs.push_back(crc->value);
    }
    return crcs;
}

// Decodes every file record (from the third on) as the stub does: a fresh
// workspace per record, output into a sink that only counts. Best of a few runs.
double DecodeSeconds(const std::string& package, uint64_t& produced) {
    const std::vector<size_t> offsets = kqbench::RecordOffsets(package);
    double best = 1e9;
    for (int run = 0; run < kDecodeRuns; ++run) {
        produced = 0;
        const kqbench::Clock clock;
        for (size_t i = 2; i < offsets.size(); ++i) {
            const auto* record = reinterpret_cast<const uint8_t*>(package.data()) + offsets[i];
            kq::RecordFields fields;
            if (!kq::ParseRecordBuffer(record + 4, kq::ReadU32(record + 4) - 4, fields)) return -1;
            auto workspace = std::make_unique<kq::lzhuf::DecoderWorkspace>();
            kq::lzhuf::DecodeStream(fields.stream, fields.stream_length, fields.uncompressed_size, *workspace,
                                    {&produced, [](void* context, const uint8_t*, uint32_t count) {
                                         *static_cast<uint64_t*>(context) += count;
                                     }});
        }
        best = std::min(best, clock.Seconds());
    }
    return best;
}

std::string Question() {
    const std::string name = kqbench::kAppName;
    return name + " Setup is complete. If you need help getting started,\nclick the " + name +
           " Help menu item on your Start Menu.\n\nRun " + name + "?";
}

uint64_t BytesUnder(const std::string& folder, int& files) {
    uint64_t bytes = 0;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            bytes += BytesUnder(folder + "\\" + name, files);
        } else {
            bytes += static_cast<uint64_t>(found.nFileSizeHigh) << 32 | found.nFileSizeLow;
            ++files;
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return bytes;
}

// What the installation leaves in the shared prefix besides its folder.
void RemoveRegistration() {
    const std::string name = kqbench::kAppName;
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, ("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name).c_str());
    char programs[MAX_PATH] = {};
    if (SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE)) kqh::RemoveTree(std::string(programs) + "\\" + name);
}

// Walks the wizard into `install_folder` and returns the seconds from Finish
// to the closing question, or a negative number; `check_seconds` gets the
// seconds from the start to the wizard (the package check, Wine's start-up).
double InstallSeconds(const std::string& program, const std::string& temp, const std::string& install_folder,
                      double& check_seconds) {
    const kqbench::Clock start;
    kqh::Program setup("\"" + program + "\"", temp, temp);
    if (!setup.started()) return -1;
    kqh::WaitUntil([&] {
        for (HWND window : kqh::VisibleWindowsOf(setup.id()))
            if (kqh::ClassOf(window) == "#32770") return true;  // the wizard
        return false;
    }, kInstallPatience);
    check_seconds = start.Seconds();
    std::string failure;
    if (!kqh::WalkWizard(setup.id(), {.folder = install_folder}, nullptr, failure)) {
        std::printf("%s\n", failure.c_str());
        return -2;
    }
    const kqbench::Clock clock;
    const kqh::MessageBoxShown question = kqh::NextMessageBox(setup, kInstallPatience);
    const double seconds = clock.Seconds();
    if (question.window == nullptr || question.text != Question()) return -3;
    // The clean-up timer adds nothing to measure: the program is ended here.
    kqh::Answer(question, IDNO);
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Fail("usage: kq_install_bench CACHE_FOLDER");
    const std::string package = kqbench::BenchPackage(kqh::WindowsPathOf(argv[1]) + "\\bench-package.bin");
    const std::vector<size_t> offsets = kqbench::RecordOffsets(package);
    if (offsets.size() != kqbench::kFileCount + 2u) return Fail("the cached package is damaged; delete it");

    uint64_t produced = 0;
    const double decode_seconds = DecodeSeconds(package, produced);
    if (decode_seconds < 0 || produced < kqbench::kTotalBytes) return Fail("the records do not decode");

    const std::string scratch = kqh::FreshFolder("bench");
    const std::string temp = scratch + "\\temp";
    const std::string install_folder = scratch + "\\Installed";
    CreateDirectoryA(temp.c_str(), nullptr);
    const std::string program = scratch + "\\bench-setup.exe";
    // As kqpack builds it: with the integrity record the installer checks.
    const std::string stub = kqh::StubBytes();
    std::vector<uint8_t> bytes(stub.begin(), stub.end());
    bytes.insert(bytes.end(), package.begin(), package.end());
    kq::AppendIntegrityRecord(bytes, DecodedCrcs(package));
    kqh::WriteBytes(program, std::string(bytes.begin(), bytes.end()));

    // Best of a few installs, each into an empty folder and temp folder: under
    // Wine the time varies by half from one run to the next.
    double install_seconds = 1e9, check_seconds = 1e9;
    for (int run = 0; run < kInstallRuns && install_seconds >= 0; ++run) {
        kqh::RemoveTree(install_folder);
        kqh::RemoveTree(temp);
        CreateDirectoryA(temp.c_str(), nullptr);
        RemoveRegistration();
        double check = 0;
        const double seconds = InstallSeconds(program, temp, install_folder, check);
        install_seconds = seconds < 0 ? seconds : std::min(install_seconds, seconds);
        check_seconds = std::min(check_seconds, check);
    }
    int files = 0;
    const uint64_t installed = BytesUnder(install_folder, files);
    RemoveRegistration();
    if (install_seconds < 0) {
        kqh::RemoveTree(scratch);
        return Fail("the installation did not reach the closing question (step " +
                    std::to_string(static_cast<int>(-install_seconds)) + ")");
    }

    kqh::RemoveTree(scratch);

    const double mb = Megabytes(kqbench::kTotalBytes);
    std::printf("package: %d files, %.1f MiB, %.1f MiB coded\n", kqbench::kFileCount, mb,
                Megabytes(package.size()));
    std::printf("installed: %d files, %.1f MiB\n", files, Megabytes(installed));
    std::printf("install, Finish to closing question:  %6.2f s  (%5.1f MiB/s, best of %d)\n", install_seconds,
                mb / install_seconds, kInstallRuns);
    std::printf("decode of the same records:           %6.2f s  (%5.1f MiB/s, the stub's decoder in-process)\n",
                decode_seconds, mb / decode_seconds);
    std::printf("ratio install / decode:               %6.2f  (each file's CRC checked)\n",
                install_seconds / decode_seconds);
    std::printf("start to the wizard:                  %6.2f s  (the whole package's CRCs checked first; best)\n",
                check_seconds);
    return 0;
}
