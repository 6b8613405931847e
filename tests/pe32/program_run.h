// A program started from a 64-bit test in the emulated setup
// (scripts/wine32-run): a 32-bit one runs under qemu-i386 in the same Wine
// server, so this process can wait for it, see its windows and post to them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace kqpe32 {

// Emulated programs are slow to start (about a second, several the first
// time) and slower under load; a passing test waits far less.
inline constexpr DWORD kPatience = 120000;

// Returns true as soon as `done` returns true, false once the deadline passes.
bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kPatience);

class ProgramRun {
public:
    // Runs `command_line` (the program's path first, quoted when it holds
    // blanks, as an uninstall entry stores it) with TMP and TEMP naming
    // `temp_folder`, so that what the program stages lands there.
    ProgramRun(const std::string& command_line, const std::string& temp_folder);
    // Ends the program by force if it is still running.
    ~ProgramRun();
    ProgramRun(const ProgramRun&) = delete;
    ProgramRun& operator=(const ProgramRun&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    // True for a 32-bit program on this 64-bit system.
    bool IsWow64() const;
    bool Running() const;
    DWORD MillisecondsSinceStart() const { return GetTickCount() - start_tick_; }

    // Waits for the end; false on timeout. Then exit_code() holds.
    bool WaitForExit(DWORD timeout_ms = kPatience);
    DWORD exit_code() const;

    // Takes the way out of whatever the program shows until it ends: its
    // backdrop window (class "Install") gets WM_DESTROY, which ends the
    // message loop; a message box (a question such as the uninstaller's) is
    // answered No, or OK. False if the program did not end within the patience.
    bool EndByTheWayOut();

private:
    HANDLE process_ = nullptr;
    DWORD id_ = 0;
    DWORD start_tick_ = 0;
};

// The command line for `program` with the tail `tail`.
std::string CommandLine(const std::string& program, const std::string& tail = "");

// A visible top-level window of the process with this class; null if none.
HWND FindTopLevelWindow(DWORD process_id, const char* class_name);

// The visible top-level windows of the process, one a line: class, caption
// and the texts of their child windows; for a failure message.
std::string DescribeWindows(DWORD process_id);

// The machine field of a PE image's file header; 0 if `image` is not one.
WORD PeMachineOf(const std::string& image);

}  // namespace kqpe32
