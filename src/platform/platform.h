// Small verbs over the platform, each the one place that makes its calls:
// system folders and DLLs, message boxes, profile (INI) files, registry
// values, shortcut files, and the system programs the installer starts.
#pragma once

#include <windows.h>

namespace kq {

// ---- system folders -----------------------------------------------------------
// Each composes the folder + "\" + `name` into `dest` (the folder alone when
// `name` is null) and returns 0, with nothing composed, when the folder
// cannot be had or the path would not fit.
[[nodiscard]] int WindowsFolderPath(char* dest, size_t capacity, const char* name);
[[nodiscard]] int SystemFolderPath(char* dest, size_t capacity, const char* name);
// A shell folder of the current user (CSIDL_PROGRAMS, CSIDL_DESKTOPDIRECTORY,
// ...); `create` makes it when it does not exist.
[[nodiscard]] int SpecialFolderPath(int csidl, bool create, char* dest, size_t capacity, const char* name);

// ---- system DLLs ----------------------------------------------------------------
// Functions of system DLLs that the system does not protect as known DLLs
// (the common controls and common dialogs). They are not imported at load
// time, where the search would start in the program's own folder (often a
// downloads folder anyone can drop files into), but loaded from the system
// folder by full path when first needed. The function `name` of `dll`, or null.
FARPROC SystemLibraryFunction(const char* dll, const char* name);

template <typename Function>
Function SystemFunction(const char* dll, const char* name) {
    // Through the generic function pointer type, which any function type may be cast from.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(SystemLibraryFunction(dll, name)));
}

// ---- message boxes ----------------------------------------------------------------
// Every message the program shows goes through here, so that in-process
// tests can record and answer them: set by tests, null in the shipped program.
using MessageBoxHook = int (*)(const char* text, const char* caption, UINT flags);
extern MessageBoxHook g_message_box_hook;

// Appends "LABEL: TEXT" as one line to the unattended run's log, when the
// run has one (g_setup.run_log).
void WriteRunLogLine(const char* label, const char* text);

// A message box without an owner window; returns the button pressed. In an
// unattended run (g_setup.silent) nothing shows: the message goes to the run
// log and the answer is No, Cancel or OK.
int ShowMessage(const char* text, const char* caption, UINT flags);

// A message box owned by `owner` (a dialog that reports its own failure).
int ShowOwnedMessage(HWND owner, const char* text, const char* caption, UINT flags);

// ---- profile (INI) files, always named by their full path --------------------------------
inline constexpr char kInstallSection[] = "Install";
inline constexpr char kLinksSection[] = "Links";
inline constexpr char kCopymodeSection[] = "Copymode";
inline constexpr char kUninstallSection[] = "Uninstall";

// Reads with the empty default: 0 means the key is missing or empty. At most
// size - 1 characters are kept.
DWORD ReadProfileText(const char* section, const char* key, char* buffer, DWORD size, const char* path);

UINT ReadProfileInt(const char* section, const char* key, int default_value, const char* path);

// ---- registry ---------------------------------------------------------------------------
// The system's list of installed programs, below HKEY_LOCAL_MACHINE.
inline constexpr char kUninstallKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// Sets `name` of an open key to `data` (REG_SZ, stored without its terminator).
void SetRegistryValue(HKEY key, const char* name, const char* data);
// Opens `key_path` below `root` (creating it when absent), sets `name` to
// `data`, closes. Failures are not reported.
void SetRegistryString(HKEY root, const char* key_path, const char* name, const char* data);
// Opens `key_path` below `root`, when it exists, and deletes its subkey
// `subkey`. Failures are not reported.
void DeleteRegistryKey(HKEY root, const char* key_path, const char* subkey);

// ---- shortcuts ---------------------------------------------------------------------------
// Saves a shortcut at `shortcut_path` (up to 259 characters) to `target_path`
// with `description`, starting in the target's folder. Failures are not
// reported.
void CreateShortcut(const char* target_path, const char* description, const char* shortcut_path);

// ---- system programs ------------------------------------------------------------------------
// Command lines name the program by its full path in the system folder:
// started by a bare name, a program of that name lying next to a downloaded
// setup program would run instead.

// Room for the system folder, the program and a quoted path argument.
inline constexpr size_t kCommandBufferSize = 768;

// "<system folder>\<program>" in quotes, followed by `arguments` as given.
// Returns 0 when the result would not fit `size`.
[[nodiscard]] int ComposeSystemCommand(char* buffer, size_t size, const char* program, const char* arguments);

// Starts `command` (CreateProcess may change it) in `folder` (null: the
// system folder), shown as `show`, and waits up to `wait` milliseconds for
// it to end.
void StartProgram(char* command, const char* folder, WORD show, DWORD wait);

// regsvr32 "<dll path>", or with `unregister` regsvr32 -u "<dll path>".
[[nodiscard]] int ComposeRegsvrCommand(char* buffer, size_t size, const char* dll_path, bool unregister);

// Runs the composed command hidden and waits for it to end (at most 30 s):
// a DLL must not be deleted while it is being unregistered, and the program
// launched at the end must not start before its DLLs are registered.
void RunRegsvr(const char* dll_path, bool unregister);

}  // namespace kq
