// Yes to the closing question: once the clean-up has moved the log and the
// window is told to close, the first link's target is started.
#include <gtest/gtest.h>

#include <string>

#include "driver/wait.h"
#include "support/file_state.h"
#include "support/packages.h"
#include "support/scenario.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

constexpr char kAppName[] = "E2E Launch";

using LaunchAtEnd = Scenario;

TEST_F(LaunchAtEnd, YesStartsTheFirstLinksTargetAfterTheCleanUp) {
    const Installation app = Expect(kAppName, "E2E Launch", "", {"E2E Launch.lnk"});
    ASSERT_NO_FATAL_FAILURE(Install(PackagePath("launch"), {{"Setup Complete", ClosingQuestion(kAppName), IDYES}}));

    // The probe inherits the setup program's temp folder and reports there.
    const std::string marker = temp_folder_ + "\\launch-probe.txt";
    ASSERT_TRUE(kqgui::WaitUntil([&] { return Exists(marker); })) << "the first link's target was not started";
    EXPECT_EQ(kqtest::ReadBytes(marker), "program=" + app.install_folder +
                                             "\\launch-probe.exe\r\n"
                                             "log in install folder=1\r\n"
                                             "staged script in temp=0\r\n");
}

}  // namespace
}  // namespace kqe2e
