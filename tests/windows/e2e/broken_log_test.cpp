// An uninstall log that names no application (damaged, or written by hand):
// the uninstaller still asks, with an empty name, and then refuses, changing
// nothing.
#include <gtest/gtest.h>

#include <string>

#include "support/file_state.h"
#include "support/scenario.h"
#include "support/shell_places.h"
#include "support/test_package.h"
#include "support/wine_paths.h"

namespace kqe2e {
namespace {

using BrokenLog = Scenario;

TEST_F(BrokenLog, WithoutAppNameTheUninstallerAsksThenRefuses) {
    const std::string folder = folder_ + "\\E2E Broken";
    const std::string kept = folder + "\\program.txt";
    const std::string log = folder + "\\Uninstal.inf";
    const std::string shortcut = DesktopFolder() + "\\E2E Broken.lnk";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    kqtest::WriteBytes(kept, "installed\r\n");
    Owns(shortcut);
    kqtest::WriteBytes(shortcut, "a shortcut the first step would delete");
    kqtest::WriteBytes(log, "[Install]\r\nVerNum=1.0\r\n\r\n[Links]\r\nlinka=program.txt\r\nlinkfilea=E2E Broken.lnk\r\n\r\n"
                            "[Uninstall]\r\nfilea=" + kept + "\r\nfileb=" + log + "\r\ndir=" + folder + "\r\n");
    // The uninstaller is the stub under its uninstaller name.
    const std::string uninstaller = folder_ + "\\Dizizev3.exe";
    kqtest::WriteBytes(uninstaller, kqtest::StubBytes());

    const std::unique_ptr<ProgramRun> run = StartCommand(CommandLine(uninstaller, log));
    const ShownBox question = NextMessageBox(run->id());
    EXPECT_EQ(question.caption, "Uninstall");
    ASSERT_EQ(question.text, UninstallQuestion("")) << DescribeWindows(run->id());
    Answer(question, IDYES);
    const ShownBox refusal = NextMessageBox(run->id());
    EXPECT_EQ(refusal.caption, "Uninstall");
    ASSERT_EQ(refusal.text, "Uninstall error!  Unable to uninstall!") << DescribeWindows(run->id());
    EXPECT_TRUE(refusal.has_icon);
    Answer(refusal, IDOK);
    // No report follows: a message box would keep the program from ending.
    ASSERT_NO_FATAL_FAILURE(ExpectCleanEnd(*run));

    EXPECT_TRUE(Exists(kept));
    EXPECT_TRUE(Exists(log));
    EXPECT_TRUE(Exists(shortcut));
}

}  // namespace
}  // namespace kqe2e
