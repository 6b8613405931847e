// Starting and ending the program under test.
#include "setup_process.h"

#include <cstring>

namespace kqgui {
namespace {

bool NamesVariable(const char* entry, const char* name) {
    const size_t length = std::strlen(name);
    return _strnicmp(entry, name, length) == 0 && entry[length] == '=';
}

// The test's own environment with TMP and TEMP replaced.
std::string EnvironmentWithTemp(const std::string& temp_folder) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1) {
        if (NamesVariable(entry, "TMP") || NamesVariable(entry, "TEMP")) continue;
        block.append(entry).push_back('\0');
    }
    FreeEnvironmentStringsA(strings);
    block.append("TMP=" + temp_folder).push_back('\0');
    block.append("TEMP=" + temp_folder).push_back('\0');
    block.push_back('\0');
    return block;
}

}  // namespace

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
