// A setup program started for a scenario, with a temp folder and a current
// folder of its own, and ended by force if it outlives the scenario.
#pragma once

#include <windows.h>

#include <string>

#include "wait.h"

namespace kqgui {

class SetupProcess {
public:
    // Starts `program` with TMP and TEMP naming `temp_folder` (where it stages
    // its files) and `working_folder` as its current directory.
    SetupProcess(const std::string& program, const std::string& temp_folder, const std::string& working_folder);
    // Terminates the process if it is still running and waits for its end.
    ~SetupProcess();
    SetupProcess(const SetupProcess&) = delete;
    SetupProcess& operator=(const SetupProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    bool Running() const;
    // Waits for the process to end; false on timeout. Then exit_code() holds.
    bool WaitForExit(DWORD timeout_ms = kPatience);
    DWORD exit_code() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

}  // namespace kqgui
