// The scenario table: one row per way a person (or the system) runs the
// setup program or its uninstaller. Each behaviour is checked here once;
// what a unit test can catch more cheaply is checked there instead.
#include "scenario.h"

namespace kqscenario {
namespace {

using kqh::WizardEnd;

const std::string kScript =
    "[Install]\r\nAppName={app}\r\nAppBy=kqsetup scenarios\r\nDefDir={app}\r\nVerNum=2.5\r\nCompReg=KQ Tests\r\n"
    "FileNum=6\r\nDesk=1\r\nQLaunch=1\r\ndlla=marker.dll\r\n"
    "[Links]\r\nlinka=launch-probe.exe\r\nlinkfilea={app} Probe.lnk\r\nlinkb=readme.txt\r\nlinkfileb=Read.Me.lnk\r\n"
    "[Copymode]\r\nfilea=1\r\nfileb=1\r\nfilec=1\r\nfiled=1\r\nfilee=1\r\nfilef=1\r\n";

// A DLL to register, the first link's program, text, and the codec's
// vectors (decoded by the stub under test, tree rebuilds included).
const std::vector<PackedFile> kFiles = {
    {"marker.dll", "@probe marker.dll"},
    {"launch-probe.exe", "@probe launch-probe.exe"},
    {"readme.txt", "Read me.\r\n"},
    {"sub\\deep\\data.txt", "Deep data.\r\n"},
    {"data\\rebuild_200k.bin", "@file {data}\\lzhuf\\rebuild_200k.bin"},
    {"data\\text_70k.bin", "@file {data}\\lzhuf\\text_70k.bin"},
};

const std::string kClosingQuestion =
    "{app} Setup is complete. If you need help getting started,\nclick the {app} Help menu item on your Start "
    "Menu.\n\nRun {app}?";
const std::string kUninstallQuestion = "Are you sure you want to completely\nremove {app} from your computer?";
const std::string kUninstallKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{app}";
const std::string kAppKey = "Software\\KQ Tests\\{app}";

// The log of a full install into {install} with both extra shortcuts.
const std::string kFullLog =
    "filea={install}\\marker.dll\nfileb={install}\\launch-probe.exe\nfilec={install}\\readme.txt\n"
    "direa=sub\ndireb=sub\\deep\nfiled={install}\\sub\\deep\\data.txt\n"
    "direc=data\nfilee={install}\\data\\rebuild_200k.bin\nfilef={install}\\data\\text_70k.bin\n"
    "dlla={install}\\marker.dll\nfileg={install}\\License.txt\nfileh={install}\\Uninstal.inf\ndir={install}\n"
    "linkdir={programs}\\{app}\nfilei={programs}\\{app}\\{app} Probe.lnk\nfilej={desktop}\\{app} Probe.lnk\n"
    "filek={quicklaunch}\\{app} Probe.lnk\nfilel={programs}\\{app}\\Read.Me.lnk";

Phase FullInstall(int run_at_end) {
    return {.action = Action::kInstall,
            .walk = {.folder = "{install}", .locked = "{scratch}\\setup.exe"},
            .prompts = {{"Setup", IDYES, "Add a desktop icon?"},
                        {"Setup", IDYES, "Add Quick Launch toolbar button?"},
                        {"Setup Complete", run_at_end, kClosingQuestion}}};
}

std::vector<Check> NothingInstalled() {
    return {{What::kGone, "{install}"}, {What::kGone, "{programs}\\{app}"}, {What::kNoKey, kUninstallKey},
            {What::kEmpty, "{temp}"}};
}

std::vector<Row> MakeRows() {
    Row full{
        .name = "full",
        .stub = Stub::kX64,
        // The script and the licence come read-only, as from a read-only
        // checkout; every file's bytes are checked against the integrity record.
        .package = {.script = kScript, .files = kFiles, .staged_attributes = 0x21, .verified = true},
        .before = {{"HKLM|" + kAppKey + "\\settings|Colour", "blue"},
                   {"HKLM|" + kAppKey + "\\Recent File List|File1", "C:\\letter.txt"}},
        .phases = {FullInstall(IDNO),
                   {.action = Action::kUninstall,
                    .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                {"Uninstall", IDOK, "{app} has been uninstalled."}}}},
    };
    Phase& install = full.phases[0];
    install.checks = {
        {What::kFile, "{install}\\sub\\deep\\data.txt", "Deep data.\r\n"},
        {What::kFile, "{install}\\data\\rebuild_200k.bin", "@file {data}\\lzhuf\\rebuild_200k.bin"},
        {What::kFile, "{install}\\data\\text_70k.bin", "@file {data}\\lzhuf\\text_70k.bin"},
        {What::kFile, "{install}\\License.txt", "The scenario licence.\r\n"},
        {What::kFile, "{windows}\\Dizizev3.exe", "@stub"},
        {What::kGone, "{temp}\\launch-probe.txt"},
        {What::kFile, "{temp}\\marker-registered.txt", "{install}\\marker.dll"},
        {What::kLog, "{install}\\Uninstal.inf", kFullLog},
        {What::kRegistry, kUninstallKey + "|DisplayName", "{app} - 2.5"},
        {What::kRegistry, kUninstallKey + "|UninstallString", "\"{windows}\\Dizizev3.exe\" {install}\\Uninstal.inf"},
        {What::kRegistry, "Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce|GrpConv", "grpconv -o"},
        {What::kLink, "{programs}\\{app}\\{app} Probe.lnk", "{install}\\launch-probe.exe ({app} Probe) in {install}"},
        {What::kLink, "{desktop}\\{app} Probe.lnk", "{install}\\launch-probe.exe ({app} Probe) in {install}"},
        {What::kLink, "{quicklaunch}\\{app} Probe.lnk", "{install}\\launch-probe.exe ({app} Probe) in {install}"},
        {What::kLink, "{programs}\\{app}\\Read.Me.lnk", "{install}\\readme.txt (Read.Me) in {install}"},
    };
    full.phases[1].checks = {
        {What::kFile, "{utemp}\\marker-unregistered.txt", "{install}\\marker.dll"},
        {What::kGone, "{install}"},
        {What::kGone, "{programs}\\{app}"},
        {What::kGone, "{desktop}\\{app} Probe.lnk"},
        {What::kGone, "{quicklaunch}\\{app} Probe.lnk"},
        {What::kNoKey, kUninstallKey},
        {What::kNoKey, kAppKey + "\\settings"},
        {What::kNoKey, kAppKey + "\\Recent File List"},
        {What::kFile, "{windows}\\Dizizev3.exe", "@stub"},
    };
    // Files the install found and kept, a user's shortcut named like the
    // first link's, and a link whose name leads out of the Start-menu folder:
    // the uninstall removes none of the user's files.
    Row kept{
        .name = "kept",
        .stub = Stub::kX64,
        .package = {.script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=3\r\nDesk=1\r\n[Links]\r\n"
                              "linka=app.txt\r\nlinkfilea={app}.lnk\r\nlinkb=app.txt\r\nlinkfileb=..\\{app} Evil.lnk\r\n"
                              "[Copymode]\r\nfilea=3\r\nfileb=2\r\nfilec=1\r\n",
                    .files = {{"readme.txt", "new readme"}, {"notes.txt", "new notes"}, {"app.txt", "app"}}},
        .before = {{"{install}\\readme.txt", "the user's readme"},
                   {"{install}\\notes.txt", "the user's notes"},
                   {"{desktop}\\{app}.lnk", "the user's shortcut"},
                   {"HKLM|Software\\{app}\\settings|Colour", "another maker's"}},
        .phases = {{.action = Action::kInstall,
                    .walk = {.folder = "{install}"},
                    .prompts = {{"{install}\\notes.txt", IDNO, "File exists.  Overwrite?"},
                                {"Setup", IDNO, "Add a desktop icon?"},
                                {"Setup Complete", IDNO, kClosingQuestion}},
                    .checks = {{What::kLog, "{install}\\Uninstal.inf",
                                "filea=<kept under copy mode 3> {install}\\readme.txt\n"
                                "fileb=<kept, not overwritten> {install}\\notes.txt\nfilec={install}\\app.txt\n"
                                "filed={install}\\License.txt\nfilee={install}\\Uninstal.inf\ndir={install}\n"
                                "linkdir={programs}\\{app}\nfilef={programs}\\{app}\\{app}.lnk"},
                               {What::kGone, "{programs}\\{app} Evil.lnk"}}},
                   {.action = Action::kUninstall,
                    .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                {"Uninstall", IDOK, "{app} has been uninstalled.\r\nSome files could not be removed."}},
                    .checks = {{What::kFile, "{install}\\readme.txt", "the user's readme"},
                               {What::kFile, "{install}\\notes.txt", "the user's notes"},
                               {What::kFile, "{desktop}\\{app}.lnk", "the user's shortcut"},
                               // Without CompReg, no program's key is cleared.
                               {What::kRegistry, "Software\\{app}\\settings|Colour", "another maker's"},
                               {What::kGone, "{install}\\app.txt"}}}}};

    Row full_i686 = full;
    full_i686.name = "full-i686";
    full_i686.stub = Stub::kI686;

    // The proposed folder, kept through the directory browser (OK with its
    // label untouched); Yes to the closing question: the first link's program
    // starts after the clean-up has moved the log into place.
    Row launch{.name = "launch",
               .stub = Stub::kX64,
               .package = {.script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=1\r\n[Links]\r\n"
                                     "linka=launch-probe.exe\r\nlinkfilea={app}.lnk\r\n",
                           .files = {{"launch-probe.exe", "@probe launch-probe.exe"}}},
               .phases = {{.action = Action::kInstall,
                           .walk = {.browse = true},
                           .prompts = {{"Setup Complete", IDYES, kClosingQuestion}},
                           .checks = {{What::kFile, "{temp}\\launch-probe.txt",
                                       "program={proposed}\\launch-probe.exe\r\ncurrent folder={proposed}\r\n"
                                       "log in install folder=1\r\n"
                                       "staged script in temp=0\r\n"}},
                           .tail = "words, not switches"}},
               .leaves = {"{programs}\\{app}"}};

    // The shipped stub through the directory browser's hook and the start
    // of a program at the end.
    Row launch_i686 = launch;
    launch_i686.name = "launch-i686";
    launch_i686.stub = Stub::kI686;

    // Closed during the clean-up wait: the clean-up runs at once, and nothing
    // is started although the user said Yes.
    Row closed_in_wait = launch;
    closed_in_wait.name = "closed-in-wait";
    closed_in_wait.phases[0].close_after_prompts = true;
    closed_in_wait.phases[0].checks = {{What::kFile, "{proposed}\\Uninstal.inf"}, {What::kEmpty, "{temp}"}};

    const std::string small_script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=2\r\n";
    const Package small{.script = small_script, .files = {{"one.txt", "one"}, {"two.txt", "two"}}};
    Row exit_in_licence{.name = "exit-in-licence",
                        .stub = Stub::kX64,
                        .package = small,
                        .phases = {{.action = Action::kInstall,
                                    .walk = {.folder = "{install}", .end = WizardEnd::kExitInLicence},
                                    .exit_code = 1,
                                    .checks = NothingInstalled()}}};
    Row cancel_on_finish{.name = "cancel-on-finish",
                         .stub = Stub::kX64,
                         .package = small,
                         .phases = {{.action = Action::kInstall,
                                     // Folders the page refuses (empty, relative, a bad
                                     // character, too long, longer than the field's 255).
                                     .walk = {.folder = "{install}",
                                              .refused = {"", "Apps\\App", "C:\\A|B", "C:\\" + std::string(250, 'f'),
                                                          "C:\\" + std::string(300, 'g')},
                                              .end = WizardEnd::kCancelOnFinishPage},
                                     .exit_code = 1,
                                     .checks = NothingInstalled()}}};

    // A damaged file record stops the install at that file.
    Row damaged_file{
        .name = "damaged-file",
        .stub = Stub::kX64,
        .package = {.script = small_script,
                    .files = small.files,
                    .damaged_record = 3},
        .phases = {{.action = Action::kInstall,
                    .walk = {.folder = "{install}"},
                    .prompts = {{"Setup", IDOK, "File Error!"}, {"Setup Error!", IDOK, "Setup Error!"}},
                    .exit_code = 2,
                    .checks = {{What::kFile, "{install}\\one.txt", "one"},
                               {What::kGone, "{install}\\two.txt"},
                               {What::kNoKey, kUninstallKey}}}},
        .leaves = {"{install}"}};

    // A byte flipped in a verified package: refused before anything is made.
    Row damaged_package{.name = "damaged-package",
                        .stub = Stub::kX64,
                        .package = {.script = small_script, .files = small.files, .damaged_record = 3, .verified = true},
                        .phases = {{.action = Action::kSetupOnly,
                                    .prompts = {{"Setup", IDOK, "The setup file is damaged or incomplete.\n\n"
                                                                "Please obtain a new copy of the setup program."}},
                                    .exit_code = 2,
                                    .checks = NothingInstalled()}}};

    // Code-signed after kqpack built it: it installs and uninstalls, and the
    // uninstaller it leaves is the plain stub, without a signature of its own.
    Row signed_setup{.name = "signed",
                     .stub = Stub::kX64,
                     .package = {.program = "@file {built}\\signed-setup.exe"},
                     .phases = {{.action = Action::kInstall,
                                 .walk = {.folder = "{install}"},
                                 .prompts = {{"Setup Complete", IDNO, ""}},
                                 .checks = {{What::kFile, "{install}\\readme.txt", "Signed and verified.\r\n"},
                                            {What::kFile, "{windows}\\Dizizev3.exe", "@stub unsigned"}}},
                                {.action = Action::kUninstall,
                                 .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                             {"Uninstall", IDOK, "{app} has been uninstalled."}},
                                 .checks = {{What::kGone, "{install}"}, {What::kNoKey, kUninstallKey}}}}};

    // Unattended into the default folder: no window, nothing asked, the
    // offered shortcuts made, nothing started; then the quiet uninstall.
    const std::string silent_script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=2\r\nDesk=1\r\n"
                                      "[Links]\r\nlinka=launch-probe.exe\r\nlinkfilea={app}.lnk\r\n";
    const std::string default_folder = "C:\\Program Files\\{app}";
    Row silent{.name = "silent",
               .stub = Stub::kX64,
               .package = {.script = silent_script,
                           .files = {{"launch-probe.exe", "@probe launch-probe.exe"}, {"one.txt", "one"}},
                           .verified = true},
               .phases = {{.action = Action::kSetupOnly,
                           .checks = {{What::kFile, default_folder + "\\one.txt", "one"},
                                      {What::kLink, "{desktop}\\{app}.lnk", default_folder + "\\launch-probe.exe ({app}) in " + default_folder},
                                      {What::kGone, "{temp}\\launch-probe.txt"},
                                      {What::kEmpty, "{temp}"},
                                      {What::kRegistry, kUninstallKey + "|QuietUninstallString",
                                       "\"{windows}\\Dizizev3.exe\" /S " + default_folder + "\\Uninstal.inf"}},
                           .tail = "/S",
                           .windowless = true},
                          {.action = Action::kQuietUninstall,
                           .checks = {{What::kGone, default_folder}, {What::kGone, "{desktop}\\{app}.lnk"},
                                      {What::kNoKey, kUninstallKey}},
                           .windowless = true}},
               .leaves = {"{programs}\\{app}"}};

    // Into a folder with blanks given by /D=, with a run log; over a file
    // the user has, copy mode 2 keeps it.
    Row silent_folder{
        .name = "silent-folder",
        .stub = Stub::kX64,
        .package = {.script = small_script + "[Copymode]\r\nfileb=2\r\n", .files = small.files, .verified = true},
        .before = {{"{install}\\two.txt", "the user's two"}},
        .phases = {{.action = Action::kSetupOnly,
                    .checks = {{What::kFile, "{scratch}\\run.log",
                                "Installed: {install}\\one.txt\r\nKept: {install}\\two.txt\r\n"},
                               {What::kFile, "{install}\\one.txt", "one"},
                               {What::kFile, "{install}\\two.txt", "the user's two"},
                               {What::kRegistry, kUninstallKey + "|DisplayName", "{app} - "}},
                    .tail = "/LOG={scratch}\\run.log /S /D={install}",
                    .windowless = true}},
        .leaves = {"{install}", "{scratch}\\run.log", "{programs}\\{app}"}};
    Row silent_folder_i686 = silent_folder;
    silent_folder_i686.name = "silent-folder-i686";
    silent_folder_i686.stub = Stub::kI686;

    // An unknown switch is named and ends setup; unattended, a refused
    // folder ends it with its message in the run log. A tail without
    // switches changes nothing (the launch row).
    Row refused_switches{
        .name = "refused-switches",
        .stub = Stub::kX64,
        .package = small,
        .phases = {{.action = Action::kSetupOnly,
                    .prompts = {{"Setup", IDOK, "Unknown switch: /Q"}},
                    .exit_code = 2,
                    .checks = NothingInstalled(),
                    .tail = "/Q"},
                   {.action = Action::kSetupOnly,
                    .exit_code = 2,
                    .checks = {{What::kFile, "{scratch}\\run.log",
                                "Setup: The install folder must be a full path, such as C:\\Program Files\\Application.\r\n"},
                               {What::kNoKey, kUninstallKey}, {What::kEmpty, "{temp}"}},
                    .tail = "/S /LOG={scratch}\\run.log /D=My Apps",
                    .windowless = true}},
        .leaves = {"{scratch}\\run.log"}};

    // A long install: the backdrop shows its progress and keeps answering; a
    // close request meanwhile changes nothing.
    Row progress{.name = "progress",
                 .stub = Stub::kX64,
                 .package = {.script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=1\r\n",
                             .files = {{"big.bin", "@random 40000000"}}},
                 .phases = {{.action = Action::kInstall,
                             .walk = {.folder = "{install}"},
                             .prompts = {{"Setup Complete", IDNO, ""}},
                             .checks = {{What::kFile, "{install}\\big.bin", "@random 40000000"}},
                             .watch_progress = true}},
                 .leaves = {"{install}", "{programs}\\{app}"}};

    // Over a read-only file the new one goes in; a destination that cannot be
    // replaced (a folder of that name) asks Retry or Cancel, and Cancel stops
    // the install, leaving the folder and no temporary file.
    Row guarded{.name = "guarded",
                .stub = Stub::kX64,
                .package = small,
                .before = {{"{install}\\one.txt", "@readonly old one"}, {"{install}\\two.txt", "@dir"}},
                .phases = {{.action = Action::kInstall,
                            .walk = {.folder = "{install}"},
                            .prompts = {{"{install}\\two.txt", IDCANCEL, ""}, {"Setup Error!", IDOK, "Setup Error!"}},
                            .exit_code = 2,
                            .checks = {{What::kFile, "{install}\\one.txt", "one"}, {What::kEmpty, "{temp}"}}}},
                .leaves = {"{install}\\one.txt"}};

    // An application name that would place the Start-menu folder and the
    // uninstall entry elsewhere is refused like an empty one.
    Row bad_name{.name = "bad-name",
                 .stub = Stub::kX64,
                 .package = {.script = "[Install]\r\nAppName=KQ\\..\\..\\Planted\r\nDefDir=x\r\nFileNum=0\r\n"},
                 .phases = {{.action = Action::kSetupOnly,
                             .prompts = {{"Setup Error!", IDOK, "Setup Error!"}},
                             .exit_code = 2,
                             .checks = NothingInstalled()}}};

    // The script's own record damaged: the program ends before any window.
    Row damaged_script{.name = "damaged-script",
                       .stub = Stub::kX64,
                       .package = {.script = small_script,
                                   .files = small.files,
                                   .damaged_record = 0},
                       .phases = {{.action = Action::kSetupOnly,
                                   .prompts = {{"Setup", IDOK, "File Error!"}},
                                   .exit_code = 2,
                                   .checks = {{What::kEmpty, "{temp}"}}}}};
    Row damaged_script_i686 = damaged_script;
    damaged_script_i686.name = "damaged-script-i686";
    damaged_script_i686.stub = Stub::kI686;

    // A log without an application name: the uninstaller asks, then refuses
    // and touches nothing, the shortcut named by its first link included.
    Row broken_log{
        .name = "broken-log",
        .stub = Stub::kX64,
        .before = {{"{home}\\App\\program.txt", "installed\r\n"},
                   {"{desktop}\\Broken.lnk", "a shortcut"},
                   {"{home}\\App\\Uninstal.inf",
                    "[Links]\r\nlinka=program.txt\r\nlinkfilea=Broken.lnk\r\n[Uninstall]\r\n"
                    "filea={home}\\App\\program.txt\r\nfileb={home}\\App\\Uninstal.inf\r\ndir={home}\\App\r\n"}},
        .phases = {{.action = Action::kUninstaller,
                    .prompts = {{"Uninstall", IDYES,
                                 "Are you sure you want to completely\nremove  from your computer?"},
                                {"Uninstall", IDOK, "Uninstall error!  Unable to uninstall!"}},
                    .exit_code = 2,
                    .tail = "{home}\\App\\Uninstal.inf"}}};

    // Installed twice into one folder: the second log replaces the first; No
    // to the uninstall question changes nothing, and then the uninstall
    // removes everything.
    const std::string again_script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=2\r\n[Links]\r\n"
                                     "linka=program.txt\r\nlinkfilea={app}.lnk\r\n[Copymode]\r\nfilea=1\r\nfileb=2\r\n";
    const Phase again{.action = Action::kInstall,
                      .walk = {.folder = "{install}"},
                      .prompts = {{"Setup Complete", IDNO, kClosingQuestion}},
                      .checks = {{What::kLog, "{install}\\Uninstal.inf",
                                  "filea={install}\\program.txt\ndirea=conf\nfileb={install}\\conf\\defaults.ini\n"
                                  "filec={install}\\License.txt\nfiled={install}\\Uninstal.inf\ndir={install}\n"
                                  "linkdir={programs}\\{app}\nfilee={programs}\\{app}\\{app}.lnk"}}};
    Phase again_second = again;
    again_second.prompts.insert(again_second.prompts.begin(), {"{install}\\conf\\defaults.ini", IDYES,
                                                               "File exists.  Overwrite?"});
    Row reinstall{.name = "reinstall",
                  .stub = Stub::kX64,
                  .package = {.script = again_script,
                              .files = {{"program.txt", "program"}, {"conf\\defaults.ini", "[Defaults]\r\n"}}},
                  .phases = {again, again_second,
                             {.action = Action::kUninstall,
                              .prompts = {{"Uninstall", IDNO, kUninstallQuestion}},
                              .exit_code = 1,
                              .checks = {{What::kFile, "{install}\\Uninstal.inf"}}},
                             {.action = Action::kUninstall,
                              .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                          {"Uninstall", IDOK, "{app} has been uninstalled."}},
                              .checks = {{What::kGone, "{install}"}, {What::kNoKey, kUninstallKey}}}}};

    // The folders above the install folder that setup made go with it.
    Row parents{.name = "parents",
                .stub = Stub::kX64,
                .package = small,
                .phases = {{.action = Action::kInstall,
                            .walk = {.folder = "{home}\\Made\\Deeper\\{app}"},
                            .prompts = {{"Setup Complete", IDOK, "{app} Setup is complete."}}},
                           {.action = Action::kUninstall,
                            .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                        {"Uninstall", IDOK, "{app} has been uninstalled."}},
                            .checks = {{What::kGone, "{home}\\Made"}}}}};

    // Version 2 installed over version 1 drops two of its files and a
    // folder: the new log carries them after its own keys, and the
    // uninstall removes them.
    Row upgrade{.name = "upgrade",
                .stub = Stub::kX64,
                .package = {.script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=1\r\n",
                            .files = {{"program.txt", "version 2"}}},
                .before = {{"{install}\\program.txt", "version 1"},
                           {"{install}\\old-only.txt", "version 1"},
                           {"{install}\\old\\dir.txt", "version 1"},
                           {"{install}\\Uninstal.inf",
                            "[Install]\r\nAppName={app}\r\n[Uninstall]\r\nfilea={install}\\program.txt\r\n"
                            "fileb={install}\\old-only.txt\r\ndirea=old\r\nfilec={install}\\old\\dir.txt\r\n"
                            "filed={install}\\Uninstal.inf\r\ndir={install}\r\n"}},
                .phases = {{.action = Action::kInstall,
                            .walk = {.folder = "{install}"},
                            .prompts = {{"Setup Complete", IDOK, "{app} Setup is complete."}},
                            .checks = {{What::kLog, "{install}\\Uninstal.inf",
                                        "filea={install}\\program.txt\nfileb={install}\\License.txt\n"
                                        "filec={install}\\Uninstal.inf\ndir={install}\nlinkdir={programs}\\{app}\n"
                                        "filed={install}\\old-only.txt\nfilee={install}\\old\\dir.txt\ndirea=old"}}},
                           {.action = Action::kUninstall,
                            .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                        {"Uninstall", IDOK, "{app} has been uninstalled."}},
                            .checks = {{What::kGone, "{install}"}}}},
                .leaves = {"{install}"}};

    // Thousands of files in nested folders: each folder recorded once,
    // keys numbered after '~', the licence and the log on the two numbers
    // after the last file; the uninstall removes it all.
    Row thousands{.name = "thousands",
                  .stub = Stub::kX64,
                  .package = {.script = "[Install]\r\nAppName={app}\r\nDefDir={app}\r\nFileNum=2000\r\nCompReg=KQ Tests\r\n"},
                  // Without links the closing message only says so.
                  .phases = {{.action = Action::kInstall,
                              .walk = {.folder = "{install}"},
                              .prompts = {{"Setup Complete", IDOK, "{app} Setup is complete."}}},
                             {.action = Action::kUninstall,
                              .prompts = {{"Uninstall", IDYES, kUninstallQuestion},
                                          {"Uninstall", IDOK, "{app} has been uninstalled."}},
                              .checks = NothingInstalled()}},
                  .leaves = {"{programs}\\{app}"}};
    // No maker's key is created to be cleared, nor the folder above the
    // install folder removed, which was there before.
    thousands.phases[1].checks.push_back({What::kFile, "{home}\\My Apps"});
    thousands.phases[1].checks.push_back({What::kNoKey, "Software\\KQ Tests\\{app}"});
    std::string log;
    int files = 0, folders = 0;
    const auto key = [](const char* stem, int n) {
        return stem + (n <= 30 ? std::string(1, static_cast<char>('a' + n - 1)) : std::to_string(n)) + "=";
    };
    for (int i = 0; i < 2000; ++i) {
        const std::string top = "d" + std::to_string(i / 400), folder = top + "\\e" + std::to_string(i / 40 % 10);
        if (i % 400 == 0) log += key("dire", ++folders) + top + "\n";
        if (i % 40 == 0) log += key("dire", ++folders) + folder + "\n";
        const std::string name = folder + "\\f" + std::to_string(i) + ".txt";
        thousands.package.files.push_back({name, "file " + std::to_string(i)});
        thousands.phases[0].checks.push_back({What::kFile, "{install}\\" + name, "file " + std::to_string(i)});
        log += key("file", ++files) + "{install}\\" + name + "\n";
    }
    log += key("file", 2001) + "{install}\\License.txt\n" + key("file", 2002) + "{install}\\Uninstal.inf\ndir={install}\n" +
           "linkdir={programs}\\{app}";
    thousands.phases[0].checks.push_back({What::kLog, "{install}\\Uninstal.inf", log});

    return {full, full_i686, kept, launch, launch_i686, closed_in_wait, exit_in_licence, cancel_on_finish, damaged_file, damaged_script,
            damaged_script_i686, broken_log, reinstall, guarded, damaged_package, signed_setup, silent, silent_folder,
            silent_folder_i686, refused_switches, progress, thousands, upgrade, parents, bad_name};
}

}  // namespace

const std::vector<Row>& Rows() {
    static const std::vector<Row> rows = MakeRows();
    return rows;
}

}  // namespace kqscenario
