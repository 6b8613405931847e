// The bad-input run: scratch layout, dialogue with the program, sentinel.
#include "case_run.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "driver/message_boxes.h"
#include "driver/wait.h"
#include "driver/window_finder.h"
#include "driver/wizard_driver.h"
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace kqbad {
namespace {

constexpr int kAcceptButton = 101;
constexpr int kInstallFolderField = 1024;
constexpr int kWizardNextButton = 0x3024;
constexpr char kLicenceCaption[] = "Software License Agreement";
const std::string kUninstallKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A message box: the text static (0xFFFF) and one of the standard buttons.
// The licence dialog has a 0xFFFF icon but only buttons of its own.
bool IsMessageBox(HWND window) {
    if (kqgui::ClassOf(window) != kqgui::kDialogClass || GetDlgItem(window, kqgui::kMessageTextId) == nullptr)
        return false;
    if (GetDlgItem(window, kWizardNextButton) != nullptr) return false;
    for (int button : {IDOK, IDYES, IDNO, IDCANCEL})
        if (GetDlgItem(window, button) != nullptr) return true;
    return false;
}

HWND FindMessageBox(DWORD pid) {
    for (HWND window : kqgui::VisibleTopLevelWindowsOf(pid))
        if (IsMessageBox(window)) return window;
    return nullptr;
}

// Presses `preferred` if the box has it, else whichever standard button it has.
void Answer(HWND box, int preferred) {
    for (int button : {preferred, IDNO, IDOK, IDCANCEL}) {
        if (GetDlgItem(box, button) != nullptr) {
            kqgui::ClickButton(box, button);
            return;
        }
    }
}

void DeleteRegistryTree(const std::string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[256];
    for (;;) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        const std::string child = key_path + "\\" + name;
        DeleteRegistryTree(child);
        if (RegistryKeyExists(child)) break;  // could not delete: do not loop for ever
    }
    RegCloseKey(key);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key_path.c_str());
}

std::string Join(const std::vector<std::string>& paths) {
    std::string text;
    for (const std::string& path : paths) text += "\n    " + path;
    return text;
}

}  // namespace

std::string UninstallKeyOf(const std::string& app_name) {
    return kUninstallKeyPath + app_name;
}

bool RegistryKeyExists(const std::string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

std::string RegistryValue(const std::string& key_path, const char* name) {
    HKEY key = nullptr;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return data;
}

std::string ProgramsFolder() {
    char path[MAX_PATH] = {};
    SHGetSpecialFolderPathA(nullptr, path, CSIDL_PROGRAMS, TRUE);
    return path;
}

std::string ProfileText(const char* section, const char* key, const std::string& path) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, path.c_str());
    return value;
}

std::set<std::string> FilesUnder(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& [path, entry] : TakeTreeSnapshot(folder))
        if (!entry.directory) files.insert(path);
    return files;
}

std::string Script(const std::string& app_name, const std::string& install_lines, const std::string& rest) {
    return "[Install]\r\nAppName=" + app_name + "\r\nAppBy=kqsetup bad-input tests\r\n" + install_lines + rest;
}

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + "\\" + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

CaseRun::CaseRun(const std::string& label)
    : app_name_("KQ Bad " + label + " " + std::to_string(GetCurrentProcessId())) {
    scratch_ = kqtest::MakeScratchFolder("bad-" + label);
    temp_ = scratch_ + "\\temp";
    work_ = scratch_ + "\\work";
    home_ = scratch_ + "\\home";
    install_folder_ = home_ + "\\Apps\\App";
    installer_ = scratch_ + "\\setup.exe";
    uninstaller_ = scratch_ + "\\bin\\Dizizev3.exe";
    for (const std::string& folder : {temp_, work_, home_, home_ + "\\Apps", home_ + "\\Documents",
                                      home_ + "\\Documents\\Old", home_ + "\\Empty", scratch_ + "\\bin"})
        EXPECT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    kqtest::WriteBytes(home_ + "\\notes.txt", "The user's notes.\r\n");
    kqtest::WriteBytes(home_ + "\\Documents\\report.txt", "The user's report.\r\n");
    kqtest::WriteBytes(home_ + "\\Documents\\Old\\draft.txt", "The user's draft.\r\n");
    kqtest::WriteBytes(uninstaller_, kqtest::StubBytes());
}

CaseRun::~CaseRun() {
    process_.reset();
    DeleteRegistryTree(UninstallKeyOf(app_name_));
    DeleteRegistryTree("Software\\" + app_name_);
    RemoveTree(ProgramsFolder() + "\\" + app_name_);
    for (const std::string& folder : extra_folders_) RemoveTree(folder);
    if (!testing::Test::HasFailure()) RemoveTree(scratch_);
}

void CaseRun::WriteInstaller(const std::string& package) {
    kqtest::WriteBytes(installer_, kqtest::StubBytes() + package);
}

bool CaseRun::StartProgram(const std::string& program, const std::string& tail) {
    sentinel_ = TakeTreeSnapshot(scratch_, {temp_, install_folder_});
    process_ = std::make_unique<ProgramProcess>(program, tail, temp_, work_);
    EXPECT_TRUE(process_->started()) << "cannot start " << program;
    return process_->started();
}

bool CaseRun::StartInstaller() {
    return StartProgram(installer_, "");
}

bool CaseRun::StartUninstaller(const std::string& tail) {
    return StartProgram(uninstaller_, tail);
}

std::string CaseRun::DescribeWindows() const {
    std::string text;
    for (HWND window : kqgui::VisibleTopLevelWindowsOf(pid())) {
        text += "\n  [" + kqgui::ClassOf(window) + "] \"" + kqgui::TextOf(window) + "\"";
        if (IsMessageBox(window)) text += ": \"" + kqgui::MessageBoxText(window) + "\"";
    }
    return text.empty() ? " none" : text;
}

bool CaseRun::WalkWizard(const std::string& folder, std::string* proposed) {
    kqgui::WizardDriver wizard(pid());
    const auto fail = [&](const char* what) {
        ADD_FAILURE() << what << "; windows:" << DescribeWindows();
        return false;
    };
    if (!wizard.WaitUntilShown(kPatience)) return fail("no wizard");
    if (!wizard.WaitForPage(kqgui::kWelcomePage, kPatience)) return fail("no Welcome page");
    if (!wizard.Press(kqgui::WizardButton::kNext)) return fail("Next unusable on the Welcome page");
    const HWND licence = kqgui::WaitForVisibleWindow(pid(), kqgui::kDialogClass, kLicenceCaption, kPatience);
    if (licence == nullptr) return fail("no licence dialog");
    kqgui::ClickButton(licence, kAcceptButton);
    if (!wizard.WaitForPage(kqgui::kInstallWherePage, kPatience)) return fail("no Install-where page");
    const HWND field = GetDlgItem(wizard.CurrentPage(), kInstallFolderField);
    if (proposed != nullptr) *proposed = kqgui::TextOf(field);
    if (!folder.empty()) kqgui::SetText(field, folder);
    if (!wizard.Press(kqgui::WizardButton::kNext)) return fail("Next unusable on the Install-where page");
    if (!wizard.WaitForPage(kqgui::kFinishPage, kPatience)) return fail("no Finish page");
    if (!wizard.Press(kqgui::WizardButton::kFinish)) return fail("Finish unusable");
    return true;
}

std::optional<std::string> CaseRun::ExpectMessage(const std::string& caption, const std::optional<std::string>& text,
                                                  int button, DWORD timeout_ms) {
    HWND box = nullptr;
    kqgui::WaitUntil([&] { return (box = FindMessageBox(pid())) != nullptr || !process_->Running(); }, timeout_ms);
    if (box == nullptr) {
        ADD_FAILURE() << "expected the message \"" << caption << "\": "
                      << (process_->Running() ? "none shown; windows:" + DescribeWindows()
                                              : "the program ended first");
        return std::nullopt;
    }
    // Under load a cross-process read can time out: a message box always has a caption.
    std::string shown_caption;
    kqgui::WaitUntil([&] { return !(shown_caption = kqgui::TextOf(box)).empty() || !IsWindow(box); }, 10000);
    const std::string shown_text = kqgui::MessageBoxText(box);
    if (!IsWindow(box)) {
        ADD_FAILURE() << "expected the message \"" << caption << "\": a message box closed before it was answered";
        return std::nullopt;
    }
    EXPECT_EQ(shown_caption, caption) << "message text: " << shown_text;
    if (text) {
        EXPECT_EQ(shown_text, *text) << "caption: " << shown_caption;
    }
    Answer(box, button);
    if (!kqgui::WaitForGone(box, kPatience)) ADD_FAILURE() << "the message \"" << shown_caption << "\" stays";
    return shown_text;
}

bool CaseRun::ExpectClosingQuestion(DWORD timeout_ms) {
    const std::string name = app_name_;
    return ExpectMessage("Setup Complete",
                         name + " Setup is complete. If you need help getting started,\nclick the " + name +
                             " Help menu item on your Start Menu.\n\nRun " + name + "?",
                         IDNO, timeout_ms)
        .has_value();
}

void CaseRun::ExpectCleanEnd() {
    // The clean-up timer alone takes ten seconds.
    const DWORD start = GetTickCount();
    while (process_->Running() && GetTickCount() - start < kPatience) {
        HWND box = nullptr;
        kqgui::WaitUntil([&] { return (box = FindMessageBox(pid())) != nullptr || !process_->Running(); },
                         kPatience - std::min(kPatience, GetTickCount() - start));
        if (box == nullptr) break;
        ADD_FAILURE() << "unexpected message \"" << kqgui::TextOf(box) << "\": \"" << kqgui::MessageBoxText(box)
                      << "\"";
        Answer(box, IDNO);
        kqgui::WaitForGone(box, 5000);
    }
    if (!process_->WaitForExit(0)) {
        ADD_FAILURE() << "the program did not end; windows:" << DescribeWindows();
        return;
    }
    // A crash shows as another exit code (Wine's crash dialog is off).
    EXPECT_EQ(process_->exit_code(), 0u);
}

void CaseRun::ExpectNothingTouchedOutside(const std::vector<std::string>& may_remove) {
    const TreeChanges changes = CompareTrees(sentinel_, TakeTreeSnapshot(scratch_, {temp_, install_folder_}));
    std::vector<std::string> removed;
    for (const std::string& path : changes.removed) {
        const bool allowed = std::any_of(may_remove.begin(), may_remove.end(),
                                         [&](const std::string& listed) { return path == LowerCase(listed); });
        if (!allowed) removed.push_back(path);
    }
    EXPECT_TRUE(changes.added.empty()) << "written outside the design's places:" << Join(changes.added);
    EXPECT_TRUE(changes.changed.empty()) << "changed outside the design's places:" << Join(changes.changed);
    EXPECT_TRUE(removed.empty()) << "removed though no log lists it:" << Join(removed);
}

}  // namespace kqbad
