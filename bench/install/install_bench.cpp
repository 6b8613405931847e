// Install and uninstall throughput: generated packages (150 files of 64 MiB,
// and 5,000 files of 200 MiB in a few dozen nested folders) installed by the
// real x86_64 stub under Wine, driven through the wizard like a user, as
// kqpack builds them (with the integrity record). Prints, per package, the
// time from Finish to the closing question against the pure decode of the
// same records through the stub's decoder in this process; the uninstall by
// the entry's QuietUninstallString against deleting an identical install
// with DeleteFileA and RemoveDirectoryA; and the time from the start to the
// wizard (the package check). Each install must place every file and each
// removal leave no folder, or the run fails.
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
#include "bench_tree.h"
#include "harness/harness.h"
#include "package/lzhuf_decoder.h"
#include "package/package_integrity.h"
#include "package/record_format.h"
#include "package/record_writer.h"

namespace {

constexpr DWORD kPatience = 900000;
constexpr double kInstallTarget = 1.5;
constexpr double kUninstallTarget = 2.0;

struct Plan {
    kqbench::BenchShape shape;
    int runs;  // each two installs, one uninstalled, one deleted with plain calls
};
constexpr Plan kPlans[] = {{{150, 64ull << 20, 3, 1, 1}, 3}, {{5000, 200ull << 20, 4, 3, 2}, 3}};

const std::string kUninstallKey = std::string("Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\") +
                                  kqbench::kAppName;

// One package's figures, the best of its runs; negative where not measured.
struct Figures {
    uint64_t coded = 0;
    double decode = -1;
    double install = -1;
    double to_wizard = -1;
    double uninstall = -1;
    double plain_delete = -1;
    double uninstaller_start = -1;
    int runs = 0;      // of the uninstall and the plain delete each
    int installs = 0;  // two a run
    std::string failure;
};

void KeepBest(double& best, double seconds) {
    if (best < 0 || seconds < best) best = seconds;
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
// workspace per record, output into a sink that only counts. Returns the
// seconds, or a negative number when the bytes decoded are not the package's.
double DecodeSeconds(const std::string& package, uint64_t total_bytes) {
    const std::vector<size_t> offsets = kqbench::RecordOffsets(package);
    uint64_t produced = 0;
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
    const double seconds = clock.Seconds();
    return produced == total_bytes ? seconds : -1;
}

std::string Question() {
    const std::string name = kqbench::kAppName;
    return name + " Setup is complete. If you need help getting started,\nclick the " + name +
           " Help menu item on your Start Menu.\n\nRun " + name + "?";
}

// What the installation leaves in the shared prefix besides its folder, in
// case a failed run left it.
void RemoveRegistration() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
    char programs[MAX_PATH] = {};
    if (SHGetSpecialFolderPathA(nullptr, programs, CSIDL_PROGRAMS, FALSE))
        kqh::RemoveTree(std::string(programs) + "\\" + kqbench::kAppName);
}

// Walks the wizard into `install_folder`, times Finish to the closing
// question, answers No and closes the window, which runs the clean-up (the
// log moves into the folder) at once instead of after its ten seconds.
// Returns what went wrong, or nothing.
std::string Install(const std::string& program, const std::string& temp, const std::string& install_folder,
                    double& to_wizard, double& finish_to_question) {
    const kqbench::Clock start;
    kqh::Program setup("\"" + program + "\"", temp, temp);
    if (!setup.started()) return "the setup program did not start";
    kqh::WaitUntil([&] {
        for (HWND window : kqh::VisibleWindowsOf(setup.id()))
            if (kqh::ClassOf(window) == "#32770") return true;  // the wizard
        return false;
    }, kPatience);
    to_wizard = start.Seconds();
    std::string failure;
    if (!kqh::WalkWizard(setup.id(), {.folder = install_folder}, nullptr, failure)) return failure;
    const kqbench::Clock clock;
    const kqh::MessageBoxShown question = kqh::NextMessageBox(setup, kPatience);
    finish_to_question = clock.Seconds();
    if (question.window == nullptr) return "no closing question";
    if (question.text != Question()) return "a message instead of the closing question: " + question.text;
    kqh::Answer(question, IDNO);
    for (HWND window : kqh::VisibleWindowsOf(setup.id()))
        if (kqh::ClassOf(window) == "Install") PostMessageA(window, WM_CLOSE, 0, 0);
    if (!setup.WaitForExit(kPatience)) return "the setup program did not end after the closing question";
    if (setup.exit_code() != 0) return "the setup program ended with exit code " + std::to_string(setup.exit_code());
    return "";
}

// Every file of the package in place with its size, and nothing else but
// the licence and the log.
std::string CheckInstalled(const kqbench::BenchShape& shape, const std::string& install_folder) {
    int placed = 0;
    for (const kqbench::BenchFile& file : kqbench::BenchFiles(shape)) {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (GetFileAttributesExA((install_folder + "\\" + file.stored_name).c_str(), GetFileExInfoStandard, &data) &&
            data.nFileSizeHigh == 0 && data.nFileSizeLow == file.size)
            ++placed;
    }
    const kqbench::TreeList tree = kqbench::ListTree(install_folder);
    if (placed != shape.file_count || tree.files.size() != static_cast<size_t>(shape.file_count) + 2 ||
        tree.folders.size() != static_cast<size_t>(shape.FolderCount()) + 1)
        return "the install placed " + std::to_string(placed) + " of " + std::to_string(shape.file_count) +
               " files; the folder holds " + std::to_string(tree.files.size()) + " files (expected " +
               std::to_string(shape.file_count + 2) + " with the licence and the log) in " +
               std::to_string(tree.folders.size()) + " folders (expected " + std::to_string(shape.FolderCount() + 1) +
               ")";
    return "";
}

// Runs `command` as the system runs an uninstall entry's command and waits
// for it to end; `seconds` from the start to its end.
std::string RunUninstaller(const std::string& command, const std::string& temp, const std::string& work,
                           DWORD expected_exit_code, double& seconds) {
    const kqbench::Clock clock;
    kqh::Program uninstaller(command, temp, work);
    if (!uninstaller.started()) return "the uninstaller did not start: " + command;
    if (!uninstaller.WaitForExit(kPatience)) return "the uninstaller did not end: " + command;
    seconds = clock.Seconds();
    if (uninstaller.exit_code() != expected_exit_code)
        return "the uninstaller ended with exit code " + std::to_string(uninstaller.exit_code()) + ": " + command;
    return "";
}

// Uninstalls by the entry's QuietUninstallString; it must leave no folder.
std::string Uninstall(const std::string& install_folder, const std::string& temp, const std::string& work,
                      double& seconds) {
    const std::string command = kqh::RegistryString(kUninstallKey, "QuietUninstallString", false);
    if (command.empty()) return "the uninstall entry has no QuietUninstallString";
    const std::string failure = RunUninstaller(command, temp, work, 0, seconds);
    if (!failure.empty()) return failure;
    const kqbench::TreeList left = kqbench::ListTree(install_folder);
    if (!left.folders.empty())
        return "the uninstall left " + std::to_string(left.files.size()) + " files and " +
               std::to_string(left.folders.size()) + " folders in " + install_folder;
    return "";
}

// Deletes the installed tree with DeleteFileA and RemoveDirectoryA, listed
// first (untimed); it must leave no folder.
std::string PlainDelete(const std::string& install_folder, double& seconds) {
    const kqbench::TreeList tree = kqbench::ListTree(install_folder);
    const kqbench::Clock clock;
    const bool deleted = kqbench::DeleteListed(tree);
    seconds = clock.Seconds();
    if (!deleted || !kqbench::ListTree(install_folder).folders.empty()) return "the plain delete left files behind";
    return "";
}

Figures Measure(const Plan& plan, const std::string& cache_folder) {
    Figures figures;
    const kqbench::BenchShape& shape = plan.shape;
    const std::string package = kqbench::BenchPackage(shape, cache_folder);
    figures.coded = package.size();
    if (kqbench::RecordOffsets(package).size() != static_cast<size_t>(shape.file_count) + 2) {
        figures.failure = "the cached package is damaged; delete it";
        return figures;
    }
    figures.decode = DecodeSeconds(package, shape.total_bytes);
    if (figures.decode < 0) {
        figures.failure = "the records do not decode";
        return figures;
    }

    const std::string scratch = kqh::FreshFolder("bench");
    const std::string temp = scratch + "\\temp";
    const std::string install_folder = scratch + "\\Installed";
    const std::string program = scratch + "\\bench-setup.exe";
    // As kqpack builds it: with the integrity record the installer checks.
    const std::string stub = kqh::StubBytes();
    std::vector<uint8_t> bytes(stub.begin(), stub.end());
    bytes.insert(bytes.end(), package.begin(), package.end());
    kq::AppendIntegrityRecord(bytes, DecodedCrcs(package));
    kqh::WriteBytes(program, std::string(bytes.begin(), bytes.end()));
    bytes = {};

    // Best of a few runs, each into an empty folder and temp folder: under
    // Wine the time varies by half from one run to the next, more on a
    // machine busy with other work. Each run installs twice, the first
    // install removed by its uninstaller, the second by plain calls, each
    // right after its install: deleting files costs two to three times more
    // while the system is still writing back the data just written (200 MiB
    // takes it about half a minute here), so both must meet the same state.
    for (int run = 0; run < plan.runs && figures.failure.empty(); ++run) {
        for (int install_run = 0; install_run < 2 && figures.failure.empty(); ++install_run) {
            kqh::RemoveTree(install_folder);
            kqh::RemoveTree(temp);
            CreateDirectoryA(temp.c_str(), nullptr);
            RemoveRegistration();
            // A decode before each install: the best of each comes from the
            // same stretch of time, whatever else the machine is doing.
            KeepBest(figures.decode, DecodeSeconds(package, shape.total_bytes));
            double to_wizard = 0, install = 0, removal = 0;
            figures.failure = Install(program, temp, install_folder, to_wizard, install);
            if (figures.failure.empty()) figures.failure = CheckInstalled(shape, install_folder);
            if (figures.failure.empty())
                figures.failure = install_run == 0 ? Uninstall(install_folder, temp, scratch, removal)
                                                   : PlainDelete(install_folder, removal);
            if (!figures.failure.empty()) break;
            KeepBest(figures.to_wizard, to_wizard);
            KeepBest(figures.install, install);
            KeepBest(install_run == 0 ? figures.uninstall : figures.plain_delete, removal);
            ++figures.installs;
        }
        if (figures.failure.empty()) ++figures.runs;
    }
    // The uninstaller's start and end alone: a log that is not there ends it
    // at once (exit code 2, no message when unattended).
    if (figures.failure.empty()) {
        char windows[MAX_PATH] = {};
        GetWindowsDirectoryA(windows, sizeof windows);
        for (int run = 0; run < plan.runs && figures.failure.empty(); ++run) {
            double seconds = 0;
            figures.failure = RunUninstaller("\"" + std::string(windows) + "\\Dizizev3.exe\" /S " + scratch +
                                                 "\\Missing\\Uninstal.inf",
                                             temp, scratch, 2, seconds);
            KeepBest(figures.uninstaller_start, seconds);
        }
    }
    RemoveRegistration();
    kqh::RemoveTree(scratch);
    return figures;
}

// A table row: a label and one cell per package.
void Row(const char* label, const std::vector<std::string>& cells) {
    std::printf("%-44s", label);
    for (const std::string& cell : cells) std::printf("%22s", cell.c_str());
    std::printf("\n");
}

std::string Format(const char* format, double value) {
    if (value < 0) return "-";
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string Ratio(double numerator, double denominator, double target) {
    if (numerator < 0 || denominator <= 0) return "-";
    const double ratio = numerator / denominator;
    return Format("%.2f", ratio) + (ratio <= target ? " (met)" : " (missed)");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::printf("usage: kq_install_bench CACHE_FOLDER\n");
        return 1;
    }
    const std::string cache_folder = kqh::WindowsPathOf(argv[1]);
    std::vector<Figures> measured;
    for (const Plan& plan : kPlans) {
        std::printf("measuring %s...\n", plan.shape.Label().c_str());
        std::fflush(stdout);
        measured.push_back(Measure(plan, cache_folder));
    }

    std::vector<std::string> cells;
    const auto row = [&](const char* label, auto cell) {
        cells.clear();
        for (size_t i = 0; i < measured.size(); ++i) cells.push_back(cell(kPlans[i], measured[i]));
        Row(label, cells);
    };
    std::printf("\n");
    row("", [](const Plan& plan, const Figures&) { return plan.shape.Label(); });
    row("folders; coded size", [](const Plan& plan, const Figures& figures) {
        return std::to_string(plan.shape.FolderCount()) + "; " +
               Format("%.1f MiB", static_cast<double>(figures.coded) / (1 << 20));
    });
    row("best of: installs; uninstalls, plain deletes", [](const Plan&, const Figures& figures) {
        return std::to_string(figures.installs) + "; " + std::to_string(figures.runs);
    });
    row("install, Finish to closing question", [](const Plan&, const Figures& f) { return Format("%.2f s", f.install); });
    row("decode of the same records, in-process", [](const Plan&, const Figures& f) { return Format("%.2f s", f.decode); });
    row("  ratio (target <= 1.5)",
        [](const Plan&, const Figures& f) { return Ratio(f.install, f.decode, kInstallTarget); });
    row("uninstall, QuietUninstallString to its end",
        [](const Plan&, const Figures& f) { return Format("%.2f s", f.uninstall); });
    row("plain DeleteFileA/RemoveDirectoryA, same install",
        [](const Plan&, const Figures& f) { return Format("%.2f s", f.plain_delete); });
    row("  ratio (target <= 2)",
        [](const Plan&, const Figures& f) { return Ratio(f.uninstall, f.plain_delete, kUninstallTarget); });
    row("  uninstaller start and end, no log",
        [](const Plan&, const Figures& f) { return Format("%.2f s", f.uninstaller_start); });
    row("start to the wizard (package check)",
        [](const Plan&, const Figures& f) { return Format("%.2f s", f.to_wizard); });

    int status = 0;
    for (size_t i = 0; i < measured.size(); ++i) {
        if (measured[i].failure.empty()) continue;
        std::printf("FAILED (%s): %s\n", kPlans[i].shape.Label().c_str(), measured[i].failure.c_str());
        status = 1;
    }
    return status;
}
