// The stored names of the packaged files: names Windows cannot create or
// that leave the install folder, names it would change, names that land on
// one file, and configuration files a reinstall would replace.
#include <map>

#include "check/check_context.h"
#include "check/windows_names.h"
#include "packing/text_encoding.h"

namespace kqpack {
namespace {

void Report(const CheckContext& c, Severity severity, const PackagedFile& file, std::string text) {
    c.report.Add(Finding{severity, file.origin, Quoted(file.stored_name), std::move(text)});
}

// Files users commonly edit, by their extension (any case; a dot in a folder
// name leaves a backslash in the "extension").
bool LooksLikeConfiguration(std::string_view stored_name) {
    const size_t dot = stored_name.rfind('.');
    if (dot == std::string_view::npos) return false;
    const std::string_view extension = stored_name.substr(dot + 1);
    for (std::string_view known : {"ini", "cfg", "conf", "json", "xml", "config"})
        if (SameName(extension, known)) return true;
    return false;
}

}  // namespace

void CheckFileNames(const CheckContext& c) {
    std::map<std::string, size_t> seen;  // Windows path key -> first file
    for (size_t i = 0; i < c.setup.files.size(); ++i) {
        const PackagedFile& file = c.setup.files[i];
        const std::string problem = StoredNameProblem(file.stored_name);
        if (!problem.empty()) {
            Report(c, Severity::kError, file, "cannot be installed: " + problem);
            continue;
        }
        const std::string trailing = TrailingDotOrBlank(file.stored_name);
        if (!trailing.empty())
            Report(c, Severity::kWarning, file,
                   Quoted(trailing) + " ends in a dot or blank, which Windows drops: rename it");
        const AnsiProblem text = FindAnsiProblem(file.stored_name);
        if (text.kind == AnsiProblem::Kind::kUtf8 || text.kind == AnsiProblem::Kind::kUtf8NotInCodePage)
            Report(c, Severity::kWarning, file,
                   "a UTF-8 name; the installer writes names in the ANSI code page, so it would be called \"" +
                       Cp1252ToUtf8(file.stored_name) + "\": use ASCII names");
        const bool in_windows_folder = i < c.plan.copy_modes.size() && c.plan.copy_modes[i] == kCopyModeWindowsFolder;
        const std::string key = (in_windows_folder ? "windows:" : "") + WindowsPathKey(file.stored_name);
        const auto [first, inserted] = seen.emplace(key, i);
        if (!inserted) {
            Report(c, Severity::kWarning, file,
                   "lands on the same file as " + Quoted(c.setup.files[first->second].stored_name) +
                       " (Windows ignores case), which it replaces: package one of them");
            continue;
        }
        if (i < c.plan.copy_modes.size() && c.plan.copy_modes[i] == 1 && LooksLikeConfiguration(file.stored_name))
            Report(c, Severity::kWarning, file,
                   "looks like a configuration file, but copy mode 1 (replace, also what no [Copymode] key means) "
                   "overwrites it on a reinstall or upgrade, and the user's edits with it: give it copy mode 3 (keep) "
                   "or 2 (ask)");
        // The licence and the log are put into the install folder after the
        // files, over anything of that name.
        if (!in_windows_folder && (key == "license.txt" || key == "uninstal.inf"))
            Report(c, Severity::kWarning, file,
                   std::string("the installer puts its ") + (key == "license.txt" ? "licence" : "uninstall log") +
                       " at this place in the install folder, over this file: rename it");
    }
}

}  // namespace kqpack
