// The one harness of the Windows-side tests: starting a program under test
// and ending everything it left, answering its message boxes, walking its
// wizard, building packages, and reading back what a run left behind (files,
// INI values, registry values in either view, shortcuts, a whole folder tree).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/damaged_records.h"

namespace kqh {

// Long enough for a loaded machine running Wine and qemu; a passing run waits far less.
inline constexpr DWORD kPatience = 90000;

bool WaitUntil(const std::function<bool()>& done, DWORD timeout_ms = kPatience);

// ---- files -----------------------------------------------------------------
std::string WindowsPathOf(const std::string& unix_path);  // a build-tree path as Wine's Z: drive shows it
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
void RemoveTree(const std::string& path);
// A fresh, empty folder C:\kq\<stem>-<pid>-<n>; ends without a backslash.
std::string FreshFolder(const std::string& stem);

// ---- packages ----------------------------------------------------------------
// The x86_64 stub (what the in-process tests and most scenarios run), or the
// shipped i686 one.
std::string StubBytes(bool shipped_i686 = false);

// ---- programs ----------------------------------------------------------------
// A program under test, started in a job of its own so that whatever it
// starts (regsvr32, the program launched at the end) ends with it; with TMP
// and TEMP naming `temp` and `work` as its current folder.
class Program {
public:
    Program(const std::string& command_line, const std::string& temp, const std::string& work);
    ~Program();  // ends the program and everything in its job
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD id() const { return id_; }
    bool Running() const;
    bool WaitForExit(DWORD timeout_ms = kPatience);
    // Waits until nothing the program started runs any more either.
    bool WaitForEverythingStarted(DWORD timeout_ms = kPatience);
    DWORD exit_code() const;

private:
    HANDLE process_ = nullptr;
    HANDLE job_ = nullptr;
    DWORD id_ = 0;
};

// ---- windows -----------------------------------------------------------------
std::vector<HWND> VisibleWindowsOf(DWORD process_id);
std::string ClassOf(HWND window);
std::string TextOf(HWND window);  // WM_GETTEXT with a timeout: works across processes
// The process's visible windows and their texts, for failure messages.
std::string DescribeWindows(DWORD process_id);
// The screen's pixels, copied out (Wine's GetPixel on the screen sees no
// other process's windows); empty pixels when the copy failed.
struct Screen {
    int width, height;
    std::string pixels;  // 24-bit rows, bottom-up, each padded to 4 bytes
    BITMAPINFOHEADER header;
    COLORREF At(int x, int y) const;
    size_t Stride() const { return (static_cast<size_t>(width) * 3 + 3) & ~size_t{3}; }  // bytes per row
};
Screen CaptureScreen();
// The screen as a 24-bit BMP file, kept for people to look at.
bool SaveScreenshot(const std::string& path);

struct MessageBoxShown {
    HWND window = nullptr;  // null: none came
    std::string caption = {};
    std::string text = {};
};
// The next message box of the process; none when it ends or the time passes.
MessageBoxShown NextMessageBox(const Program& program, DWORD timeout_ms = kPatience);
// Presses `button` (or, when the box lacks it, No, then OK) and waits for the box to go.
void Answer(const MessageBoxShown& box, int button);

// How a walk through the wizard ends.
enum class WizardEnd { kFinish, kCancelOnWelcome, kExitInLicence, kCancelOnFolderPage, kCancelOnFinishPage };
struct WizardWalk {
    std::string folder = {};   // typed on the folder page; empty keeps the proposal
    // Typed on the folder page first, each with Next, which must bring a
    // message and keep the page.
    std::vector<std::string> refused = {};
    // A file that must not be renamable while the wizard is open (the setup
    // program, which reads its records from its own file).
    std::string locked = {};
    bool browse = false;  // passes through the directory browser (OK) before Next
    WizardEnd end = WizardEnd::kFinish;
};
// Walks the wizard; false (with the reason in `failure`) when a step is not possible.
bool WalkWizard(DWORD process_id, const WizardWalk& walk, std::string* proposed_folder, std::string& failure);

// ---- reading back --------------------------------------------------------------
std::string ProfileText(const std::string& path, const std::string& section, const std::string& key);
// "key=value" lines of a section in file order, joined with '\n'.
std::string ProfileSection(const std::string& path, const std::string& section);
// HKLM, in the 32-bit view when `wow64` (what the shipped stub sees).
bool RegistryKeyExists(const std::string& key, bool wow64);
std::string RegistryString(const std::string& key, const std::string& name, bool wow64);
void SetRegistryString(const std::string& key, const std::string& name, const std::string& data, bool wow64);
// A shortcut's target and description, "" when it cannot be loaded.
std::string LinkTarget(const std::string& path);
std::string SpecialFolder(int csidl);

// Calls `visit` for each file and folder below `folder`, a folder after
// everything it holds.
using TreeVisitor = std::function<void(const std::string& path, const WIN32_FIND_DATAA& found)>;
void WalkTree(const std::string& folder, const TreeVisitor& visit);

struct TreeEntry {
    bool directory = false;
    uint64_t size = 0;
    uint64_t write_time = 0;
    std::string content;  // files up to 1 MiB
    bool operator==(const TreeEntry&) const = default;
};
using Tree = std::map<std::string, TreeEntry>;  // by lower-case path
Tree TakeTree(const std::string& root);
// The paths added, changed or removed from `before` to `after`, one a line.
std::vector<std::string> TreeChanges(const Tree& before, const Tree& after);
std::string Lower(std::string text);

}  // namespace kqh
