// Programs started by a scenario: a setup program or the uninstaller, by a
// full command line, with a temp folder of their own. Each runs in the
// scenario's job, and so does everything it starts (regsvr32, the program
// launched at the end), so that ending the job ends every leftover.
#pragma once

#include <windows.h>

#include <string>

#include "driver/wait.h"

namespace kqe2e {

// A job object that ends its processes when it is ended or closed.
class ScenarioJob {
public:
    ScenarioJob();
    ~ScenarioJob();
    ScenarioJob(const ScenarioJob&) = delete;
    ScenarioJob& operator=(const ScenarioJob&) = delete;

    HANDLE handle() const { return job_; }
    // Terminates every process still in the job.
    void EndAll();

private:
    HANDLE job_ = nullptr;
};

class ProgramRun {
public:
    // Runs `command_line` as the system would (the program's path first,
    // quoted when it holds blanks) with TMP and TEMP naming `temp_folder` and
    // `working_folder` as the current folder, inside `job`.
    ProgramRun(ScenarioJob& job, const std::string& command_line, const std::string& temp_folder,
               const std::string& working_folder);
    // Terminates the program if it is still running.
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    bool Running() const;
    // Waits for the end; false on timeout. Then exit_code() holds.
    bool WaitForExit(DWORD timeout_ms = kqgui::kPatience);
    DWORD exit_code() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

// "\"program\"" followed by " tail" when there is one.
std::string CommandLine(const std::string& program, const std::string& tail = "");

}  // namespace kqe2e
