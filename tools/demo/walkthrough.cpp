// The demo's walk through a real installation and uninstallation: starts a
// setup program, answers the wizard with its default choices and Yes to every
// question, prints what the installation left (files, log, registry values,
// shortcuts), then runs the uninstall command exactly as the system's list of
// installed programs would, and prints what remains.
//
//   walkthrough SETUP.exe SCREENSHOT.bmp
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <string>

#include "harness/harness.h"

namespace {

const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

int Fail(const std::string& what) {
    std::printf("demo: %s\n", what.c_str());
    return 1;
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

// Answers every message box with Yes (or OK), printing it, until the program ends.
void AnswerUntilExit(kqh::Program& program) {
    for (kqh::MessageBoxShown box; (box = kqh::NextMessageBox(program)).window != nullptr;) {
        for (char& c : box.text)
            if (c == '\n' || c == '\r') c = ' ';
        std::printf("   [%s] %s -> %s\n", box.caption.c_str(), box.text.c_str(),
                    GetDlgItem(box.window, IDYES) != nullptr ? "Yes" : "OK");
        kqh::Answer(box, IDYES);
    }
    program.WaitForExit();
    std::printf("   ended, exit code %lu\n", program.exit_code());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return Fail("usage: walkthrough SETUP.exe SCREENSHOT.bmp");
    const std::string temp = kqh::FreshFolder("demo");
    // A new prefix has no Quick Launch folder; a real desktop has one.
    SHCreateDirectoryExA(
        nullptr, (kqh::SpecialFolder(CSIDL_APPDATA) + "\\Microsoft\\Internet Explorer\\Quick Launch").c_str(),
        nullptr);

    std::printf("== install\n");
    kqh::Program setup(std::string("\"") + argv[1] + "\"", temp, temp);
    if (!setup.started()) return Fail("cannot start the setup program");
    // Wine shows the page's caption on the wizard's frame.
    kqh::WaitUntil([&] {
        for (HWND window : kqh::VisibleWindowsOf(setup.id()))
            if (kqh::TextOf(window) == "Welcome to Setup") return true;
        return false;
    });
    Sleep(1000);
    if (kqh::SaveScreenshot(argv[2])) std::printf("   screenshot: %s\n", argv[2]);
    std::string folder;
    std::string failure;
    if (!kqh::WalkWizard(setup.id(), {}, &folder, failure)) return Fail(failure);
    std::printf("   licence accepted; install folder (default): %s; Finish\n", folder.c_str());
    AnswerUntilExit(setup);
    // The program started at the end (Yes to "Run ...?") may still hold its
    // file, which the uninstall below is to remove.
    setup.WaitForEverythingStarted();

    const std::string log = folder + "\\Uninstal.inf";
    const std::string app = kqh::ProfileText(log, "Install", "AppName");
    std::printf("\n== installed files in %s\n", folder.c_str());
    ListFolder(folder, "   ");
    std::printf("\n== uninstall log [Uninstall]\n   ");
    for (char c : kqh::ProfileSection(log, "Uninstall")) std::printf(c == '\n' ? "\n   " : "%c", c);
    std::printf("\n\n== registry\n");
    std::printf("   DisplayName     = %s\n", kqh::RegistryString(kUninstallKey + app, "DisplayName", false).c_str());
    const std::string command = kqh::RegistryString(kUninstallKey + app, "UninstallString", false);
    std::printf("   UninstallString = %s\n", command.c_str());
    std::printf("\n== shortcuts\n");
    for (char letter = 'a'; letter <= 'z'; ++letter) {
        const std::string path = kqh::ProfileText(log, "Uninstall", std::string("file") + letter);
        if (path.size() > 4 && path.substr(path.size() - 4) == ".lnk")
            std::printf("   %s\n      -> %s\n", path.c_str(), kqh::LinkTarget(path).c_str());
    }
    if (command.empty()) return Fail("no uninstall entry");

    std::printf("\n== uninstall: %s\n", command.c_str());
    kqh::Program uninstall(command, temp, temp);
    AnswerUntilExit(uninstall);
    std::printf("\n== after the uninstall\n");
    std::printf("   install folder: %s\n", kqh::Exists(folder) ? "still there" : "gone");
    std::printf("   uninstall entry: %s\n", kqh::RegistryKeyExists(kUninstallKey + app, false) ? "still there" : "gone");
    return kqh::Exists(folder) ? Fail("the install folder is still there") : 0;
}
