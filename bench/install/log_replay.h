// What the uninstall log costs an installation: the placement of every file
// (first-free scans of the growing [Uninstall] section, the copy-mode read,
// the writes) replayed in this process through the stub's own code, against
// a fresh copy of the setup script, and the same writes alone; the best of
// three runs each. Placements that remember nothing are timed too: each on
// a copy of the script under a new name, which placement has never seen.
#pragma once

#include <string>
#include <vector>

namespace kqbench {

struct LogFigures {
    double placement_seconds;  // scans, copy-mode reads and writes
    double cold_seconds;       // the same with every scan from 'a' (nothing remembered)
    double writes_seconds;     // the same [Uninstall] writes without any read
    bool logs_identical;       // both ways wrote the same log, byte for byte
};

LogFigures ReplayPlacements(const std::string& folder, const std::string& script_text,
                            const std::vector<std::string>& stored_names, const std::string& install_folder);

}  // namespace kqbench
