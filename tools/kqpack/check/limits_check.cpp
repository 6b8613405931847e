// Limits an installation runs into: 159 letters per lettered key and 255
// characters per path.
#include <algorithm>
#include <tuple>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "packing/text_encoding.h"

namespace kqpack {
namespace {

std::string Plural(size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

void CheckFileKeys(const CheckContext& c) {
    const InstallPlan& plan = c.plan;
    const size_t line = c.LineOf("Install", "FileNum");
    const size_t needed = plan.last_file_letter() - kFirstLetter + 1;
    if (plan.last_file_letter() <= kLastLetter) return;

    const size_t shortcuts = plan.sequence_keys - 2;
    std::string counted = Plural(c.file_count, "package file", "package files") + ", the licence, the log and " +
                          Plural(shortcuts, "shortcut", "shortcuts");
    if (plan.desktop_offered || plan.quick_launch_offered)
        counted += " (the first link's desktop and Quick Launch shortcuts counted as accepted)";
    if (plan.author_file_keys > 0) counted += ", after " + Plural(plan.author_file_keys, "key", "keys") + " already in [Uninstall]";
    const std::string room = "a lettered key has room for " + std::to_string(kLettersPerStem) + " (filea to file\\xFF)";
    const auto stuck = std::find_if(plan.file_letters.begin(), plan.file_letters.end(),
                                    [](unsigned letter) { return letter > kLastLetter; });
    std::string effect;
    if (stuck != plan.file_letters.end()) {
        effect = "the " + Ordinal(static_cast<size_t>(stuck - plan.file_letters.begin()) + 1) +
                 " file would find no free key and the installation would stop with \"Setup Error!\"";
    } else {
        effect = "the last " + std::to_string(plan.last_file_letter() - kLastLetter) +
                 " of the licence, the log and the shortcuts would not be recorded, so the uninstaller would leave them";
    }
    c.report.Error(line, "[Uninstall] file keys",
                   "the installation needs " + std::to_string(needed) + " (" + counted + "), but " + room + "; " +
                       effect + ": package fewer files (an archive of them, say) or use fewer links");
}

void CheckDireKeys(const CheckContext& c) {
    if (c.plan.last_dire_letter <= kLastLetter) return;
    std::string counted = Plural(c.plan.dire_keys, "folder entry", "folder entries") + ", one per backslash in the stored names";
    if (c.plan.author_dire_keys > 0)
        counted += ", after " + Plural(c.plan.author_dire_keys, "key", "keys") + " already in [Uninstall]";
    c.report.Error(c.LineOf("Install", "FileNum"), "[Uninstall] dire keys",
                   "the installation needs " + std::to_string(c.plan.last_dire_letter - kFirstLetter + 1) + " (" +
                       counted + "), but a lettered key has room for " + std::to_string(kLettersPerStem) +
                       "; the installation would stop with \"Setup Error!\": put the files in fewer, shallower folders");
}

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
    CheckFileKeys(c);
    CheckDireKeys(c);
    CheckDefaultPaths(c);
}

}  // namespace kqpack
