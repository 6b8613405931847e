// One run of the real x86_64 stub on bad input, in a scratch folder of its
// own: the program, its temp and working folders, and a "home" folder of user
// files that serves as the sentinel. The run ends in bounded time, and the
// registry entry and Start-menu group of its application are removed after.
//
//   scratch\setup.exe           the installer (stub + package made by the case)
//   scratch\bin\Dizizev3.exe    the uninstaller (a copy of the stub)
//   scratch\temp                TMP and TEMP of the program
//   scratch\work                its current folder
//   scratch\home                the user's files; home\Apps\App is the install folder
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "program_process.h"
#include "tree_snapshot.h"

namespace kqbad {

// Long enough for a loaded machine running several Wine programs at once.
inline constexpr DWORD kPatience = 60000;

inline constexpr char kLicenceText[] = "Bad-input licence.\r\n";

// The uninstall entry's key, below HKEY_LOCAL_MACHINE.
std::string UninstallKeyOf(const std::string& app_name);
bool RegistryKeyExists(const std::string& key_path);
std::string RegistryValue(const std::string& key_path, const char* name);
std::string ProgramsFolder();

// A value of the INI file at `path`, as the program reads it (255 characters).
std::string ProfileText(const char* section, const char* key, const std::string& path);

// The files (not folders) under `folder`, by lower-case full path.
std::set<std::string> FilesUnder(const std::string& folder);

// [Install] with these keys, then `rest` as it stands.
std::string Script(const std::string& app_name, const std::string& install_lines, const std::string& rest = "");

class CaseRun {
public:
    // `label` names the scratch folder and, with the process id, the
    // application (so that cases running at once never share one).
    explicit CaseRun(const std::string& label);
    ~CaseRun();
    CaseRun(const CaseRun&) = delete;
    CaseRun& operator=(const CaseRun&) = delete;

    const std::string& app_name() const { return app_name_; }
    // For a case about the name itself; set before the program starts.
    void set_app_name(const std::string& name) { app_name_ = name; }
    const std::string& scratch() const { return scratch_; }
    const std::string& temp() const { return temp_; }
    const std::string& home() const { return home_; }
    const std::string& install_folder() const { return install_folder_; }
    std::string staged_script() const { return temp_ + "\\Uninstal.inf"; }
    std::string staged_licence() const { return temp_ + "\\License.txt"; }
    // Cleans up this folder (a default install folder outside the scratch) too.
    void AlsoCleanUp(const std::string& folder) { extra_folders_.push_back(folder); }

    // The installer: the stub followed by `package`.
    void WriteInstaller(const std::string& package);
    // Starts the installer, the sentinel taken first. False (and a failure) if it cannot start.
    bool StartInstaller();
    // Starts the uninstaller with `tail` as its command-line tail.
    bool StartUninstaller(const std::string& tail);
    DWORD pid() const { return process_ ? process_->id() : 0; }

    // Welcome, Next, the licence's Accept, the Install-where page (typing
    // `folder` unless it is empty: then the proposed folder is kept, and
    // returned in `proposed`), Next, Finish.
    bool WalkWizard(const std::string& folder, std::string* proposed = nullptr);
    bool WalkWizardToInstallFolder() { return WalkWizard(install_folder_); }

    // The next message box the program shows must have this caption and,
    // when given, this text; it is answered with `button`. Returns its text.
    std::optional<std::string> ExpectMessage(const std::string& caption, const std::optional<std::string>& text,
                                             int button, DWORD timeout_ms = kPatience);
    // The closing question of a complete installation, answered No.
    bool ExpectClosingQuestion(DWORD timeout_ms = kPatience);
    // The program ends with exit code 0 and shows no message on the way.
    void ExpectCleanEnd();

    // Nothing in the scratch folder outside the install and temp folders
    // changed, and nothing was removed there but the paths in `may_remove`.
    void ExpectNothingTouchedOutside(const std::vector<std::string>& may_remove = {});

private:
    bool StartProgram(const std::string& program, const std::string& tail);
    std::string DescribeWindows() const;

    std::string app_name_;
    std::string scratch_;
    std::string temp_;
    std::string work_;
    std::string home_;
    std::string install_folder_;
    std::string installer_;
    std::string uninstaller_;
    std::vector<std::string> extra_folders_;
    TreeSnapshot sentinel_;
    std::unique_ptr<ProgramProcess> process_;
};

// A folder and everything in it, gone.
void RemoveTree(const std::string& folder);

}  // namespace kqbad
