// Replaying the placements of an installation.
#include "log_replay.h"

#include <windows.h>

#include <algorithm>

#include "bench_clock.h"
#include "package/install_placement.h"
#include "harness/harness.h"

namespace kqbench {
namespace {

constexpr int kRuns = 3;

using Names = std::vector<std::string>;

double Place(const std::string& name, const std::string& script, const std::string& install_folder) {
    char destination[256] = {};
    install_folder.copy(destination, sizeof destination - 1);
    int copy_mode = 0;
    kq::LetteredKey file_key;
    const Clock clock;
    (void)kq::PlaceRecord(reinterpret_cast<const uint8_t*>(name.data()), static_cast<uint32_t>(name.size()),
                          destination, script.c_str(), copy_mode, file_key);
    return clock.Seconds();
}

// Only the placements are timed, not the copies between them.
double ColdPlacements(const std::string& folder, const std::string& script_text, const Names& names,
                      const std::string& install_folder, std::string& log) {
    std::string script = folder + "\\cold.inf";
    kqh::WriteBytes(script, script_text);
    double seconds = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string next = folder + "\\cold" + std::to_string(i) + ".inf";
        CopyFileA(script.c_str(), next.c_str(), FALSE);
        DeleteFileA(script.c_str());
        script = next;
        seconds += Place(names[i], script, install_folder);
    }
    log = kqh::ReadBytes(script);
    DeleteFileA(script.c_str());
    return seconds;
}

}  // namespace

LogFigures ReplayPlacements(const std::string& folder, const std::string& script_text,
                            const std::vector<std::string>& stored_names, const std::string& install_folder) {
    LogFigures figures{};
    figures.placement_seconds = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        // A file of its own per run: placement may remember what it found in one.
        const std::string copy = folder + "\\replay" + std::to_string(run) + ".inf";
        kqh::WriteBytes(copy, script_text);
        const Clock placement;
        for (const std::string& name : stored_names) Place(name, copy, install_folder);
        figures.placement_seconds = std::min(figures.placement_seconds, placement.Seconds());
    }
    const std::string placed = folder + "\\replay0.inf";
    std::string cold_log;
    figures.cold_seconds = ColdPlacements(folder, script_text, stored_names, install_folder, cold_log);
    figures.logs_identical = cold_log == kqh::ReadBytes(placed);

    // The same keys and values, in the order written, with no read at all.
    static char section[1 << 20];
    const DWORD length = GetPrivateProfileSectionA("Uninstall", section, sizeof section, placed.c_str());
    figures.writes_seconds = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const std::string writes = folder + "\\writes" + std::to_string(run) + ".inf";
        kqh::WriteBytes(writes, script_text);
        const Clock writing;
        for (const char* line = section; line < section + length && *line != '\0'; line += lstrlenA(line) + 1) {
            const std::string entry = line;
            const size_t equals = entry.find('=');
            WritePrivateProfileStringA("Uninstall", entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(),
                                       writes.c_str());
        }
        figures.writes_seconds = std::min(figures.writes_seconds, writing.Seconds());
    }
    return figures;
}

}  // namespace kqbench
