// The fixture of the GUI scenarios: one run of the packaged setup program
// with a scratch folder of its own, holding the program, its temp folder
// (where it stages the script and the licence) and its working folder (where
// the directory browser opens; it has a subfolder "chosen" to change into).
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "driver/setup_process.h"
#include "driver/wizard_driver.h"

namespace kqscenario {

// What the scenario package's setup script and licence say.
inline constexpr char kAppName[] = "Widget Works";
inline constexpr char kAppBy[] = "Made by the kqsetup GUI tests";
inline constexpr char kTitle[] = "Widget Works Setup";
inline constexpr char kLicenceDialogCaption[] = "Software License Agreement";

class SetupRun : public testing::Test {
protected:
    void SetUp() override;
    // Ends the program if the scenario left it running.
    void TearDown() override;

    // Starts the program; the scenario stops if it cannot.
    void Start();
    DWORD pid() const { return process_->id(); }
    kqgui::SetupProcess& process() { return *process_; }
    kqgui::WizardDriver& wizard() { return *wizard_; }

    // Starts the program and waits for the wizard's Welcome page.
    void StartAtWelcome();
    // Next on the Welcome page, Accept in the licence dialog, on to Install where.
    void AcceptLicence();
    // The licence dialog, once it shows.
    HWND WaitForLicenceDialog();
    // The program ends with exit code 0 and leaves no window behind.
    void ExpectCleanEnd();

    std::string ExpectedDefaultFolder() const;
    std::string ReadLicenceData() const;

    std::string folder_;
    std::string temp_folder_;
    std::string working_folder_;
    std::string program_;

private:
    std::unique_ptr<kqgui::SetupProcess> process_;
    std::unique_ptr<kqgui::WizardDriver> wizard_;
};

}  // namespace kqscenario
