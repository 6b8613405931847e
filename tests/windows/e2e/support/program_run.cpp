// Starting programs in the scenario's job.
#include "program_run.h"

#include "driver/environment.h"

namespace kqe2e {

ScenarioJob::ScenarioJob() : job_(CreateJobObjectA(nullptr, nullptr)) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_ != nullptr) SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
}

ScenarioJob::~ScenarioJob() {
    if (job_ == nullptr) return;
    EndAll();
    CloseHandle(job_);
}

void ScenarioJob::EndAll() {
    if (job_ != nullptr) TerminateJobObject(job_, 99);
}

ProgramRun::ProgramRun(ScenarioJob& job, const std::string& command_line, const std::string& temp_folder,
                       const std::string& working_folder) {
    std::string command = command_line;
    std::string environment = kqgui::EnvironmentWithTemp(temp_folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so nothing it starts escapes the job.
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, environment.data(),
                        working_folder.c_str(), &startup, &info))
        return;
    if (job.handle() == nullptr || !AssignProcessToJobObject(job.handle(), info.hProcess)) {
        TerminateProcess(info.hProcess, 99);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        return;
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ProgramRun::~ProgramRun() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, kqgui::kPatience);
    }
    CloseHandle(process_);
}

bool ProgramRun::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ProgramRun::WaitForExit(DWORD timeout_ms) {
    return process_ != nullptr && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD ProgramRun::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) GetExitCodeProcess(process_, &code);
    return code;
}

std::string CommandLine(const std::string& program, const std::string& tail) {
    return "\"" + program + "\"" + (tail.empty() ? "" : " " + tail);
}

}  // namespace kqe2e
