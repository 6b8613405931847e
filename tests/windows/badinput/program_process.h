// A program under test started with a command-line tail, a temp folder and a
// working folder of its own; on destruction it and the system commands it
// started (regsvr32, runonce) are ended by their ids.
#pragma once

#include <windows.h>

#include <string>

namespace kqbad {

class ProgramProcess {
public:
    // Runs "`program`" `tail` with TMP and TEMP naming `temp_folder`.
    ProgramProcess(const std::string& program, const std::string& tail, const std::string& temp_folder,
                   const std::string& working_folder);
    ~ProgramProcess();
    ProgramProcess(const ProgramProcess&) = delete;
    ProgramProcess& operator=(const ProgramProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    bool Running() const;
    bool WaitForExit(DWORD timeout_ms);
    // STILL_ACTIVE while it runs.
    DWORD exit_code() const;

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
};

}  // namespace kqbad
