// Keys of a sequence: gaps that end one early, no link at all, shortcut names,
// dll and link targets that are not packaged, and [Copymode] keys that no
// file takes.
#include <map>
#include <optional>

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "check/windows_names.h"
#include "packing/text_encoding.h"
#include "text/text.h"

namespace kqpack {
namespace {

// The author's keys of one stem in the first section of that name, by number
// (of each number the line the installer reads).
std::map<unsigned, const ProfileEntry*> KeysOfStem(const CheckContext& c, std::string_view section, std::string_view stem) {
    std::map<unsigned, const ProfileEntry*> keys;
    if (const ProfileSection* found = c.script.FindSection(section))
        for (const ProfileEntry& entry : found->entries)
            if (const auto number = NumberOfKey(entry.key, stem);
                number && FindSequenceEntry(c.script, section, stem, *number) == &entry)
                keys.emplace(*number, &entry);
    return keys;
}

// Key `number` of `stem` as the script names it, else as the installer would.
std::string KeyInScript(const CheckContext& c, std::string_view section, std::string_view stem, unsigned number) {
    const ProfileEntry* entry = FindSequenceEntry(c.script, section, stem, number);
    return entry != nullptr ? entry->key : SequenceKey(stem, number);
}

// Keys behind the first missing or empty one are never read: one warning
// naming the gap and every key lost behind it.
void CheckGap(const CheckContext& c, std::string_view section, std::string_view stem, size_t read_count) {
    std::string unread;
    size_t unread_count = 0;
    size_t first_unread_line = 0;
    for (const auto& [number, entry] : KeysOfStem(c, section, stem)) {
        if (number <= read_count || entry->value.empty()) continue;
        if (!unread.empty()) unread += ", ";
        unread += DisplayKey(entry->key);
        ++unread_count;
        if (first_unread_line == 0) first_unread_line = entry->line;
    }
    if (unread.empty()) return;
    const unsigned gap_number = static_cast<unsigned>(read_count) + 1;
    const std::string gap = KeyInScript(c, section, stem, gap_number);
    const bool present = FindSequenceEntry(c.script, section, stem, gap_number) != nullptr;
    c.report.Warning(first_unread_line, Subject(section, DisplayKey(gap)),
                     std::string(present ? "empty" : "missing") + ", so " + unread +
                         (unread_count == 1 ? " is" : " are") + " never read (the installer stops at the first missing or empty key): "
                         "renumber them from " + DisplayKey(gap));
}

// The packaged file a target names, if any (Windows ignores case).
std::optional<size_t> PackagedFileNamed(const CheckContext& c, std::string_view target) {
    const std::string key = WindowsPathKey(target);
    for (size_t i = 0; i < c.setup.files.size(); ++i)
        if (WindowsPathKey(c.setup.files[i].stored_name) == key) return i;
    return std::nullopt;
}

// A dll or link target names a file under the install folder.
void CheckTarget(const CheckContext& c, std::string_view section, std::string_view key, const std::string& target,
                 const char* use) {
    if (!c.setup.files_known) return;
    const size_t line = c.LineOf(section, key);
    const auto file = PackagedFileNamed(c, target);
    if (!file) {
        c.report.Warning(line, Subject(section, key),
                         Quoted(target) + " is not among the packaged files, so the " + use +
                             " would find nothing: name a packaged file by its stored name");
    } else if (*file < c.plan.copy_modes.size() && c.plan.copy_modes[*file] == kCopyModeWindowsFolder) {
        c.report.Warning(line, Subject(section, key),
                         Quoted(target) + " is installed into the Windows folder (copy mode 8), but the " + use +
                             " looks for it in the install folder: give it another copy mode");
    }
}

void CheckLinks(const CheckContext& c) {
    const std::vector<std::string> links = ReadSequence(c.script, "Links", "link");
    CheckGap(c, "Links", "link", links.size());
    if (links.empty())
        c.report.Note(c.LineOf("Links", "linka"), Subject("Links", "linka"),
                      "missing, so setup ends with \"" + DisplayText(c.script.ReadText("Install", "AppName")) +
                          " Setup is complete.\" and OK only, and starts nothing: add linka and linkfilea to offer "
                          "to start your program");
    for (size_t i = 0; i < links.size(); ++i) {
        const unsigned number = static_cast<unsigned>(i) + 1;
        const std::string link = KeyInScript(c, "Links", "link", number);
        CheckTarget(c, "Links", link, links[i], "shortcut");
        const std::string key = KeyInScript(c, "Links", "linkfile", number);
        const std::string name = ReadSequenceKey(c.script, "Links", "linkfile", number);
        const size_t line = c.LineOf("Links", key);
        if (name.empty()) {
            c.report.Warning(c.LineOf("Links", link), Subject("Links", key),
                             "missing, so the shortcut for " + DisplayKey(link) +
                                 " has no file name and is not made: add " + DisplayKey(key) + "=<Name>.lnk");
            continue;
        }
        const std::string problem = NameComponentProblem(name);
        if (kq::LeavesItsFolder(name.c_str()))
            c.report.Error(line, Subject("Links", key),
                           Quoted(name) + " leads out of the Start-menu folder, so the installer makes no shortcut "
                           "for it: use a plain file name");
        else if (!problem.empty())
            c.report.Warning(line, Subject("Links", key),
                             Quoted(name) + " holds " + problem + ", so the shortcut file cannot be made: use a plain file name");
        else if (name.find('.') == std::string::npos)
            c.report.Warning(line, Subject("Links", key),
                             Quoted(name) + " has no '.'; the shortcut's description is the name before its last "
                             "'.': name the file with its extension, e.g. " + Quoted(name + ".lnk"));
        else if (name.size() < 4 || !SameName(std::string_view(name).substr(name.size() - 4), ".lnk"))
            c.report.Warning(line, Subject("Links", key),
                             Quoted(name) + " does not end in .lnk, so Windows would not treat the file as a "
                             "shortcut: end it in .lnk");
    }
    // A linkfile key is read only together with its link key.
    for (const auto& [number, entry] : KeysOfStem(c, "Links", "linkfile")) {
        if (number <= links.size() || entry->value.empty()) continue;
        c.report.Warning(entry->line, Subject("Links", entry->key),
                         "never read, because " + DisplayKey(SequenceKey("link", number)) +
                             " is not read: pair it with the link key of the same letter or number");
    }
}

void CheckDlls(const CheckContext& c) {
    const std::vector<std::string> dlls = ReadSequence(c.script, "Install", "dll");
    CheckGap(c, "Install", "dll", dlls.size());
    for (size_t i = 0; i < dlls.size(); ++i)
        CheckTarget(c, "Install", KeyInScript(c, "Install", "dll", static_cast<unsigned>(i) + 1), dlls[i],
                    "DLL registration");
}

void CheckCopymodes(const CheckContext& c) {
    for (const auto& [number, entry] : KeysOfStem(c, "Copymode", "file")) {
        if (entry->value.empty()) continue;
        const std::string subject = Subject("Copymode", entry->key);
        if (c.FileIndexOfKey(number) < 0) {
            std::string why;
            if (c.plan.author_file_keys > 0) {
                why = "no packaged file takes this key";
            } else {
                why = "no " + Ordinal(number) + " file is packaged";
            }
            const int32_t file_num = c.script.ReadInt("Install", "FileNum", 0);
            if (!c.setup.files_known || static_cast<int64_t>(file_num) == static_cast<int64_t>(c.file_count))
                why += " (FileNum=" + std::to_string(file_num) + ")";
            else
                why += " (" + std::to_string(c.file_count) + " files are packaged)";
            c.report.Warning(entry->line, subject, why + ": remove the key");
            continue;
        }
        const int32_t mode = CopyModeOf(entry->value);
        const bool plain = entry->value == "1" || entry->value == "2" || entry->value == "3" || entry->value == "8";
        if (plain) continue;
        const bool known = mode == 1 || mode == 2 || mode == 3 || mode == 8;
        c.report.Warning(entry->line, subject,
                         Quoted(entry->value) + " is not a copy mode; the installer reads " + std::to_string(mode) +
                             (known ? "" : " and replaces an existing file as with 1") +
                             ": write 1 (replace), 2 (ask), 3 (keep) or 8 (Windows folder)");
    }
}

}  // namespace

void CheckSequences(const CheckContext& c) {
    CheckDlls(c);
    CheckLinks(c);
    CheckCopymodes(c);
}

}  // namespace kqpack
