// Starting the program under test and ending what it leaves running.
#include "program_process.h"

#include "driver/environment.h"

#include <tlhelp32.h>

#include <vector>

namespace kqbad {

namespace {

constexpr DWORD kEndPatience = 30000;

// Ids of the commands that `parent` started and that may outlive it. Only
// these, by name: the first program to open a window in a fresh Wine session
// also counts as the parent of Wine's desktop process, and ending that takes
// the windows of every program running at the time with it.
std::vector<DWORD> CommandsStartedBy(DWORD parent) {
    std::vector<DWORD> children;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return children;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parent || entry.th32ProcessID == parent) continue;
        for (const char* command : {"regsvr32.exe", "runonce.exe", "grpconv.exe"})
            if (lstrcmpiA(entry.szExeFile, command) == 0) children.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return children;
}

void EndProcess(HANDLE process) {
    if (WaitForSingleObject(process, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process, 99);
        WaitForSingleObject(process, kEndPatience);
    }
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& program, const std::string& tail, const std::string& temp_folder,
                               const std::string& working_folder) {
    std::string command_line = "\"" + program + "\"";
    if (!tail.empty()) command_line += " " + tail;
    std::string environment = kqgui::EnvironmentWithTemp(temp_folder);
    // Without a console of its own, the regsvr32 commands the program starts
    // do not write their complaints into the test's output. No handle is
    // inherited: cases run at once, and a file another case has open at this
    // moment would stay open in this program and could not be deleted.
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    const BOOL created = CreateProcessA(program.c_str(), command_line.data(), nullptr, nullptr, FALSE,
                                        DETACHED_PROCESS, environment.data(), working_folder.c_str(), &startup, &info);
    if (!created) return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ProgramProcess::~ProgramProcess() {
    if (process_ == nullptr) return;
    EndProcess(process_);
    for (DWORD child : CommandsStartedBy(id_)) {
        const HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, child);
        if (handle == nullptr) continue;
        EndProcess(handle);
        CloseHandle(handle);
    }
    CloseHandle(process_);
}

bool ProgramProcess::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool ProgramProcess::WaitForExit(DWORD timeout_ms) {
    return process_ != nullptr && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

DWORD ProgramProcess::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) GetExitCodeProcess(process_, &code);
    return code;
}

}  // namespace kqbad
