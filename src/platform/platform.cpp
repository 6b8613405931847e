// Small verbs over the platform: system folders and libraries, message
// boxes, profile (INI) access, registry values, shortcuts and the system
// programs the installer starts.
#include "platform/platform.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "text/text.h"
#include "text/text_buffers.h"

namespace kq {

namespace {

// `folder` (of `length` characters, 0 when it could not be had) + "\" + `name`.
int ComposeInFolder(char* dest, size_t capacity, const char* folder, UINT length, const char* name) {
    if (length == 0 || length >= MAX_PATH) return 0;
    return name == nullptr ? CopyText(dest, capacity, folder) : JoinPath(dest, capacity, folder, name);
}

}  // namespace

int WindowsFolderPath(char* dest, size_t capacity, const char* name) {
    char folder[MAX_PATH];
    return ComposeInFolder(dest, capacity, folder, GetWindowsDirectoryA(folder, sizeof folder), name);
}

int SystemFolderPath(char* dest, size_t capacity, const char* name) {
    char folder[MAX_PATH];
    return ComposeInFolder(dest, capacity, folder, GetSystemDirectoryA(folder, sizeof folder), name);
}

int SpecialFolderPath(int csidl, bool create, char* dest, size_t capacity, const char* name) {
    char folder[MAX_PATH];
    if (!SHGetSpecialFolderPathA(nullptr, folder, csidl, create ? TRUE : FALSE)) return 0;
    return ComposeInFolder(dest, capacity, folder, static_cast<UINT>(TextLength(folder)), name);
}

FARPROC SystemLibraryFunction(const char* dll, const char* name) {
    char path[MAX_PATH];
    if (!SystemFolderPath(path, sizeof path, dll)) return nullptr;
    // Stays loaded for the rest of the run, like an import would.
    const HMODULE module = LoadLibraryA(path);
    return module != nullptr ? GetProcAddress(module, name) : nullptr;
}

MessageBoxHook g_message_box_hook;

int ShowMessage(const char* text, const char* caption, UINT flags) {
    return ShowOwnedMessage(nullptr, text, caption, flags);
}

int ShowOwnedMessage(HWND owner, const char* text, const char* caption, UINT flags) {
    if (g_message_box_hook != nullptr) return g_message_box_hook(text, caption, flags);
    if (!g_setup.silent) return MessageBoxA(owner, text, caption, flags);
    // Unattended, a message is a line of the run log, and the answer the
    // safe one: No, Cancel. The questions with another answer are decided
    // where they are asked.
    WriteRunLogLine(caption, text);
    const UINT buttons = flags & MB_TYPEMASK;
    return buttons == MB_YESNO ? IDNO : buttons == MB_RETRYCANCEL ? IDCANCEL : IDOK;
}

void WriteRunLogLine(const char* label, const char* text) {
    if (g_setup.run_log[0] == '\0') return;
    const HANDLE log = CreateFileA(g_setup.run_log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return;
    char line[2 * kTextBufferSize];
    const char* const pieces[] = {label, ": ", text};
    ComposeCut(line, sizeof line - 2, pieces, 3);
    // One line per message, whatever line breaks its text has.
    for (char* c = line; *c != '\0'; ++c)
        if (*c == '\r' || *c == '\n') *c = ' ';
    (void)AppendText(line, sizeof line, "\r\n");
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(TextLength(line)), &written, nullptr);
    CloseHandle(log);
}

DWORD ReadProfileText(const char* section, const char* key, char* buffer, DWORD size, const char* path) {
    return GetPrivateProfileStringA(section, key, "", buffer, size, path);
}

UINT ReadProfileInt(const char* section, const char* key, int default_value, const char* path) {
    return GetPrivateProfileIntA(section, key, default_value, path);
}

void SetRegistryValue(HKEY key, const char* name, const char* data) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data), static_cast<DWORD>(TextLength(data)));
}

namespace {

HKEY CreateRegistryKey(HKEY root, const char* key_path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, key_path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

}  // namespace

void SetRegistryString(HKEY root, const char* key_path, const char* name, const char* data) {
    const HKEY key = CreateRegistryKey(root, key_path);
    if (key == nullptr) return;
    SetRegistryValue(key, name, data);
    RegCloseKey(key);
}

void DeleteRegistryKey(HKEY root, const char* key_path, const char* subkey) {
    // Opened, never created: an absent key has nothing to delete.
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, key_path, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteKeyA(key, subkey);
    RegCloseKey(key);
}

namespace {

// Defined here rather than taken from a GUID library the stub does not link.
constexpr GUID kClsidShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kIidPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

}  // namespace

void CreateShortcut(const char* target_path, const char* description, const char* shortcut_path) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(kClsidShellLink, nullptr, CLSCTX_INPROC_SERVER, kIidShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(kIidPersistFile, reinterpret_cast<void**>(&file)))) {
        link->Release();
        return;
    }
    link->SetDescription(description);
    link->SetPath(target_path);
    // The program starts in its own folder, where it may look for its files.
    char folder[MAX_PATH];
    if (ParentFolder(folder, sizeof folder, target_path)) link->SetWorkingDirectory(folder);
    WCHAR wide_path[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, shortcut_path, -1, wide_path, MAX_PATH) != 0) file->Save(wide_path, TRUE);
    file->Release();
    link->Release();
}

int ComposeSystemCommand(char* buffer, size_t size, const char* program, const char* arguments) {
    char program_path[MAX_PATH];
    if (!SystemFolderPath(program_path, sizeof program_path, program)) return 0;
    buffer[0] = '\0';
    return AppendText(buffer, size, "\"") && AppendText(buffer, size, program_path) &&
           AppendText(buffer, size, "\"") && AppendText(buffer, size, arguments);
}

int ComposeRegsvrCommand(char* buffer, size_t size, const char* dll_path, bool unregister) {
    char arguments[kCommandBufferSize];
    // Without -u: the same arguments from the blank after it.
    return CopyText(arguments, sizeof arguments, " -u \"") && AppendText(arguments, sizeof arguments, dll_path) && AppendText(arguments, sizeof arguments, "\"") &&
           ComposeSystemCommand(buffer, size, "regsvr32.exe", unregister ? arguments : arguments + 3);
}

namespace {

// How long a registration command may take before the program goes on
// without it (a DLL whose entry point hangs must not hang the setup).
constexpr DWORD kRegistrationPatience = 30000;

}  // namespace

void StartProgram(char* command, const char* folder, WORD show, DWORD wait) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = show;
    PROCESS_INFORMATION process = {};
    // A system program starts in the system folder: in the setup program's
    // folder (often a downloads folder) a DLL it loads could be anyone's.
    char system_folder[MAX_PATH];
    if (folder == nullptr && SystemFolderPath(system_folder, sizeof system_folder, nullptr)) folder = system_folder;
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) return;
    WaitForSingleObject(process.hProcess, wait);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void RunRegsvr(const char* dll_path, bool unregister) {
    char command[kCommandBufferSize];
    if (ComposeRegsvrCommand(command, sizeof command, dll_path, unregister))
        StartProgram(command, nullptr, SW_HIDE, kRegistrationPatience);
}

}  // namespace kq
