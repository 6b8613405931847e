// The checker's entry: reads the script as the installer will, plans its
// keys, and runs every part of the check.
#include "check/setup_check.h"

#include "check/check_context.h"
#include "check/lettered_keys.h"
#include "packing/text_encoding.h"

namespace kqpack {

size_t CheckContext::LineOf(std::string_view section, std::string_view key) const {
    if (const ProfileEntry* entry = script.FindEntry(section, key)) return entry->line;
    if (const ProfileSection* found = script.FindSection(section)) return found->line;
    return 0;
}

long CheckContext::FileIndexOfKey(unsigned number) const {
    for (size_t i = 0; i < plan.file_keys.size(); ++i)
        if (plan.file_keys[i] == number) return static_cast<long>(i);
    return -1;
}

std::string Subject(std::string_view section, std::string_view key) {
    std::string subject = "[";
    subject += section;
    subject += ']';
    if (!key.empty()) {
        subject += ' ';
        subject += DisplayKey(key);
    }
    return subject;
}

std::string Quoted(std::string_view value) {
    std::string quoted = "\"";
    quoted += DisplayText(value);
    quoted += '"';
    return quoted;
}

std::string Plural(size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

CheckReport CheckSetup(const SetupUnderCheck& setup) {
    CheckReport report(setup.locate_line);
    const ProfileText script = ProfileText::Parse(setup.script_text);
    const int32_t file_num = script.ReadInt("Install", "FileNum", 0);
    const size_t file_count = setup.files_known ? setup.files.size() : static_cast<size_t>(std::max(file_num, 0));
    std::vector<std::string> stored_names;
    for (const PackagedFile& file : setup.files) stored_names.push_back(file.stored_name);
    const InstallPlan plan = PlanInstall(script, file_count, stored_names);
    const CheckContext context{setup, script, plan, report, file_count};

    for (const Finding& finding : setup.earlier_findings) report.Add(finding);
    if (!setup.files_known)
        report.Note(0, "", "no files given: FileNum is taken as the file count, and the stored names and the "
                           "dll and link targets are not checked against the packaged files");
    CheckLayout(context);
    CheckInstallKeys(context);
    CheckSequences(context);
    CheckFileNames(context);
    CheckLimits(context);
    CheckFolderRemoval(context);
    if (setup.licence_known) CheckLicence(context);
    return report;
}

}  // namespace kqpack
