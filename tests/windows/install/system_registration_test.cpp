// The uninstall entry, run-once values, shortcuts and DLL command lines, read
// back from the registry, the shell-link object and the composed strings.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "install/run_once.h"
#include "install/shortcut.h"
#include "install/system_command.h"
#include "install/uninstall_entry.h"
#include "startup/text_buffers.h"
#include "support/shell_link.h"
#include "support/wine_paths.h"

namespace {

std::string ReadValue(const std::string& key_path, const char* name, bool* found = nullptr) {
    HKEY key = nullptr;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    DWORD type = 0;
    bool ok = RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS &&
              RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    if (key != nullptr) RegCloseKey(key);
    if (found != nullptr) *found = ok;
    if (!ok) return {};
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // The ANSI query adds a terminator of its own to a value stored without one.
    if (size > 0 && data[size - 1] == '\0') --size;
    return std::string(data, size);
}

bool KeyExists(const std::string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

void CreateKey(const std::string& key_path) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key_path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

std::string SystemFolder() {
    char folder[MAX_PATH];
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

// The process-wide buffers the registration reads, set up per test.
class SystemRegistration : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(kq::AllocateTextBuffers());
        script_ = folder_ + "\\Uninstal.inf";
        lstrcpyA(kq::g_text.script_path, script_.c_str());
    }
    void TearDown() override { kq::FreeTextBuffers(); }

    void SetName(const std::string& name) { lstrcpyA(kq::g_text.name, name.c_str()); }

    std::string folder_ = kqtest::MakeScratchFolder("registration");
    std::string script_;
    kq::SetupContext context_{};
};

const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

TEST_F(SystemRegistration, InstallSideWritesDisplayNameAndQuotedUninstallString) {
    kqtest::WriteBytes(script_, "[Install]\r\nVerNum=2.5\r\n");
    SetName("KQ Test App");
    lstrcpyA(context_.install_folder, "C:\\Program Files\\KQ Test App");
    kq::WriteUninstallEntry(context_, kq::kInstallSide, nullptr);

    EXPECT_EQ(ReadValue(kUninstallKey + "KQ Test App", "DisplayName"), "KQ Test App - 2.5");
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);
    EXPECT_EQ(ReadValue(kUninstallKey + "KQ Test App", "UninstallString"),
              "\"" + std::string(windows) + "\\Dizizev3.exe\" C:\\Program Files\\KQ Test App\\Uninstal.inf");

    kq::WriteUninstallEntry(context_, kq::kUninstallSide, script_.c_str());
    EXPECT_FALSE(KeyExists(kUninstallKey + "KQ Test App"));
}

TEST_F(SystemRegistration, MissingVersionLeavesTheSeparator) {
    kqtest::WriteBytes(script_, "[Install]\r\n");
    SetName("KQ NoVersion");
    lstrcpyA(context_.install_folder, "C:\\A");
    kq::WriteUninstallEntry(context_, kq::kInstallSide, nullptr);
    EXPECT_EQ(ReadValue(kUninstallKey + "KQ NoVersion", "DisplayName"), "KQ NoVersion - ");
    kq::WriteUninstallEntry(context_, kq::kUninstallSide, script_.c_str());
}

TEST_F(SystemRegistration, EmptyNameTouchesNeitherTheUninstallKeyNorItsSubkeys) {
    kqtest::WriteBytes(script_, "[Install]\r\nVerNum=1\r\n");
    CreateKey(kUninstallKey + "KQ Bystander");
    SetName("");
    lstrcpyA(context_.install_folder, "C:\\A");
    kq::WriteUninstallEntry(context_, kq::kInstallSide, nullptr);
    bool found = true;
    ReadValue(kUninstallKey, "DisplayName", &found);
    EXPECT_FALSE(found);
    kq::WriteUninstallEntry(context_, kq::kUninstallSide, script_.c_str());
    EXPECT_TRUE(KeyExists(kUninstallKey + "KQ Bystander"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kUninstallKey + "KQ Bystander").c_str());
}

TEST_F(SystemRegistration, UninstallSideRemovesSettingsSubkeysButKeepsTheApplicationKey) {
    kqtest::WriteBytes(script_, "[Install]\r\nCompReg=KQ Maker\r\n");
    const std::string app_key = "Software\\KQ Maker\\KQ Subkeys";
    CreateKey(app_key + "\\settings");
    CreateKey(app_key + "\\Recent File List");
    CreateKey(app_key + "\\kept");
    SetName("KQ Subkeys");
    kq::WriteUninstallEntry(context_, kq::kUninstallSide, script_.c_str());
    EXPECT_FALSE(KeyExists(app_key + "\\settings"));
    EXPECT_FALSE(KeyExists(app_key + "\\Recent File List"));
    EXPECT_TRUE(KeyExists(app_key + "\\kept"));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (app_key + "\\kept").c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, app_key.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\KQ Maker");
}

TEST_F(SystemRegistration, UninstallStringRefusesALogPathTheUninstallerCouldNotTake) {
    char command[1024];
    const std::string long_folder = "C:\\" + std::string(250, 'f');
    EXPECT_FALSE(kq::ComposeUninstallString(command, sizeof command, "C:\\WINDOWS", long_folder.c_str()));
    ASSERT_TRUE(kq::ComposeUninstallString(command, sizeof command, "C:\\WINDOWS", "C:\\Program Files\\App"));
    EXPECT_STREQ(command, "\"C:\\WINDOWS\\Dizizev3.exe\" C:\\Program Files\\App\\Uninstal.inf");
}

const std::string kRunOnceKey = "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";

void ClearRunOnceValues() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnceKey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, "GrpConv");
    RegDeleteValueA(key, "Wrapper");
    RegCloseKey(key);
}

TEST(RunOnce, WrapperOnlyWithASetupSubkey) {
    CreateKey(kRunOnceKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kRunOnceKey + "\\Setup").c_str());
    ClearRunOnceValues();
    kq::RunOnceStep(0);
    EXPECT_EQ(ReadValue(kRunOnceKey, "GrpConv"), "grpconv -o");
    bool found = true;
    ReadValue(kRunOnceKey, "Wrapper", &found);
    EXPECT_FALSE(found);

    CreateKey(kRunOnceKey + "\\Setup");
    ClearRunOnceValues();
    kq::RunOnceStep(0);
    EXPECT_EQ(ReadValue(kRunOnceKey, "Wrapper"), "runonce");
    EXPECT_EQ(ReadValue(kRunOnceKey, "GrpConv"), "grpconv -o");
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kRunOnceKey + "\\Setup").c_str());
    ClearRunOnceValues();
}

TEST(RunOnce, WritesNothingWithoutARunOnceKey) {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kRunOnceKey + "\\Setup").c_str());
    ClearRunOnceValues();
    ASSERT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, kRunOnceKey.c_str()), ERROR_SUCCESS);
    kq::RunOnceStep(0);
    EXPECT_FALSE(KeyExists(kRunOnceKey));
    CreateKey(kRunOnceKey);
}

TEST(SystemCommands, NameTheSystemProgramsByFullPath) {
    char command[kq::kCommandBufferSize];
    ASSERT_TRUE(kq::ComposeRegisterCommand(command, sizeof command, "C:\\App", "x.dll"));
    EXPECT_EQ(std::string(command), "\"" + SystemFolder() + "\\regsvr32.exe\" \"C:\\App\\x.dll\"");
    ASSERT_TRUE(kq::ComposeUnregisterCommand(command, sizeof command, "C:\\Program Files\\App\\x.dll"));
    EXPECT_EQ(std::string(command), "\"" + SystemFolder() + "\\regsvr32.exe\" -u \"C:\\Program Files\\App\\x.dll\"");
    ASSERT_TRUE(kq::ComposeSystemCommand(command, sizeof command, "runonce.exe", " -r"));
    EXPECT_EQ(std::string(command), "\"" + SystemFolder() + "\\runonce.exe\" -r");
}

TEST(SystemCommands, RefuseRatherThanCutAnOverlongCommand) {
    char command[64];
    EXPECT_FALSE(kq::ComposeRegisterCommand(command, sizeof command, "C:\\A rather long install folder", "x.dll"));
}

using kqtest::LinkContents;
using kqtest::LoadLink;

TEST(Shortcuts, SavedLinkCarriesTargetAndDescription) {
    const std::string folder = kqtest::MakeScratchFolder("links");
    const std::string target = folder + "\\app.exe";
    kqtest::WriteBytes(target, "MZ");
    kq::CreateShortcut(target.c_str(), "Hello World", (folder + "\\Hello World.lnk").c_str());
    const LinkContents link = LoadLink(folder + "\\Hello World.lnk");
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.description, "Hello World");
}

TEST(Shortcuts, PathOf259CharactersIsSavedWhole) {
    std::string folder = kqtest::MakeScratchFolder("longlink");
    // Deepen the folder until a shortcut path of exactly 259 characters fits.
    while (folder.size() + 1 + 50 + 4 < 259) {
        folder += "\\" + std::string(std::min<size_t>(40, 259 - folder.size() - 56), 'd');
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    std::string path = folder + "\\";
    path += std::string(259 - path.size() - 4, 'n') + ".lnk";
    ASSERT_EQ(path.size(), 259u);
    const std::string target = "C:\\target.exe";
    kq::CreateShortcut(target.c_str(), "long", path.c_str());
    EXPECT_TRUE(kqtest::FileExists(path));
    EXPECT_EQ(LoadLink(path).description, "long");
}

}  // namespace
