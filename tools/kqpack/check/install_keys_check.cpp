// The [Install] keys with one value each, and the author's [Uninstall].
#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "check/windows_names.h"
#include "package/stored_name.h"

namespace kqpack {
namespace {

// The uninstall entry's registry key is the 52 characters of the Uninstall
// key's path and AppName, composed in a 256-character buffer; a longer name
// leaves the program without an uninstall entry.
constexpr size_t kUninstallKeyPrefix = 52;
constexpr size_t kLongestAppName = kMaxPath - kUninstallKeyPrefix;

// The installer takes AppName for the Start-menu folder's name and the
// uninstall entry's key name; setup and uninstaller refuse any name that is
// not one plain name (kq::IsPlainName), an empty one among them.
void CheckAppName(const CheckContext& c) {
    const std::string name = c.script.ReadText("Install", "AppName");
    const size_t line = c.LineOf("Install", "AppName");
    const std::string subject = Subject("Install", "AppName");
    const std::string refused = "setup stops with \"Setup Error!\" before the wizard, and an uninstaller refuses a log "
                                "without a plain AppName (\"Uninstall error!  Unable to uninstall!\")";
    if (name.empty()) {
        c.report.Error(line, subject,
                       "missing or empty; it names the Start-menu folder and the uninstall entry, so " + refused +
                           ": add AppName=<the application's name>");
        return;
    }
    if (name.size() > kLongestAppName)
        c.report.Error(line, subject,
                       std::to_string(name.size()) + " characters; the uninstall entry's registry key would pass " +
                           std::to_string(kMaxPath) + " characters and no uninstall entry would be written: keep it to " +
                           std::to_string(kLongestAppName));
    if (!kq::IsPlainName(name.data(), name.size())) {
        std::string problem = NameComponentProblem(name);
        if (problem.empty()) problem = "only dots and blanks, which Windows reads as '..' or as no name at all";
        c.report.Error(line, subject,
                       Quoted(name) + " holds " + problem + "; as a folder and registry key name it would name "
                       "other places, so " + refused + ": choose a name a folder can have");
    }
}

// Integer keys: the installer reads leading digits and takes anything else as
// 0, which is rarely what "yes" meant.
int32_t CheckInteger(const CheckContext& c, std::string_view key, int32_t fallback) {
    const ProfileEntry* entry = c.script.FindEntry("Install", key);
    const int32_t value = c.script.ReadInt("Install", key, fallback);
    if (entry != nullptr && !entry->value.empty() && !IsPlainDecimal(entry->value))
        c.report.Warning(entry->line, Subject("Install", key),
                         Quoted(entry->value) + " is not a plain decimal number; the installer reads it as " +
                             std::to_string(value) + ": write the number");
    return value;
}

void CheckFileNum(const CheckContext& c) {
    const int32_t file_num = CheckInteger(c, "FileNum", 0);
    if (!c.setup.files_known || static_cast<int64_t>(file_num) == static_cast<int64_t>(c.setup.files.size())) return;
    const size_t count = c.setup.files.size();
    const std::string files = std::to_string(count) + (count == 1 ? " file is" : " files are");
    const std::string fix = "set FileNum=" + std::to_string(count);
    const ProfileEntry* entry = c.script.FindEntry("Install", "FileNum");
    if (entry == nullptr || entry->value.empty())
        c.report.Error(c.LineOf("Install", "FileNum"), Subject("Install", "FileNum"),
                       "missing, so the installer installs no file, but " + files + " packaged: " + fix);
    else if (file_num > static_cast<int64_t>(count))
        c.report.Error(entry->line, Subject("Install", "FileNum"),
                       std::to_string(file_num) + ", but only " + files +
                           " packaged; the installation would stop with \"Setup Error!\": " + fix);
    else
        c.report.Error(entry->line, Subject("Install", "FileNum"),
                       std::to_string(file_num) + ", but " + files + " packaged; the last " +
                           std::to_string(count - static_cast<size_t>(std::max(file_num, 0))) +
                           " would never be installed: " + fix);
}

void CheckDefDir(const CheckContext& c) {
    const std::string dir = c.script.ReadText("Install", "DefDir");
    const size_t line = c.LineOf("Install", "DefDir");
    const std::string subject = Subject("Install", "DefDir");
    // Only backslashes would propose the Program Files folder as well.
    if (dir.find_first_not_of('\\') == std::string::npos) {
        c.report.Error(line, subject,
                       "missing or empty, so the proposed install folder is \"" + std::string(kDefaultFolderStem) +
                           "\" itself, and the files, licence and log would land among every other program's: "
                           "add DefDir=<a folder name>");
        return;
    }
    // A folder path below Program Files: components joined by backslashes.
    size_t start = 0;
    while (start <= dir.size()) {
        const size_t end = std::min(dir.find('\\', start), dir.size());
        const std::string part = dir.substr(start, end - start);
        if (!part.empty()) {
            const std::string problem = part == ".." ? "'..'" : NameComponentProblem(part);
            if (!problem.empty()) {
                c.report.Error(line, subject,
                               Quoted(dir) + " holds " + problem +
                                   "; DefDir is not a path but the folder below \"<drive of the temp folder>\\"
                                   "Program Files\\\" that the wizard proposes (the user may choose another): "
                                   "give a folder name such as Widget or Acme\\Widget");
                return;
            }
        }
        start = end + 1;
    }
}

void CheckShortcutFlags(const CheckContext& c) {
    for (std::string_view key : {"Desk", "QLaunch"}) {
        const int32_t flag = CheckInteger(c, key, 0);
        if (flag != 0 && c.plan.link_count == 0) {
            const bool has_links = c.script.FindSection("Links") != nullptr;
            c.report.Warning(c.LineOf("Install", key), Subject("Install", key),
                             std::string(key == "Desk" ? "asks for a desktop shortcut" : "asks for a Quick Launch button") +
                                 " to the first link, but " +
                                 (has_links ? "[Links] has no linka" : "there is no [Links] section") +
                                 ", so nothing is offered: add linka and linkfilea, or remove " + std::string(key));
        }
    }
}

// The uninstaller clears two subkeys of Software\<CompReg>\<AppName> only
// when CompReg is set, since Software\<AppName> may be another maker's.
void NoteMakerKey(const CheckContext& c) {
    if (c.script.Has("Install", "CompReg")) return;
    c.report.Note(c.LineOf("Install", "CompReg"), Subject("Install", "CompReg"),
                  "missing or empty, so the uninstaller leaves your program's registry key alone (it deletes "
                  "\"settings\" and \"Recent File List\" of Software\\<CompReg>\\<AppName> only when CompReg is set "
                  "and that key exists): add CompReg=<your company's key name> if your program keeps settings there");
}

void CheckAuthorUninstall(const CheckContext& c) {
    const ProfileSection* uninstall = c.script.FindSection("Uninstall");
    if (uninstall == nullptr) return;
    std::string effect = "the installer writes this section itself";
    if (c.plan.author_file_keys > 0 && !c.plan.file_keys.empty())
        effect += "; with the file keys already here the first file takes " +
                  DisplayKey(SequenceKey("file", c.plan.file_keys.front())) +
                  " and reads its copy mode from [Copymode] under that key, and the uninstaller would also "
                  "delete the files these keys name";
    else
        effect += "; keys written here shift the keys the installer uses and are acted on by the uninstaller";
    c.report.Warning(uninstall->line, "[Uninstall]", effect + ": remove the section");
}

}  // namespace

void CheckInstallKeys(const CheckContext& c) {
    if (c.script.FindSection("Install") == nullptr)
        c.report.Error(0, "[Install]", "missing; the installer reads AppName, DefDir and FileNum from it: add it");
    CheckAppName(c);
    CheckFileNum(c);
    CheckDefDir(c);
    NoteMakerKey(c);
    CheckShortcutFlags(c);
    CheckAuthorUninstall(c);
}

}  // namespace kqpack
