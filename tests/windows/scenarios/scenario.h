// A scenario is a row of data: a package, what exists before, and phases
// (an install through the wizard, a run without one, an uninstall), each
// with the message boxes it must show, how they are answered, its exit code
// and what must hold afterwards. One runner plays every row (runner.cpp);
// each row is its own CTest test, on the stub its row names.
//
// Texts may hold placeholders that the runner fills in for the row's run:
//   {app}       the row's application name ("KQ " + row name)
//   {scratch}   the run's own folder; {home} = {scratch}\home
//   {install}   {home}\My Apps\{app}, the folder typed on the folder page
//   {proposed}  the folder the page proposed
//   {temp}, {utemp}  TEMP of the setup program and of the uninstaller
//   {windows}, {programs}, {desktop}, {quicklaunch}  the system's folders
//   {data}      tests/data in the source tree; {built} the tests' build folder
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "harness/harness.h"

namespace kqscenario {

enum class Stub { kX64, kI686 };

// A file of a package: its stored name and its bytes, or "@probe NAME" for a
// probe program built beside the tests, "@file PATH" for a file's bytes, or
// "@random N" for N bytes that do not compress.
struct PackedFile {
    std::string name = {};
    std::string contents = {};
};

struct Package {
    std::string script = {};
    std::vector<PackedFile> files = {};
    std::string licence = "The scenario licence.\r\n";
    uint8_t staged_attributes = 0x20;  // of the script's and the licence's records
    // This record's length field is made to reach past the end of the file;
    // in a verified package, a byte of its stream is flipped instead.
    int damaged_record = -1;
    bool verified = false;  // with the integrity record kqpack writes
    std::string program = {};  // a whole setup program ("@file PATH") instead of the above
};

struct Prompt {
    std::string caption = {};
    int answer = {};
    std::string text = {};  // exact, when not empty
};

// What must hold after a phase.
enum class What {
    kFile,      // `where` exists; with `value`, holds exactly these bytes ("@stub": the stub's;
                // "@stub unsigned": the stub's with no checksum, as copied from a signed package)
    kGone,      // `where` does not exist
    kEmpty,     // the folder `where` holds nothing
    kLog,       // [Uninstall] of the log `where` is exactly `value` (key=value lines)
    kRegistry,  // `where` is "KEY|NAME" below HKLM; the REG_SZ holds `value` ("" : absent)
    kNoKey,     // the registry key `where` does not exist
    kLink,      // the shortcut `where` targets `value` ("TARGET (DESCRIPTION) in WORKING FOLDER")
};
struct Check {
    What what = {};
    std::string where = {};
    std::string value = {};
};

enum class Action {
    kInstall,    // the setup program, through the wizard
    kSetupOnly,  // the setup program, which must end before any wizard
    kUninstall,  // the command the uninstall entry stores
    kQuietUninstall,  // the entry's quiet command
    kUninstaller // {scratch}\bin\Dizizev3.exe (a copy of the stub) with `tail`
};

struct Phase {
    Action action = {};
    kqh::WizardWalk walk = {};
    std::vector<Prompt> prompts = {};
    DWORD exit_code = 0;
    std::vector<Check> checks = {};
    std::string tail = {};  // after the program's name (not for the uninstall entry's commands)
    bool windowless = false;  // no window may show
    // While the files go in, the backdrop must answer within a second, its
    // progress bar grow, and a close request change nothing (build/wine/
    // artefacts/progress.bmp shows it part-filled).
    bool watch_progress = false;
    // After the prompts, a close request to the backdrop (Alt+F4, End task).
    bool close_after_prompts = false;
};

struct Row {
    const char* name = "";
    Stub stub = {};
    Package package = {};
    // Files made before the first phase ("@dir" makes a folder, "@readonly "
    // before the contents a read-only file); a name starting "HKLM|" sets a
    // registry string: HKLM|KEY|NAME.
    std::vector<std::pair<std::string, std::string>> before = {};
    std::vector<Phase> phases = {};
    // Where the run may leave changes that the sentinel check accepts: paths
    // (and everything below them) in the run's folder and the user's folders.
    std::vector<std::string> leaves = {};
};

const std::vector<Row>& Rows();

}  // namespace kqscenario
