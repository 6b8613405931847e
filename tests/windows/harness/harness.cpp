// The harness: programs, windows, the wizard, packages, read-backs.
#include "harness.h"

#include <objbase.h>
#include <commctrl.h>
#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "package/record_format.h"
#include "ui/resources/resource_ids.h"

namespace kqh {
namespace {

constexpr char kDialogClass[] = "#32770";
constexpr int kMessageTextId = 0xFFFF;
constexpr int kWizardNext = 0x3024;
constexpr int kWizardFinish = 0x3025;

LRESULT Send(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wparam, lparam, SMTO_ABORTIFHUNG, 10000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

// This process's environment with TMP and TEMP naming `temp`.
std::string EnvironmentWithTemp(const std::string& temp) {
    std::string block;
    char* strings = GetEnvironmentStringsA();
    for (const char* entry = strings; *entry != '\0'; entry += std::strlen(entry) + 1)
        if (_strnicmp(entry, "TMP=", 4) != 0 && _strnicmp(entry, "TEMP=", 5) != 0) block.append(entry).push_back('\0');
    FreeEnvironmentStringsA(strings);
    for (const char* name : {"TMP=", "TEMP="}) block.append(name + temp).push_back('\0');
    block.push_back('\0');
    return block;
}

// A message box: the text static and one of the standard buttons; not the
// wizard (whose pages have statics too).
bool IsMessageBox(HWND window) {
    if (ClassOf(window) != kDialogClass || GetDlgItem(window, kMessageTextId) == nullptr ||
        GetDlgItem(window, kWizardNext) != nullptr)
        return false;
    for (int button : {IDOK, IDYES, IDNO, IDCANCEL, IDRETRY})
        if (GetDlgItem(window, button) != nullptr) return true;
    return false;
}

HWND FindWindowOf(DWORD process_id, const std::function<bool(HWND)>& wanted) {
    for (HWND window : VisibleWindowsOf(process_id))
        if (wanted(window)) return window;
    return nullptr;
}

HWND WaitForWindow(DWORD process_id, const std::function<bool(HWND)>& wanted) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(process_id, wanted)) != nullptr; });
    return found;
}

bool WaitForGone(HWND window) {
    return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); });
}

HWND CurrentPage(HWND frame) {
    return reinterpret_cast<HWND>(Send(frame, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool WaitForPage(HWND frame, const char* caption) {
    return WaitUntil([&] {
        const HWND page = CurrentPage(frame);
        return page != nullptr && TextOf(page) == caption;
    });
}

// Pages set their buttons by posted messages: wait until the button is
// usable, then post the press (Next on the Welcome page runs the licence
// dialog's modal loop inside the notification, so a sent press would block).
bool Press(HWND frame, int control, WPARAM press) {
    if (!WaitUntil([&] {
            const HWND button = IsWindow(frame) ? GetDlgItem(frame, control) : nullptr;
            return button != nullptr && IsWindowVisible(button) && IsWindowEnabled(button);
        }))
        return false;
    PostMessageA(frame, PSM_PRESSBUTTON, press, 0);
    return true;
}

HKEY OpenMachineKey(const std::string& key, bool wow64, REGSAM access) {
    HKEY handle = nullptr;
    const REGSAM view = wow64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, access | view, &handle) != ERROR_SUCCESS) return nullptr;
    return handle;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= timeout_ms) return false;
        Sleep(50);
    }
}

std::string WindowsPathOf(const std::string& unix_path) {
    std::string path = "Z:" + unix_path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void RemoveTree(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileA(path.c_str())) return;
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((path + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") RemoveTree(path + "\\" + name);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::string FreshFolder(const std::string& stem) {
    CreateDirectoryA("C:\\kq", nullptr);
    for (unsigned attempt = 0;; ++attempt) {
        const std::string folder =
            "C:\\kq\\" + stem + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
    }
}

std::string StubBytes(bool shipped_i686) {
    return ReadBytes(WindowsPathOf(shipped_i686 ? KQ_SHIPPED_STUB : KQ_STUB64)).substr(0, kq::kStubLength);
}

Program::Program(const std::string& command_line, const std::string& temp, const std::string& work) {
    // Wine starts its desktop process for the first program that asks for a
    // window, as that program's child: started from a program's job, it would
    // end with the job and take every later window with it.
    GetDesktopWindow();
    job_ = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    std::string command = command_line;
    std::string environment = EnvironmentWithTemp(temp);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // Suspended until it is in the job, so that nothing it starts escapes.
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED | DETACHED_PROCESS,
                        environment.data(), work.c_str(), &startup, &info))
        return;
    AssignProcessToJobObject(job_, info.hProcess);
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    id_ = info.dwProcessId;
}

Program::~Program() {
    if (process_ != nullptr) {
        TerminateJobObject(job_, 99);
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 30000);
        CloseHandle(process_);
    }
    CloseHandle(job_);
}

bool Program::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool Program::WaitForExit(DWORD timeout_ms) {
    return process_ != nullptr && WaitForSingleObject(process_, timeout_ms) == WAIT_OBJECT_0;
}

bool Program::WaitForEverythingStarted(DWORD timeout_ms) {
    return WaitUntil(
        [&] {
            JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
            return QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &accounting,
                                             sizeof accounting, nullptr) &&
                   accounting.ActiveProcesses == 0;
        },
        timeout_ms);
}

DWORD Program::exit_code() const {
    DWORD code = STILL_ACTIVE;
    if (process_ != nullptr) GetExitCodeProcess(process_, &code);
    return code;
}

std::vector<HWND> VisibleWindowsOf(DWORD process_id) {
    struct Search {
        DWORD process_id;
        std::vector<HWND> found;
    } search{process_id, {}};
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto* s = reinterpret_cast<Search*>(context);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->process_id && IsWindowVisible(window)) s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ClassOf(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TextOf(HWND window) {
    std::string text(static_cast<size_t>(Send(window, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<size_t>(Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

void SetText(HWND window, const std::string& text) {
    Send(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int button_id) {
    PostMessageA(GetDlgItem(dialog, button_id), BM_CLICK, 0, 0);
}

std::string DescribeWindows(DWORD process_id) {
    std::string text;
    for (HWND window : VisibleWindowsOf(process_id)) {
        text += "\n  [" + ClassOf(window) + "] \"" + TextOf(window) + "\"";
        if (IsMessageBox(window)) text += ": \"" + TextOf(GetDlgItem(window, kMessageTextId)) + "\"";
    }
    return text.empty() ? " none" : text;
}

Screen CaptureScreen() {
    Screen shot{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), {}, {}};
    BITMAPINFOHEADER& header = shot.header;
    header = {sizeof header, shot.width, shot.height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    shot.pixels.assign(shot.Stride() * static_cast<size_t>(shot.height), '\0');
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, shot.width, shot.height);
    const HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, shot.width, shot.height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    if (GetDIBits(memory, bitmap, 0, static_cast<UINT>(shot.height), shot.pixels.data(),
                  reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) != shot.height)
        shot.pixels.clear();
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}

COLORREF Screen::At(int x, int y) const {
    const size_t at = static_cast<size_t>(height - 1 - y) * Stride() + x * 3u;
    return at + 2 < pixels.size() ? RGB(pixels[at + 2], pixels[at + 1], pixels[at]) : CLR_INVALID;
}

bool SaveScreenshot(const std::string& path) {
    const Screen shot = CaptureScreen();
    if (shot.pixels.empty()) return false;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof shot.header;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(shot.pixels.size());
    WriteBytes(path, std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                         std::string(reinterpret_cast<const char*>(&shot.header), sizeof shot.header) + shot.pixels);
    return Exists(path);
}

MessageBoxShown NextMessageBox(const Program& program, DWORD timeout_ms) {
    MessageBoxShown box;
    WaitUntil([&] { return (box.window = FindWindowOf(program.id(), IsMessageBox)) != nullptr || !program.Running(); },
              timeout_ms);
    if (box.window == nullptr) return box;
    // A cross-process read can time out under load; a message box always has a caption.
    WaitUntil([&] { return !(box.caption = TextOf(box.window)).empty() || !IsWindow(box.window); }, 10000);
    box.text = TextOf(GetDlgItem(box.window, kMessageTextId));
    return box;
}

void Answer(const MessageBoxShown& box, int button) {
    for (int choice : {button, IDNO, IDOK, IDCANCEL}) {
        if (GetDlgItem(box.window, choice) != nullptr) {
            Click(box.window, choice);
            break;
        }
    }
    WaitForGone(box.window);
}

bool WalkWizard(DWORD process_id, const WizardWalk& walk, std::string* proposed_folder, std::string& failure) {
    const auto fail = [&](const char* what) {
        failure = std::string(what) + "; windows:" + DescribeWindows(process_id);
        return false;
    };
    const HWND frame = WaitForWindow(
        process_id, [](HWND w) { return ClassOf(w) == kDialogClass && GetDlgItem(w, kWizardNext) != nullptr; });
    if (frame == nullptr || !WaitForPage(frame, "Welcome to Setup")) return fail("no Welcome page");
    if (!walk.locked.empty() && MoveFileA(walk.locked.c_str(), (walk.locked + ".renamed").c_str())) {
        MoveFileA((walk.locked + ".renamed").c_str(), walk.locked.c_str());
        return fail((walk.locked + " could be renamed while the wizard was open").c_str());
    }
    if (walk.end == WizardEnd::kCancelOnWelcome) return Press(frame, IDCANCEL, PSBTN_CANCEL) || fail("no Cancel");
    if (!Press(frame, kWizardNext, PSBTN_NEXT)) return fail("Next unusable on the Welcome page");
    const HWND licence = WaitForWindow(process_id, [](HWND w) { return TextOf(w) == "Software License Agreement"; });
    if (licence == nullptr) return fail("no licence dialog");
    if (walk.end == WizardEnd::kExitInLicence) {
        Click(licence, KQ_ID_EXIT_SETUP);
        return true;
    }
    Click(licence, KQ_ID_ACCEPT);
    if (!WaitForPage(frame, "Where to install?")) return fail("no Install-where page");
    const HWND field = GetDlgItem(CurrentPage(frame), KQ_ID_INSTALL_FOLDER);
    if (proposed_folder != nullptr) *proposed_folder = TextOf(field);
    for (const std::string& refused : walk.refused) {
        SetText(field, refused);
        if (!Press(frame, kWizardNext, PSBTN_NEXT)) return fail("Next unusable on the Install-where page");
        const HWND box = WaitForWindow(process_id, IsMessageBox);
        if (box == nullptr) return fail(("no message for the folder \"" + refused + "\"").c_str());
        Click(box, IDOK);
        WaitForGone(box);
        if (TextOf(CurrentPage(frame)) != "Where to install?") return fail("the folder page went on");
    }
    if (!walk.folder.empty()) SetText(field, walk.folder);
    if (walk.browse) {
        Click(CurrentPage(frame), KQ_ID_BROWSE);
        const HWND browser = WaitForWindow(process_id, [](HWND w) { return TextOf(w) == "Select directory"; });
        if (browser == nullptr) return fail("no directory browser");
        Click(browser, IDOK);
        if (!WaitForGone(browser)) return fail("the directory browser stays");
    }
    if (walk.end == WizardEnd::kCancelOnFolderPage) return Press(frame, IDCANCEL, PSBTN_CANCEL) || fail("no Cancel");
    if (!Press(frame, kWizardNext, PSBTN_NEXT)) return fail("Next unusable on the Install-where page");
    if (!WaitForPage(frame, "Install")) return fail("no Finish page");
    if (walk.end == WizardEnd::kCancelOnFinishPage) return Press(frame, IDCANCEL, PSBTN_CANCEL) || fail("no Cancel");
    return Press(frame, kWizardFinish, PSBTN_FINISH) || fail("Finish unusable");
}

std::string ProfileText(const std::string& path, const std::string& section, const std::string& key) {
    char value[1024] = {};
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, path.c_str());
    return value;
}

std::string ProfileSection(const std::string& path, const std::string& section) {
    std::vector<char> pairs(1 << 20);
    const DWORD length =
        GetPrivateProfileSectionA(section.c_str(), pairs.data(), static_cast<DWORD>(pairs.size()), path.c_str());
    std::string text;
    for (const char* pair = pairs.data(); pair < pairs.data() + length && *pair != '\0'; pair += std::strlen(pair) + 1)
        text += (text.empty() ? "" : "\n") + std::string(pair);
    return text;
}

bool RegistryKeyExists(const std::string& key, bool wow64) {
    const HKEY handle = OpenMachineKey(key, wow64, KEY_READ);
    if (handle != nullptr) RegCloseKey(handle);
    return handle != nullptr;
}

std::string RegistryString(const std::string& key, const std::string& name, bool wow64) {
    const HKEY handle = OpenMachineKey(key, wow64, KEY_READ);
    if (handle == nullptr) return "";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = REG_NONE;
    RegQueryValueExA(handle, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    return type == REG_SZ ? std::string(data) : std::string();
}

void SetRegistryString(const std::string& key, const std::string& name, const std::string& data, bool wow64) {
    HKEY handle = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | (wow64 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY), nullptr, &handle,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
}

std::string LinkTarget(const std::string& path) {
    CoInitialize(nullptr);
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return "";
    IPersistFile* file = nullptr;
    WCHAR wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    std::string contents;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        link->GetPath(text, sizeof text, nullptr, 0);
        contents = text;
        text[0] = '\0';
        link->GetDescription(text, sizeof text);
        contents += std::string(" (") + text + ") in ";
        text[0] = '\0';
        link->GetWorkingDirectory(text, sizeof text);
        contents += text;
    }
    if (file != nullptr) file->Release();
    link->Release();
    return contents;
}

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
    return path;
}

std::string Lower(std::string text) {
    CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

void WalkTree(const std::string& folder, const TreeVisitor& visit) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) WalkTree(path, visit);
        visit(path, found);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

Tree TakeTree(const std::string& root) {
    Tree tree;
    WalkTree(root, [&](const std::string& path, const WIN32_FIND_DATAA& found) {
        TreeEntry entry;
        entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!entry.directory) {
            entry.size = uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow;
            entry.write_time = uint64_t{found.ftLastWriteTime.dwHighDateTime} << 32 | found.ftLastWriteTime.dwLowDateTime;
            if (entry.size <= (1u << 20)) entry.content = ReadBytes(path);
        }
        tree[Lower(path)] = entry;
    });
    return tree;
}

std::vector<std::string> TreeChanges(const Tree& before, const Tree& after) {
    std::vector<std::string> changes;
    for (const auto& [path, entry] : after) {
        const auto old = before.find(path);
        if (old == before.end())
            changes.push_back("added " + path);
        else if (!(old->second == entry))
            changes.push_back("changed " + path);
    }
    for (const auto& [path, entry] : before)
        if (after.find(path) == after.end()) changes.push_back("removed " + path);
    return changes;
}

}  // namespace kqh
