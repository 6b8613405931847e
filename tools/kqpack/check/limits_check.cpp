// The limit an installation runs into: 255 characters per path.
#include <algorithm>
#include <tuple>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "packing/text_encoding.h"

namespace kqpack {
namespace {

struct PathUse {
    std::string what;  // how a message names it
    size_t length;
};

// Every path the installer composes under the default install folder.
void CheckDefaultPaths(const CheckContext& c) {
    const std::string folder = std::string(kDefaultFolderStem) + c.script.ReadText("Install", "DefDir");
    std::vector<PathUse> paths;
    auto under_folder = [&](std::string what, size_t name_length) {
        paths.push_back({std::move(what), folder.size() + 1 + name_length});
    };
    for (size_t i = 0; i < c.setup.files.size(); ++i) {
        const std::string& name = c.setup.files[i].stored_name;
        if (i < c.plan.copy_modes.size() && c.plan.copy_modes[i] == kCopyModeWindowsFolder) {
            const size_t length = kAssumedWindowsFolder.size() + 1 + name.size();
            if (length > kMaxPath)
                c.report.Add(Finding{Severity::kError, c.setup.files[i].origin, Quoted(name),
                                     "installed into the Windows folder (copy mode 8), its path would be about " +
                                         std::to_string(length) + " characters, more than " + std::to_string(kMaxPath) +
                                         ": shorten the name"});
            continue;
        }
        under_folder("the file " + Quoted(name), name.size());
    }
    under_folder("the licence", std::string_view("License.txt").size());
    under_folder("the uninstall log (the uninstall entry is then not written)", std::string_view("Uninstal.inf").size());
    for (const auto& [stem, section, what] : {std::tuple{"dll", "Install", "the DLL "}, {"link", "Links", "the link target "}}) {
        for (const std::string& value : ReadSequence(c.script, section, stem))
            under_folder(what + Quoted(value), value.size());
    }
    std::stable_sort(paths.begin(), paths.end(), [](const PathUse& a, const PathUse& b) { return a.length > b.length; });
    const size_t too_long = static_cast<size_t>(std::count_if(paths.begin(), paths.end(), [](const PathUse& p) { return p.length > kMaxPath; }));
    if (too_long == 0) return;
    std::string more;
    if (too_long > 1) more = " (and " + Plural(too_long - 1, "more path", "more paths") + ")";
    c.report.Error(c.LineOf("Install", "DefDir"), Subject("Install", "DefDir"),
                   "under the default install folder \"" + DisplayText(folder) + "\" the path of " + paths.front().what +
                       " would be " + std::to_string(paths.front().length) + " characters, more than " +
                       std::to_string(kMaxPath) + more + ": shorten DefDir or the names");
}

}  // namespace

void CheckLimits(const CheckContext& c) {
    CheckDefaultPaths(c);
}

}  // namespace kqpack
