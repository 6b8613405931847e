// Folders an uninstall would leave behind. The uninstaller removes the
// recorded folders from the last dire key back to the first, each only if it
// is empty at that moment. A file's folders are recorded shallowest first, so
// in that order every subfolder goes before its parent; the simulation keeps
// the check honest should a package ever record a folder without its parents.
#include <algorithm>
#include <map>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "check/windows_names.h"

namespace kqpack {

void CheckFolderRemoval(const CheckContext& c) {
    if (!c.setup.files_known || c.plan.last_dire_letter > kLastLetter) return;
    // The folders the installation makes under the install folder.
    std::map<std::string, std::string> present;  // Windows path key -> folder as stored
    for (size_t i = 0; i < c.setup.files.size(); ++i) {
        if (i < c.plan.copy_modes.size() && c.plan.copy_modes[i] == kCopyModeWindowsFolder) continue;
        const std::string& name = c.setup.files[i].stored_name;
        for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
            present.emplace(WindowsPathKey(name.substr(0, at)), name.substr(0, at));
    }
    auto has_subfolder = [&](const std::string& key) {
        return std::any_of(present.begin(), present.end(), [&](const auto& entry) {
            return entry.first.size() > key.size() && entry.first.compare(0, key.size(), key) == 0 &&
                   entry.first[key.size()] == '\\';
        });
    };

    std::vector<InstallPlan::RecordedFolder> removal_order = c.plan.recorded_folders;
    std::stable_sort(removal_order.begin(), removal_order.end(),
                     [](const auto& a, const auto& b) { return a.letter > b.letter; });
    for (const auto& recorded : removal_order) {
        const std::string key = WindowsPathKey(recorded.folder);
        if (present.count(key) && !has_subfolder(key)) present.erase(key);
    }

    for (const auto& [key, folder] : present) {
        const auto first = std::find_if(c.plan.recorded_folders.begin(), c.plan.recorded_folders.end(),
                                        [&](const auto& r) { return WindowsPathKey(r.folder) == key; });
        if (first == c.plan.recorded_folders.end()) continue;
        c.report.Add(Finding{Severity::kWarning, c.setup.files[first->file].origin, Quoted(folder),
                             "this folder would stay after an uninstall, and the install folder with it: the "
                             "uninstaller removes recorded folders from the last recorded back, each only if empty, "
                             "and a subfolder of " + Quoted(folder) + " is recorded before it"});
    }
}

}  // namespace kqpack
