// The demo's walk through a real installation and uninstallation: starts a
// setup program, answers the wizard with its default choices and Yes to every
// question, prints what the installation left (files, log, registry values,
// shortcuts), then runs the uninstall command exactly as the system's list of
// installed programs would, and prints what remains.
//
//   demo_walkthrough SETUP.exe SCREENSHOT.png
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "driver/message_boxes.h"
#include "driver/screen_capture.h"
#include "driver/setup_process.h"
#include "driver/wait.h"
#include "driver/window_finder.h"
#include "driver/wizard_driver.h"
#include "support/shell_link.h"

namespace {

constexpr int kAcceptButton = 101;
constexpr int kInstallFolderEdit = 1024;
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

int Fail(const std::string& what) {
    std::printf("demo: %s\n", what.c_str());
    return 1;
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

std::string ProfileValue(const char* section, const char* key, const std::string& path) {
    char value[256] = {};
    GetPrivateProfileStringA(section, key, "", value, sizeof value, path.c_str());
    return value;
}

std::string LinkTarget(const std::string& path) {
    const kqtest::LinkContents link = kqtest::LoadLink(path);
    return link.loaded ? link.target : "(unreadable)";
}

bool KeyGone(const std::string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return true;
    RegCloseKey(key);
    return false;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void ListFolder(const std::string& folder, const std::string& indent) {
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            std::printf("%s%s\\\n", indent.c_str(), name.c_str());
            ListFolder(folder + "\\" + name, indent + "  ");
        } else {
            std::printf("%s%-16s %6lu bytes\n", indent.c_str(), name.c_str(), found.nFileSizeLow);
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// Answers every message box the process shows with Yes (or OK), printing it,
// until the process ends.
void AnswerUntilExit(DWORD process_id, const std::function<bool()>& running) {
    kqgui::WaitUntil(
        [&] {
            for (const HWND window : kqgui::VisibleTopLevelWindowsOf(process_id)) {
                const std::string text = kqgui::MessageBoxText(window);
                if (kqgui::ClassOf(window) != kqgui::kDialogClass || text.empty()) continue;
                std::string shown = text;
                for (char& c : shown)
                    if (c == '\n' || c == '\r') c = ' ';
                std::printf("   [%s] %s -> %s\n", kqgui::TextOf(window).c_str(), shown.c_str(),
                            GetDlgItem(window, IDYES) != nullptr ? "Yes" : "OK");
                const HWND yes = GetDlgItem(window, IDYES);
                kqgui::ClickButton(window, yes != nullptr ? IDYES : IDOK);
                kqgui::WaitForGone(window, 5000);
            }
            return !running();
        },
        120000);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: demo_walkthrough SETUP.exe SCREENSHOT.png");
    CoInitialize(nullptr);
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    const std::string temp_folder = std::string(temp) + "kq-demo";
    CreateDirectoryA(temp_folder.c_str(), nullptr);
    // A new prefix has no Quick Launch folder; a real desktop has one.
    char appdata[MAX_PATH];
    SHGetSpecialFolderPathA(nullptr, appdata, CSIDL_APPDATA, TRUE);
    const std::string quick_launch = std::string(appdata) + "\\Microsoft\\Internet Explorer\\Quick Launch";
    SHCreateDirectoryExA(nullptr, quick_launch.c_str(), nullptr);

    std::printf("== install\n");
    kqgui::SetupProcess setup(argv[1], temp_folder, temp_folder);
    if (!setup.started()) return Fail("cannot start the setup program");
    kqgui::WizardDriver wizard(setup.id());
    if (!wizard.WaitUntilShown()) return Fail("no wizard");
    const HWND backdrop = kqgui::WaitForVisibleWindow(setup.id(), "Install");
    std::printf("   backdrop: \"%s\"; wizard page \"%s\"\n", kqgui::TextOf(backdrop).c_str(),
                wizard.CurrentPageCaption().c_str());
    if (kqgui::WritePng(kqgui::CaptureScreen(), argv[2])) std::printf("   screenshot: %s\n", argv[2]);

    if (!wizard.Press(kqgui::WizardButton::kNext)) return Fail("Next on the Welcome page");
    const HWND licence = kqgui::WaitForVisibleWindow(setup.id(), kqgui::kDialogClass, "Software License Agreement");
    if (licence == nullptr) return Fail("no licence dialog");
    std::printf("   licence dialog -> Accept\n");
    kqgui::ClickButton(licence, kAcceptButton);
    if (!wizard.WaitForPage(kqgui::kInstallWherePage)) return Fail("no Install-where page");
    const std::string folder = kqgui::ControlText(wizard.CurrentPage(), kInstallFolderEdit);
    std::printf("   install folder (default): %s\n", folder.c_str());
    if (!wizard.Press(kqgui::WizardButton::kNext) || !wizard.WaitForPage(kqgui::kFinishPage))
        return Fail("no Finish page");
    if (!wizard.Press(kqgui::WizardButton::kFinish)) return Fail("Finish");
    std::printf("   Finish\n");
    AnswerUntilExit(setup.id(), [&] { return setup.Running(); });
    std::printf("   setup ended, exit code %lu\n", setup.exit_code());

    const std::string log = folder + "\\Uninstal.inf";
    const std::string app = ProfileValue("Install", "AppName", log);
    std::printf("\n== installed files in %s\n", folder.c_str());
    ListFolder(folder, "   ");
    std::printf("\n== uninstall log [Uninstall]\n");
    char section[8192] = {};
    GetPrivateProfileSectionA("Uninstall", section, sizeof section, log.c_str());
    for (const char* line = section; *line != '\0'; line += lstrlenA(line) + 1) std::printf("   %s\n", line);
    std::printf("\n== registry\n");
    std::printf("   DisplayName     = %s\n", RegistryValue(kUninstallKey + app, "DisplayName").c_str());
    const std::string uninstall_command = RegistryValue(kUninstallKey + app, "UninstallString");
    std::printf("   UninstallString = %s\n", uninstall_command.c_str());
    std::printf("   RunOnce GrpConv = %s\n",
                RegistryValue("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce", "GrpConv").c_str());
    std::printf("\n== shortcuts\n");
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::string path = ProfileValue("Uninstall", ("file" + std::string(1, letter)).c_str(), log);
        if (path.empty()) break;
        if (path.size() > 4 && path.substr(path.size() - 4) == ".lnk")
            std::printf("   %s\n      -> %s\n", path.c_str(), LinkTarget(path).c_str());
    }
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string uninstaller = std::string(windows) + "\\Dizizev3.exe";
    WIN32_FILE_ATTRIBUTE_DATA data{};
    GetFileAttributesExA(uninstaller.c_str(), GetFileExInfoStandard, &data);
    std::printf("   uninstaller: %s (%lu bytes)\n", uninstaller.c_str(), data.nFileSizeLow);
    if (uninstall_command.empty()) return Fail("no uninstall entry");

    std::printf("\n== uninstall: %s\n", uninstall_command.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::string command = uninstall_command;
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return Fail("cannot start the uninstaller");
    CloseHandle(info.hThread);
    AnswerUntilExit(info.dwProcessId,
                    [&] { return WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT; });
    if (WaitForSingleObject(info.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info.hProcess, 1);
    CloseHandle(info.hProcess);

    std::printf("\n== after the uninstall\n");
    std::printf("   install folder %s: %s\n", folder.c_str(), Exists(folder) ? "still there" : "gone");
    std::printf("   uninstall entry: %s\n", KeyGone(kUninstallKey + app) ? "gone" : "still there");
    std::printf("   uninstaller %s: %s (it stays, like every uninstaller copy)\n", uninstaller.c_str(),
                Exists(uninstaller) ? "still there" : "gone");
    return Exists(folder) ? Fail("the install folder is still there") : 0;
}
