// The fixture of the end-to-end scenarios: a scratch folder with the setup
// program, its temp and working folders and the uninstaller's temp folder;
// a job that every started program runs in; and the installations the
// scenario makes, cleared before it starts and after it ends, so that a
// failed run leaves nothing for the next.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "driver/wizard_driver.h"
#include "program_run.h"

namespace kqe2e {

// Patience for a setup program's end once the closing question is answered:
// the clean-up timer takes ten seconds of it.
inline constexpr DWORD kCleanupPatience = kqgui::kPatience + 30000;

// Where an installation of one package puts things.
struct Installation {
    std::string app_name;
    std::string install_folder;
    std::string comp_reg;                 // empty: the package names none
    std::vector<std::string> link_files;  // linkfilea, linkfileb, ...

    std::string MenuFolder() const;    // Programs + "\" + AppName
    std::string UninstallKey() const;  // ...\Uninstall\AppName
    std::string AppKey() const;        // Software\CompReg\AppName
    std::string Log() const { return install_folder + "\\Uninstal.inf"; }
    // Removes every trace: folders, shortcuts wherever the uninstaller would
    // look for them, registry keys.
    void Remove() const;
};

// A message box as the user sees it.
struct ShownBox {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool has_icon = false;
};

// A message box the installer is expected to show, and the answer to give.
struct Prompt {
    std::string caption;
    std::string text;
    int answer;
};

std::string ClosingQuestion(const std::string& app_name);
std::string UninstallQuestion(const std::string& app_name);

class Scenario : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The installation a package with these script values makes under the
    // proposed default folder; it is cleared now and when the scenario ends.
    Installation Expect(const std::string& app_name, const std::string& def_dir, const std::string& comp_reg,
                        const std::vector<std::string>& link_files);
    // A file outside the scratch folder that the scenario makes: deleted now
    // and when the scenario ends.
    void Owns(const std::string& path);

    // Copies the package (a Linux path from the build) into the scratch
    // folder under `file_name` and starts it.
    std::unique_ptr<ProgramRun> StartSetup(const std::string& package_path, const std::string& file_name = "setup.exe");
    // Starts a program file as it is, with the setup program's folders.
    std::unique_ptr<ProgramRun> StartProgram(const std::string& program);
    // Starts a command line the way the system's list of programs does,
    // with the uninstaller's own temp folder.
    std::unique_ptr<ProgramRun> StartCommand(const std::string& command_line);

    // Welcome, Next, the licence accepted, Install where with the proposed
    // folder, Next: the wizard shows its Finish page.
    void WalkToFinishPage(const ProgramRun& setup);
    kqgui::WizardDriver& wizard() { return *wizard_; }
    // Answers the message boxes that must come, in their order.
    void AnswerPrompts(const ProgramRun& run, const std::vector<Prompt>& prompts);
    // The program ends by itself with exit code 0.
    void ExpectCleanEnd(ProgramRun& run, DWORD timeout_ms = kqgui::kPatience);
    // A whole installation: wizard, Finish, the prompts, the clean-up.
    void Install(const std::string& package_path, const std::vector<Prompt>& prompts);
    // Runs the command that the installation's uninstall entry stores,
    // answers Yes, and returns the final report (caption "Uninstall")
    // once OK has ended the program; empty if something else happened.
    std::string UninstallWithYes(const Installation& installation);

    std::string folder_;
    std::string temp_folder_;
    std::string working_folder_;
    std::string uninstall_temp_folder_;
    ScenarioJob job_;

private:
    std::vector<Installation> owned_;
    std::vector<std::string> owned_files_;
    std::unique_ptr<kqgui::WizardDriver> wizard_;
};

// Waits for any message box of the process; a null window on timeout.
ShownBox NextMessageBox(DWORD process_id, DWORD timeout_ms = kqgui::kPatience);
// Presses the button and waits for the box to go.
void Answer(const ShownBox& box, int button);
// The process's visible windows and their texts, for failure messages.
std::string DescribeWindows(DWORD process_id);

}  // namespace kqe2e
