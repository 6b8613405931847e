// What an uninstall leaves on disk. The uninstaller deletes the files its
// file keys name, then removes the recorded folders from the last dire key
// back to the first, each only if it is empty at that moment. Each folder is
// recorded once, shallowest first, so in that order every subfolder goes
// before its parent; the simulation keeps the check honest should a package
// ever record a folder without its parents.
#include <algorithm>
#include <climits>
#include <map>
#include <set>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "check/windows_names.h"

namespace kqpack {
namespace {

// The folders under the install folder (Windows path key -> as stored) that
// stay after an uninstaller that reads file and dire keys up to `last_key`.
std::map<std::string, std::string> FoldersLeft(const CheckContext& c, unsigned last_key) {
    std::map<std::string, std::string> present;
    std::set<std::string> holding_files;  // the folders of files it leaves
    for (size_t i = 0; i < c.setup.files.size() && i < c.plan.file_keys.size(); ++i) {
        if (c.plan.copy_modes[i] == kCopyModeWindowsFolder) continue;
        const std::string& name = c.setup.files[i].stored_name;
        for (size_t at = name.find('\\'); at != std::string::npos; at = name.find('\\', at + 1))
            present.emplace(WindowsPathKey(name.substr(0, at)), name.substr(0, at));
        if (c.plan.file_keys[i] > last_key && name.find('\\') != std::string::npos)
            holding_files.insert(WindowsPathKey(name.substr(0, name.rfind('\\'))));
    }
    std::vector<InstallPlan::RecordedFolder> removal_order = c.plan.recorded_folders;
    std::stable_sort(removal_order.begin(), removal_order.end(), [](const auto& a, const auto& b) { return a.key > b.key; });
    for (const auto& recorded : removal_order) {
        const std::string key = WindowsPathKey(recorded.folder);
        // Subfolders sort right after key + '\'.
        const auto below = present.lower_bound(key + '\\');
        const bool has_subfolder = below != present.end() && below->first.compare(0, key.size() + 1, key + '\\') == 0;
        if (recorded.key <= last_key && !has_subfolder && !holding_files.count(key)) present.erase(key);
    }
    return present;
}

// Keys from 31 on are numbered; an uninstaller from before numbered keys
// stops at the first missing letter, stem + 0x7F.
void NoteOlderUninstaller(const CheckContext& c) {
    const unsigned read = kKeysOlderUninstallersRead;
    const InstallPlan& plan = c.plan;
    const bool folders_past = std::any_of(plan.recorded_folders.begin(), plan.recorded_folders.end(),
                                          [&](const auto& folder) { return folder.key > read; });
    if (plan.last_file_key() <= read && !folders_past) return;
    size_t files_left = c.file_count - plan.file_keys.size();  // those not simulated
    files_left += static_cast<size_t>(std::count_if(plan.file_keys.begin(), plan.file_keys.end(),
                                                    [&](unsigned key) { return key > read; }));
    const unsigned first = std::max(plan.sequence_first_key, read + 1);
    if (plan.last_file_key() >= first) files_left += plan.last_file_key() - first + 1;
    std::string left = Plural(files_left, "file", "files");
    const size_t folders_left = c.setup.files_known ? FoldersLeft(c, read).size() : 0;
    if (folders_left > 0) left += " and " + Plural(folders_left, "folder", "folders");
    c.report.Note(c.LineOf("Install", "FileNum"), "[Uninstall]",
                  left + " would stay on disk, and the install folder, after an uninstaller from before numbered "
                  "keys (" + SequenceKey("file", read + 1) + " on), which stops at " + SequenceKey("file", read) +
                      "; the shared Dizizev3.exe becomes one when an older package is installed later");
}

}  // namespace

void CheckFolderRemoval(const CheckContext& c) {
    if (c.setup.files_known) {
        for (const auto& [key, folder] : FoldersLeft(c, UINT_MAX)) {
            const auto first = std::find_if(c.plan.recorded_folders.begin(), c.plan.recorded_folders.end(),
                                            [&](const auto& r) { return WindowsPathKey(r.folder) == key; });
            if (first == c.plan.recorded_folders.end()) continue;
            c.report.Add(Finding{Severity::kWarning, c.setup.files[first->file].origin, Quoted(folder),
                                 "this folder would stay after an uninstall, and the install folder with it: the "
                                 "uninstaller removes recorded folders from the last recorded back, each only if "
                                 "empty, and a subfolder of " + Quoted(folder) + " is recorded before it"});
        }
    }
    NoteOlderUninstaller(c);
}

}  // namespace kqpack
