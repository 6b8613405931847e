// Installing again over an installation: the new log replaces the old one
// (it does not add to it), files are written again, and the result
// uninstalls as cleanly as a single installation.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/file_state.h"
#include "support/machine_registry.h"
#include "support/packages.h"
#include "support/profile_entries.h"
#include "support/scenario.h"
#include "support/shell_places.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr char kAppName[] = "E2E Again";
constexpr char kLink[] = "E2E Again.lnk";

using Reinstall = Scenario;

TEST_F(Reinstall, ReplacesTheLogAndTheResultUninstallsCleanly) {
    const Installation app = Expect(kAppName, "E2E Again", "KQ E2E Tests", {kLink});
    const std::vector<Prompt> prompts = {{"Setup", "Add a desktop icon?", IDYES},
                                         {"Setup Complete", ClosingQuestion(kAppName), IDNO}};
    ASSERT_NO_FATAL_FAILURE(Install(PackagePath("again"), prompts));
    const std::vector<ProfileEntry> first = SectionEntries(app.Log(), "Uninstall");
    // Two files, one folder, the licence, the log, two shortcuts; dir, linkdir.
    ASSERT_EQ(first.size(), 9u) << testing::PrintToString(first);
    // Marks on the first installation that the second must undo.
    ASSERT_TRUE(WritePrivateProfileStringA("First", "left", "by the first installation", app.Log().c_str()));
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, app.Log().c_str());
    const std::string program = app.install_folder + "\\program.txt";
    kqtest::WriteBytes(program, "changed since\r\n");

    ASSERT_NO_FATAL_FAILURE(Install(PackagePath("again"), prompts));
    EXPECT_EQ(SectionNames(app.Log()), (std::vector<std::string>{"Install", "Links", "Uninstall"}));
    EXPECT_EQ(SectionEntries(app.Log(), "Uninstall"), first);
    EXPECT_EQ(kqtest::ReadBytes(program), DataFile("again/files/program.txt"));

    EXPECT_EQ(UninstallWithYes(app), std::string(kAppName) + " has been uninstalled.");
    EXPECT_FALSE(Exists(app.install_folder)) << testing::PrintToString(FolderEntries(app.install_folder));
    EXPECT_FALSE(Exists(app.MenuFolder()));
    EXPECT_FALSE(Exists(DesktopFolder() + "\\" + kLink));
    EXPECT_FALSE(MachineKeyExists(app.UninstallKey()));
}

}  // namespace
}  // namespace kqe2e
