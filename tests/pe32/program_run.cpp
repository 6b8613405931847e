// Starting, watching and ending a program under test from the 64-bit side.
#include "program_run.h"

#include "driver/environment.h"

#include <cstring>

namespace kqpe32 {

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(50);
    }
}

std::string CommandLine(const std::string& program, const std::string& tail) {
    return "\"" + program + "\"" + (tail.empty() ? "" : " " + tail);
}

ProgramRun::ProgramRun(const std::string& command_line, const std::string& temp_folder) {
    std::string command = command_line;
    std::string environment = kqgui::EnvironmentWithTemp(temp_folder);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    start_tick_ = GetTickCount();
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, environment.data(), nullptr, &startup,
                        &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

ProgramRun::~ProgramRun() {
    if (process_ == nullptr) return;
    if (Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, kPatience);
    }
    CloseHandle(process_);
}

bool ProgramRun::IsWow64() const {
    BOOL wow64 = FALSE;
    return process_ != nullptr && IsWow64Process(process_, &wow64) && wow64;
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

bool ProgramRun::EndByTheWayOut() {
    return WaitUntil([&] {
        if (!Running()) return true;
        if (const HWND backdrop = FindTopLevelWindow(id_, "Install")) PostMessageA(backdrop, WM_DESTROY, 0, 0);
        if (const HWND box = FindTopLevelWindow(id_, "#32770")) {
            const HWND no = GetDlgItem(box, IDNO);
            const HWND button = no != nullptr ? no : GetDlgItem(box, IDOK);
            if (button != nullptr) PostMessageA(button, BM_CLICK, 0, 0);
        }
        return false;
    });
}

HWND FindTopLevelWindow(DWORD process_id, const char* class_name) {
    struct Search {
        DWORD process_id;
        const char* class_name;
        HWND found;
    } search{process_id, class_name, nullptr};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            char name[64] = "";
            GetClassNameA(window, name, sizeof name);
            if (owner == s->process_id && IsWindowVisible(window) && lstrcmpA(name, s->class_name) == 0)
                s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string DescribeWindows(DWORD process_id) {
    struct Listing {
        DWORD process_id;
        std::string text;
    } listing{process_id, ""};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* l = reinterpret_cast<Listing*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != l->process_id || !IsWindowVisible(window)) return TRUE;
            char name[64] = "";
            char caption[256] = "";
            GetClassNameA(window, name, sizeof name);
            GetWindowTextA(window, caption, sizeof caption);
            l->text += std::string(name) + " \"" + caption + "\":";
            EnumChildWindows(
                window,
                [](HWND child, LPARAM inner) -> BOOL {
                    // WM_GETTEXT crosses processes for controls; GetWindowText does not.
                    char text[256] = "";
                    DWORD_PTR copied = 0;
                    SendMessageTimeoutA(child, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                                        SMTO_ABORTIFHUNG, 2000, &copied);
                    if (text[0] != '\0') *reinterpret_cast<std::string*>(inner) += std::string(" [") + text + "]";
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&l->text));
            l->text += "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&listing));
    return listing.text.empty() ? "(no visible window)\n" : listing.text;
}

WORD PeMachineOf(const std::string& image) {
    // The DOS header's e_lfanew (offset 0x3C) leads to "PE\0\0" and the file
    // header, whose first field is the machine.
    if (image.size() < 0x40 || image.compare(0, 2, "MZ") != 0) return 0;
    uint32_t pe_offset = 0;
    std::memcpy(&pe_offset, image.data() + 0x3C, sizeof pe_offset);
    if (pe_offset > image.size() - 6 || image.compare(pe_offset, 4, std::string("PE\0\0", 4)) != 0) return 0;
    WORD machine = 0;
    std::memcpy(&machine, image.data() + pe_offset + 4, sizeof machine);
    return machine;
}

}  // namespace kqpe32
