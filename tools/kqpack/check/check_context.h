// What the parts of the setup checker share: the script as the installer
// reads it, the planned keys, and the report they add to.
#pragma once

#include <string>
#include <string_view>

#include "check/check_report.h"
#include "check/install_plan.h"
#include "check/profile_text.h"
#include "check/setup_check.h"

namespace kqpack {

inline constexpr size_t kMaxPath = 255;
// The installer proposes the temp folder's drive root + "Program Files\" + DefDir;
// the checker assumes drive C:.
inline constexpr std::string_view kDefaultFolderStem = "C:\\Program Files\\";
// Copy mode 8 files go to the Windows folder; assumed at its usual place.
inline constexpr std::string_view kAssumedWindowsFolder = "C:\\WINDOWS";
inline constexpr int32_t kCopyModeWindowsFolder = 8;

struct CheckContext {
    const SetupUnderCheck& setup;
    const ProfileText& script;
    const InstallPlan& plan;
    CheckReport& report;
    size_t file_count;  // the files given, or FileNum when they are not known

    // The line of a key, else of its section, else 0: where a message about
    // a missing key points.
    size_t LineOf(std::string_view section, std::string_view key) const;
    // The file that takes file key `number`, or -1.
    long FileIndexOfKey(unsigned number) const;
};

// "[Install] FileNum"
std::string Subject(std::string_view section, std::string_view key);
// A value in quotes, readable in a message.
std::string Quoted(std::string_view value);
// "1 file", "2 files"
std::string Plural(size_t n, const char* one, const char* many);

void CheckLayout(const CheckContext& context);       // sections, duplicates, unknown keys, text, lengths
void CheckInstallKeys(const CheckContext& context);  // AppName, FileNum, DefDir, CompReg, Desk, QLaunch, [Uninstall]
void CheckSequences(const CheckContext& context);    // dll, link, linkfile and [Copymode] keys
void CheckFileNames(const CheckContext& context);    // the stored names
void CheckLimits(const CheckContext& context);       // path lengths
void CheckFolderRemoval(const CheckContext& context);  // what an uninstall leaves, also an older one
void CheckLicence(const CheckContext& context);      // the licence text

}  // namespace kqpack
