// The setup checker, one table: a script and the files to package (and maybe
// a licence) in, every finding out, in order, each known by the start of its
// text ("where: severity: subject ..."). A row lists all its errors and
// warnings, and all its notes when it lists one, so a spurious finding fails
// as surely as a missing one. (Most scripts here, without CompReg or links,
// would earn the same two notes.)
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "check/install_plan.h"
#include "check/setup_check.h"
#include "project/script_rewrite.h"

namespace {

struct Row {
    const char* name;
    std::string script;
    std::vector<std::string> files;
    std::vector<std::string> findings;
    bool files_known = true;
    std::optional<std::string> licence = std::nullopt;
};

// Line 4 is FileNum; `rest` starts at line 5.
std::string Script(size_t file_num, const std::string& rest = "") {
    return "[Install]\nAppName=Demo\nDefDir=Demo\nFileNum=" + std::to_string(file_num) + "\n" + rest;
}

std::vector<std::string> Names(size_t count, const std::string& prefix = "f") {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i) + ".dat");
    return names;
}

std::vector<Row> Rows() {
    // Two links, the first with desktop and Quick Launch shortcuts: six file keys after the files.
    const std::string links = "Desk=1\nQLaunch=1\n[Links]\nlinka=a\\b\\f0.dat\nlinkfilea=A.lnk\nlinkb=a\\b\\f1.dat\nlinkfileb=B.lnk\n";
    // "C:\Program Files\" + DefDir + "\" + a name of `fits` is 255 characters.
    const std::string def_dir = "[Install]\nAppName=A\nDefDir=" + std::string(100, 'd') + "\nFileNum=2\n", fits(137, 'n');
    const std::string windows = "[Install]\nAppName=A\nDefDir=A\nFileNum=1\n[Copymode]\nfilea=8\n";
    const std::string latin = "AppBy=Caf\xC3\xA9\nVerNum=a \xE2\x86\x92 b\nCompReg=bell\x07\nAppFile=\x81\n";
    const std::string layout = "stray=1\n[Install]\nAppName=A\nDefDir=A\nAppName=B\nFileNm=2\nVerNum 1.0\nAppBy\n"
                               "; a comment\n[Link]\nlinka=x\n[install]\nAppBy=late\n";
    const std::string shortcuts = "[Links]\nlinka=a.exe\nlinkfilea=App\nlinkb=a.exe\nlinkc=a.exe\nlinkfilec=App.txt\n"
                                  "linkd=a.exe\nlinkfiled=sub\\A.lnk\nlinke=a.exe\nlinkfilee=My.App.LNK\n";
    const std::string reg = "setup.inf:1: note: [Install] CompReg: missing",
                      run = "setup.inf: note: [Links] linka: missing, so setup ends with \"Demo Setup is complete.\"";
    return {
        {"sound", Script(2, "Desk=1\nQLaunch=1\ndlla=lib.dll\n[Links]\nlinka=app.exe\nlinkfilea=Demo.lnk\n"
                            "[Copymode]\nfilea=3\nfileb=2\n"), {"app.exe", "lib.dll"}, {}},
        {"file_num_short", Script(2), Names(3), {"setup.inf:4: error: [Install] FileNum: 2, but 3 files"}},
        {"file_num_over", Script(4), Names(3), {"setup.inf:4: error: [Install] FileNum: 4, but only 3 files"}},
        {"file_num_missing", "[Install]\nAppName=D\nDefDir=D\n", Names(1), {"setup.inf:1: error: [Install] FileNum: missing"}},
        {"no_files_no_file_num", "[Install]\nAppName=D\nDefDir=D\n", {}, {}},
        {"app_name_empty", "[Install]\nAppName=\"\"\nDefDir=D\n", {}, {"setup.inf:2: error: [Install] AppName: missing"}},
        {"install_missing", "DefDir=D\n", {}, {"setup.inf:1: warning: DefDir: outside any section",
         "setup.inf: error: [Install]: missing", "setup.inf: error: [Install] AppName", "setup.inf: error: [Install] DefDir: missing"}},
        {"app_name_not_plain", "[Install]\nAppName=X\\..\\Planted\nDefDir=D\n", {}, {"setup.inf:2: error: [Install] "
         "AppName: \"X\\..\\Planted\" holds the character '\\'"}},
        {"names_of_dots", "[Install]\nAppName=..\nDefDir=\\\n", {}, {"setup.inf:2: error: [Install] AppName: \"..\" holds "
         "only dots", "setup.inf:3: error: [Install] DefDir: missing"}},
        {"app_name_longest", "[Install]\nAppName=" + std::string(203, 'n') + "\nDefDir=D\n", {}, {}},
        {"app_name_too_long", "[Install]\nAppName=" + std::string(204, 'n') + "\nDefDir=D\n", {},
         {"setup.inf:2: error: [Install] AppName: 204 characters"}},
        {"value_longest", Script(0, "AppBy=\"" + std::string(254, 'b') + "\"\n"), {}, {}},
        {"value_too_long", Script(0, "AppBy=" + std::string(255, 'b') + "\n"), {}, {"setup.inf:5: error: [Install] AppBy: 255"}},
        {"file_keys_lettered", Script(24, links), Names(24, "a\\b\\f"), {reg}},
        {"file_keys_numbered", Script(2000, links), Names(2000, "a\\b\\f"),
         {reg, "setup.inf:4: note: [Uninstall]: 1976 files and 2 folders would stay"}},
        // Keys 31 on: the older letter wins unless empty; "file30" is no key.
        {"copymode_both_forms", Script(32, "dlla=f30.dat\ndllb=f31.dat\n[Copymode]\nfile\x7F=8\nfile31=1\nfile\x80=\n"
                                           "file32=8\nfile30=8\n"), Names(32),
         {"setup.inf:8: warning: [Copymode] file\\x7F: a letter above '~'", "setup.inf:10: warning: [Copymode] file\\x80",
          "setup.inf:12: warning: [Copymode] file30: not a key", reg, "setup.inf:5: warning: [Install] dlla: \"f30.dat\" is "
          "installed into the Windows", "setup.inf:6: warning: [Install] dllb: \"f31.dat\" is installed into the Windows",
          run, "setup.inf:4: note: [Uninstall]: 4 files"}},
        {"default_path_longest", def_dir, {fits, "x"}, {}},
        {"default_path_too_long", def_dir, {fits + "n", "x"}, {"setup.inf:3: error: [Install] DefDir: under the default "
         "install folder \"C:\\Program Files\\" + std::string(100, 'd') + "\" the path of the file \"" + fits + "n\" would "
         "be 256 characters"}},
        {"log_path_too_long", "[Install]\nAppName=A\nDefDir=" + std::string(226, 'd') + "\n", {},
         {"setup.inf:3: error: [Install] DefDir: under the default install folder"}},
        {"windows_folder_path_longest", windows, {std::string(244, 'w')}, {}},
        {"windows_folder_path_too_long", windows, {std::string(245, 'w')}, {"arg1: error: \"www"}},
        {"stored_names", Script(10), {"..\\e", "s\\..\\..\\e", "\\abs", "C:x", "a/b", "s\\\\x", "con.txt", "a?",
                                      "...\\a.txt", ".. \\b.txt"},
         {"arg1: error: \"..\\e\": cannot be installed: it holds '..'", "arg2: error: \"s\\..\\..\\e\": cannot be "
          "installed: it holds '..'", "arg3: error: \"\\abs\": cannot be installed: it is absolute", "arg4: error: \"C:x\":"
          " cannot be installed: it names a drive", "arg5: error: \"a/b\": cannot be installed: it holds a '/'",
          "arg6: error: \"s\\\\x\": cannot be installed: it holds an empty folder name", "arg7: error: \"con.txt\": "
          "cannot be installed: 'con.txt' holds the device name con", "arg8: error: \"a?\": cannot be installed",
          "arg9: error: \"...\\a.txt\": cannot be installed: '...' is only dots and blanks",
          "arg10: error: \".. \\b.txt\": cannot be installed: '.. ' is only dots and blanks"}},
        {"trailing_dot", Script(2), {"a..b\\c d.txt", "sub.\\x.txt"}, {"arg2: warning: \"sub.\\x.txt\": \"sub.\" ends in"}},
        {"link_gaps", Script(1, "dlla=a.exe\ndllb=\ndllc=a.exe\n[Links]\nlinka=a.exe\nlinkfilea=A.lnk\nlinkc=a.exe\n"
                                "linkfilec=C.lnk\nlinkd=a.exe\n"), {"a.exe"},
         {"setup.inf:7: warning: [Install] dllb: empty, so dllc is never read", "setup.inf:11: warning: [Links] linkb: "
          "missing, so linkc, linkd are never read", "setup.inf:12: warning: [Links] linkfilec: never read"}},
        {"copy_modes", Script(3, "\n[Copymode]\nFILEA=1\nfileb=0x8\nfilec=5\n\n\nfiled=2\n"), Names(3),
         {"setup.inf:8: warning: [Copymode] fileb: \"0x8\" is not a copy mode; the installer reads 0 and replaces",
          "setup.inf:9: warning: [Copymode] filec: \"5\" is not a copy mode; the installer reads 5 and replaces",
          "setup.inf:12: warning: [Copymode] filed: no fourth file is packaged (FileNum=3)"}},
        {"configuration", Script(4, "[Copymode]\nfileb=3\nfilec=2\nfiled=1\n"), {"a.INI", "b.cfg", "c.conf", "d\\e.Json"},
         {"arg1: warning: \"a.INI\": looks like a configuration file", "arg4: warning: \"d\\e.Json\": looks like a"}},
        {"targets", Script(2, "dlla=lib.dll\ndllb=gone.dll\n[Links]\nlinka=Bin/App.EXE\nlinkfilea=A.lnk\nlinkb=no.exe\n"
                              "linkfileb=B.lnk\n"), {"bin\\app.exe", "lib.dll"},
         {"setup.inf:6: warning: [Install] dllb: \"gone.dll\" is not among", "setup.inf:10: warning: [Links] linkb: "
          "\"no.exe\" is not among"}},
        {"dll_in_windows_folder", Script(1, "dlla=lib.dll\n[Copymode]\nfilea=8\n"), {"lib.dll"},
         {"setup.inf:5: warning: [Install] dlla: \"lib.dll\" is installed into the Windows folder"}},
        {"shortcut_names", Script(1, shortcuts), {"a.exe"}, {"setup.inf:7: warning: [Links] linkfilea: \"App\" has no '.'",
         "setup.inf:8: warning: [Links] linkfileb: missing", "setup.inf:10: warning: [Links] linkfilec: \"App.txt\" does "
         "not end in .lnk", "setup.inf:12: warning: [Links] linkfiled: \"sub\\A.lnk\" holds"}},
        {"shortcut_names_leading_out", Script(1, "[Links]\nlinka=a.exe\nlinkfilea=..\\A.lnk\nlinkb=a.exe\n"
                                                 "linkfileb=C:\\B.lnk\nlinkc=a.exe\nlinkfilec=\\C.lnk\n"), {"a.exe"},
         {"setup.inf:7: error: [Links] linkfilea: \"..\\A.lnk\" leads out of the Start-menu folder",
          "setup.inf:9: error: [Links] linkfileb: \"C:\\B.lnk\" leads out",
          "setup.inf:11: error: [Links] linkfilec: \"\\C.lnk\" leads out"}},
        {"shortcuts_without_links", Script(0, "Desk=1\nQLaunch=1\n"), {},
         {"setup.inf:5: warning: [Install] Desk: asks for a desktop shortcut to the first link, but there is no [Links]",
          "setup.inf:6: warning: [Install] QLaunch: asks for a Quick Launch button"}},
        {"links_without_linka", Script(0, "Desk=1\nQLaunch=yes\n[Links]\nlinkb=x\n"), {},
         {"setup.inf:5: warning: [Install] Desk: asks for a desktop shortcut to the first link, but [Links] has no linka",
          "setup.inf:6: warning: [Install] QLaunch: \"yes\" is not a plain decimal number; the installer reads it as 0",
          "setup.inf:8: warning: [Links] linka: missing, so linkb is never read"}},
        {"author_uninstall_shifts_copymode", Script(1, "[Copymode]\nfileb=3\nfilec=2\n[Uninstall]\nfilea=C:\\x\n"), {"a"},
         {"setup.inf:8: warning: [Uninstall]: the installer writes this section itself; with the file keys already here "
          "the first file takes fileb", "setup.inf:7: warning: [Copymode] filec: no packaged file takes this key"}},
        {"text_encoding", "\xEF\xBB\xBF" + Script(1, latin), {"caf\xC3\xA9.txt"},
         {"setup.inf:8: note: [Install] AppFile", "setup.inf:1: warning: the script starts with a UTF-8 byte order mark",
          "setup.inf:5: warning: [Install] AppBy: "
          "\"Caf\xC3\xA9\" is UTF-8; the installer reads the script in the ANSI code page and would show \"Caf\xC3\x83\xC2\xA9\"",
          "setup.inf:6: warning: [Install] VerNum: '\xE2\x86\x92' is outside the ANSI code page",
          "setup.inf:7: warning: [Install] CompReg: holds the control character \\x07",
          "setup.inf:8: warning: [Install] AppFile: holds the byte \\x81", run, "arg1: warning: \"caf\xC3\xA9.txt\": a UTF-8 name"}},
        {"windows_1252", Script(0, "AppBy=Caf\xE9 \x80 5\n"), {}, {}},
        {"layout", layout, {}, {"setup.inf:10: warning: [Link]: not a section the installer reads; did you mean [Links]?",
         "setup.inf:12: warning: [install]: a second section", "setup.inf:1: warning: stray: outside any section",
         "setup.inf:5: warning: [Install] AppName: set again; the installer reads only line 3",
         "setup.inf:6: warning: [Install] FileNm: not a key the installer reads; did you mean FileNum?",
         "setup.inf:7: warning: [Install] VerNum 1.0: not a key", "setup.inf:8: warning: [Install] AppBy: has no '='"}},
        {"one_file_twice", Script(4), {"Readme.txt", "README.TXT", "License.txt", "uninstal.inf"},
         {"arg2: warning: \"README.TXT\": lands on the same file as \"Readme.txt\"", "arg3: warning: \"License.txt\": the "
          "installer puts its licence", "arg4: warning: \"uninstal.inf\": the installer puts its uninstall log"}},
        {"files_unknown", Script(200, "[Copymode]\nfile200=1\nfile201=1\n"), {}, {"setup.inf: note: no files given", reg, run,
         "setup.inf:7: warning: [Copymode] file201: no 201st file", "setup.inf:4: note: [Uninstall]: 172 files would stay"}, false},
        {"licence_sound", Script(0), {}, {}, true, "Terms\r\nCaf\xE9\r\n"},
        {"licence_line_ends", Script(0), {}, {"license.txt:2: warning: line ends are a bare LF"}, true, "T\r\nM\nt\n"},
        {"licence_utf8", Script(0), {}, {"license.txt:2: warning: UTF-8 text"}, true, "Terms\r\nDo not \xC3\xA9tch\r\n"},
        {"licence_nul", Script(0), {}, {"license.txt:2: warning: holds a NUL"}, true, std::string("T\r\nh\0rest\r\n", 11)},
        {"licence_empty", Script(0), {}, {"license.txt: warning: the licence is empty"}, true, " \r\n"},
        {"licence_large", Script(0), {}, {"license.txt: warning: 300 KB; the licence box is slow"}, true, std::string(300 * 1024, 'x')},
        {"author_friction", "[Install]\nAppName=Demo\nDefDir=D:\\Apps\\W\nVerNum=2.2 ; bump\nAppFile=a.exe\n", {}, {"setup.inf:4: warning: "
         "[Install] VerNum: \"2.2 ; bump\" holds \" ;\"", "setup.inf:5: note: [Install] AppFile: the installer does not use it",
         "setup.inf:3: error: [Install] DefDir: \"D:\\Apps\\W\" holds the character ':'", reg, run}},
    };
}

TEST(SetupCheck, ReportsExactlyWhatTheInstallerWouldGetWrong) {
    for (const Row& row : Rows()) {
        kqpack::SetupUnderCheck setup{row.script, [](size_t line) { return kqpack::Location{"setup.inf", line}; },
                                      row.files_known, {}, row.licence.has_value(), {"license.txt", 0},
                                      row.licence.value_or(""), {}};
        for (size_t i = 0; i < row.files.size(); ++i)
            setup.files.push_back({row.files[i], kqpack::Location{"arg" + std::to_string(i + 1), 0}});
        // Each finding cut to the length of the start its row gives.
        const kqpack::CheckReport report = kqpack::CheckSetup(setup);
        const bool notes = std::any_of(row.findings.begin(), row.findings.end(),
                                       [](const std::string& f) { return f.find(": note: ") != std::string::npos; });
        std::vector<std::string> got;
        for (const kqpack::Finding& f : report.findings()) {
            if (f.severity == kqpack::Severity::kNote && !notes) continue;
            const std::string text = kqpack::FormatFinding(f);
            got.push_back(got.size() < row.findings.size() ? text.substr(0, row.findings[got.size()].size()) : text);
        }
        EXPECT_EQ(got, row.findings) << row.name;
    }
}

// Each folder recorded once (names match as on Windows), shallowest first, on free keys.
TEST(InstallPlanning, RecordsEachFolderOnce) {
    const kqpack::InstallPlan plan = kqpack::PlanInstall(kqpack::ProfileText::Parse("[Uninstall]\ndireb=old\n"), 4,
                                                         {"a\\b\\x", "A\\y", "a\\B\\c\\z", "d\\e"});
    std::vector<std::string> got;
    for (const auto& r : plan.recorded_folders) got.push_back(std::to_string(r.key) + "=" + r.folder + "@" + std::to_string(r.file));
    EXPECT_EQ(got, (std::vector<std::string>{"1=a@0", "3=a\\b@0", "4=a\\B\\c@2", "5=d@3"}));
}

TEST(GeneratedScript, NamesCopymodeKeysAsTheInstallerNamesFileKeys) {
    const std::string text = kqpack::WriteGeneratedKeys({}, "s", {30, 31, 32}, {3, 3, 3}, {}, {}).text;
    EXPECT_NE(text.find("\nfile~=3\r\nfile31=3\r\nfile32=3\r\n"), std::string::npos) << text;
}

}  // namespace
