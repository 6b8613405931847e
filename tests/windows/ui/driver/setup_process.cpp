// Starting and ending the program under test.
#include "setup_process.h"

#include "environment.h"

namespace kqgui {

SetupProcess::SetupProcess(const std::string& program, const std::string& temp_folder,
                           const std::string& working_folder) {
    std::string command_line = "\"" + program + "\"";
    std::string environment = EnvironmentWithTemp(temp_folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE, 0, environment.data(),
                        working_folder.c_str(), &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

SetupProcess::~SetupProcess() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, kPatience);
    }
    CloseHandle(process_);
}

bool SetupProcess::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool SetupProcess::WaitForExit(DWORD timeout_ms) {
    return process_ != nullptr && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD SetupProcess::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace kqgui
