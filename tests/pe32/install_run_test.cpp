// End to end on the shipped i686 stub: the hello example installed through
// the wizard by the 32-bit setup program, then removed by the command its
// uninstall entry stores, which starts the 32-bit uninstaller copy in the
// Windows folder; that copy must be the package's first 43008 bytes. The
// entry is read from the 32-bit registry view, where a 32-bit installer's
// HKLM\Software lands on a 64-bit system.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <set>
#include <string>

#include "driver/message_boxes.h"
#include "driver/setup_process.h"
#include "driver/window_finder.h"
#include "driver/wizard_driver.h"
#include "program_run.h"
#include "support/wine_paths.h"

namespace {

using kqgui::WizardButton;
using kqtest::FileExists;
using kqtest::ReadBytes;

constexpr size_t kStubLength = 43008;
constexpr char kAppName[] = "Hello World";
constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Hello World";
constexpr int kAccept = 101;
// The example's files as kqpack stores them (relative to examples/hello/files).
constexpr const char* kExampleFiles[] = {"hello.bat", "readme.txt", "docs\\notes.txt"};

void PrintTime(const char* what, DWORD milliseconds) {
    std::printf("[pe32] %s: %lu ms\n", what, static_cast<unsigned long>(milliseconds));
    std::fflush(stdout);
}

bool IsWow64(DWORD process_id) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
    BOOL wow64 = FALSE;
    const bool known = process != nullptr && IsWow64Process(process, &wow64);
    if (process != nullptr) CloseHandle(process);
    return known && wow64;
}

// HKLM\`key` opened in the 32-bit registry view; null if it does not exist.
HKEY Open32BitMachineKey(const char* key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ | KEY_WOW64_32KEY, &opened) != ERROR_SUCCESS)
        return nullptr;
    return opened;
}

bool Exists32BitMachineKey(const char* key) {
    const HKEY opened = Open32BitMachineKey(key);
    if (opened != nullptr) RegCloseKey(opened);
    return opened != nullptr;
}

// A string value of HKLM\`key` in the 32-bit view; empty if there is none.
std::string Read32BitMachineValue(const char* key, const char* name) {
    const HKEY opened = Open32BitMachineKey(key);
    if (opened == nullptr) return "";
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(opened);
    return status == ERROR_SUCCESS && type == REG_SZ ? std::string(value) : std::string();
}

class Pe32Install : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryA(temp_.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(work_.c_str(), nullptr));
        package_ = ReadBytes(kqtest::WindowsPathOf(KQ_PE32_HELLO_SETUP));
        ASSERT_GT(package_.size(), kStubLength);
        kqtest::WriteBytes(program_, package_);
        // A new prefix has no Quick Launch folder; a user's system has one.
        char app_data[MAX_PATH];
        ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, app_data, CSIDL_APPDATA, TRUE));
        SHCreateDirectoryExA(nullptr, (std::string(app_data) + "\\Microsoft\\Internet Explorer\\Quick Launch").c_str(),
                             nullptr);
        char windows[MAX_PATH];
        ASSERT_GT(GetWindowsDirectoryA(windows, sizeof windows), 0u);
        uninstaller_copy_ = std::string(windows) + "\\Dizizev3.exe";
        DeleteFileA(uninstaller_copy_.c_str());
    }

    std::string InstallFolder() const {
        // The proposed default: the temp folder's drive root + "Program Files\" + DefDir.
        return temp_.substr(0, temp_.find('\\') + 1) + "Program Files\\" + kAppName;
    }

    static std::string ExampleFile(const char* stored_name) {
        std::string path = kqtest::WindowsPathOf(KQ_EXAMPLE_DIR) + "\\files\\" + stored_name;
        return ReadBytes(path);
    }

    // Runs the setup program through the wizard with the defaults, answers
    // No to running the program, and waits for its end.
    void Install() {
        kqgui::SetupProcess setup(program_, temp_, work_);
        ASSERT_TRUE(setup.started());
        EXPECT_TRUE(IsWow64(setup.id())) << "the shipped stub must run as a 32-bit process";
        kqgui::WizardDriver wizard(setup.id());
        ASSERT_TRUE(wizard.WaitUntilShown(kqpe32::kPatience)) << kqpe32::DescribeWindows(setup.id());
        ASSERT_TRUE(wizard.WaitForPage(kqgui::kWelcomePage)) << wizard.CurrentPageCaption();
        ASSERT_TRUE(wizard.Press(WizardButton::kNext));
        const HWND licence =
            kqgui::WaitForVisibleWindow(setup.id(), kqgui::kDialogClass, "Software License Agreement");
        ASSERT_NE(licence, nullptr) << kqpe32::DescribeWindows(setup.id());
        kqgui::ClickButton(licence, kAccept);
        ASSERT_TRUE(wizard.WaitForPage(kqgui::kInstallWherePage)) << wizard.CurrentPageCaption();
        ASSERT_TRUE(wizard.Press(WizardButton::kNext));
        ASSERT_TRUE(wizard.WaitForPage(kqgui::kFinishPage)) << wizard.CurrentPageCaption();
        const DWORD finish = GetTickCount();
        ASSERT_TRUE(wizard.Press(WizardButton::kFinish));

        const std::string name = kAppName;
        const std::string question = name + " Setup is complete. If you need help getting started,\nclick the " +
                                     name + " Help menu item on your Start Menu.\n\nRun " + name + "?";
        // On the way the script's Desk=1 and QLaunch=1 offer the extra
        // shortcuts: Yes to each.
        HWND complete = nullptr;
        kqpe32::WaitUntil([&] {
            for (HWND box : kqgui::VisibleTopLevelWindowsOf(setup.id())) {
                if (kqgui::ClassOf(box) != kqgui::kDialogClass || GetDlgItem(box, kqgui::kMessageTextId) == nullptr)
                    continue;
                const std::string caption = kqgui::TextOf(box);
                const std::string text = kqgui::MessageBoxText(box);
                if (caption == "Setup Complete" && text == question) complete = box;
                if (caption == "Setup" && GetDlgItem(box, IDYES) != nullptr && offers_.count(text) == 0) {
                    offers_.insert(text);
                    kqgui::ClickButton(box, IDYES);
                }
            }
            return complete != nullptr;
        });
        ASSERT_NE(complete, nullptr) << kqpe32::DescribeWindows(setup.id());
        EXPECT_EQ(offers_.count("Add a desktop icon?"), 1u);
        EXPECT_EQ(offers_.count("Add Quick Launch toolbar button?"), 1u);
        PrintTime("install: Finish to the closing question", GetTickCount() - finish);
        kqgui::ClickButton(complete, IDNO);
        // The clean-up step runs on a ten-second timer, then the program ends.
        ASSERT_TRUE(setup.WaitForExit(kqpe32::kPatience)) << kqpe32::DescribeWindows(setup.id());
        EXPECT_EQ(setup.exit_code(), 0u);
    }

    std::string folder_ = kqtest::MakeScratchFolder("pe32install");
    std::string temp_ = folder_ + "\\temp";
    std::string work_ = folder_ + "\\work";
    std::string program_ = folder_ + "\\hello-setup.exe";
    std::string package_;
    std::string uninstaller_copy_;
    std::set<std::string> offers_;
};

TEST_F(Pe32Install, InstallsTheExampleAndTheStoredUninstallCommandRemovesIt) {
    const DWORD start = GetTickCount();
    ASSERT_NO_FATAL_FAILURE(Install());
    PrintTime("install: start to exit", GetTickCount() - start);

    const std::string folder = InstallFolder();
    for (const char* file : kExampleFiles)
        EXPECT_EQ(ReadBytes(folder + "\\" + file), ExampleFile(file)) << file << " not installed as packed";
    EXPECT_EQ(ReadBytes(folder + "\\License.txt"), ReadBytes(kqtest::WindowsPathOf(KQ_EXAMPLE_DIR) + "\\license.txt"));
    EXPECT_TRUE(FileExists(folder + "\\Uninstal.inf")) << "no uninstall log";
    const std::string copy = ReadBytes(uninstaller_copy_);
    ASSERT_EQ(copy.size(), kStubLength) << "no uninstaller copy of the stub's size in the Windows folder";
    EXPECT_TRUE(copy == package_.substr(0, kStubLength)) << "the uninstaller copy differs from the package's stub";

    char desktop[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::string desktop_link = std::string(desktop) + "\\Hello World.lnk";
    EXPECT_TRUE(FileExists(desktop_link)) << "no desktop shortcut";

    const std::string command = Read32BitMachineValue(kUninstallKey, "UninstallString");
    EXPECT_EQ(command, "\"" + uninstaller_copy_ + "\" " + folder + "\\Uninstal.inf");
    ASSERT_FALSE(command.empty()) << "no uninstall entry in the 32-bit registry view";

    // What the system's Add/Remove Programs does: run the stored command.
    const DWORD uninstall_start = GetTickCount();
    kqpe32::ProgramRun uninstall(command, temp_);
    ASSERT_TRUE(uninstall.started()) << command;
    EXPECT_TRUE(uninstall.IsWow64()) << "the uninstaller copy must run as a 32-bit process";
    const HWND question = kqgui::WaitForMessageBox(
        uninstall.id(), "Uninstall",
        "Are you sure you want to completely\nremove " + std::string(kAppName) + " from your computer?",
        kqpe32::kPatience);
    ASSERT_NE(question, nullptr) << kqpe32::DescribeWindows(uninstall.id());
    kqgui::ClickButton(question, IDYES);
    const HWND report = kqgui::WaitForMessageBox(uninstall.id(), "Uninstall",
                                                 std::string(kAppName) + " has been uninstalled.", kqpe32::kPatience);
    ASSERT_NE(report, nullptr) << kqpe32::DescribeWindows(uninstall.id());
    kqgui::ClickButton(report, IDOK);
    ASSERT_TRUE(uninstall.WaitForExit()) << kqpe32::DescribeWindows(uninstall.id());
    PrintTime("uninstall: start to exit", GetTickCount() - uninstall_start);
    EXPECT_EQ(uninstall.exit_code(), 0u);

    for (const char* file : kExampleFiles) EXPECT_FALSE(FileExists(folder + "\\" + file)) << file << " left behind";
    EXPECT_FALSE(FileExists(folder)) << "the install folder is left behind";
    EXPECT_FALSE(Exists32BitMachineKey(kUninstallKey)) << "the uninstall entry is left behind";
    EXPECT_FALSE(FileExists(desktop_link)) << "the desktop shortcut is left behind";
}

}  // namespace
