// An uninstall that cannot finish the job: the user has put a file of their
// own into the install folder. The file and its folder stay, everything the
// log lists goes, and the report says that some files could not be removed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/file_state.h"
#include "support/machine_registry.h"
#include "support/profile_entries.h"
#include "support/packages.h"
#include "support/scenario.h"
#include "support/shell_places.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr char kAppName[] = "E2E Keepsake";
constexpr char kUsersFile[] = "my notes.txt";
constexpr char kUsersText[] = "Written by the user after the installation.\r\n";

using UsersFile = Scenario;

TEST_F(UsersFile, StaysWithTheInstallFolderAndTheReportSaysSo) {
    const Installation app = Expect(kAppName, "E2E Keepsake", "KQ E2E Tests", {"E2E Keepsake.lnk"});
    ASSERT_NO_FATAL_FAILURE(Install(PackagePath("keepsake"), {{"Setup Complete", ClosingQuestion(kAppName), IDNO}}));
    ASSERT_TRUE(Exists(app.Log()));
    EXPECT_EQ(SectionNames(app.Log()).back(), "Uninstall");
    kqtest::WriteBytes(app.install_folder + "\\" + kUsersFile, kUsersText);

    EXPECT_EQ(UninstallWithYes(app),
              std::string(kAppName) + " has been uninstalled.\r\nSome files could not be removed.");
    EXPECT_EQ(FolderEntries(app.install_folder), std::vector<std::string>{kUsersFile});
    EXPECT_EQ(kqtest::ReadBytes(app.install_folder + "\\" + kUsersFile), kUsersText);
    EXPECT_FALSE(Exists(app.MenuFolder()));
    EXPECT_FALSE(MachineKeyExists(app.UninstallKey()));
}

}  // namespace
}  // namespace kqe2e
