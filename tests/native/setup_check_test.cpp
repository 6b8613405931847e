// The setup checker on small scripts: every error and warning it promises,
// at the line it names, and silence on a sound script.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "check_report.h"
#include "setup_check.h"

namespace {

using kqpack::CheckReport;
using kqpack::Finding;
using kqpack::Severity;

CheckReport Check(const std::string& script, const std::vector<std::string>& files, bool files_known = true) {
    kqpack::SetupUnderCheck setup;
    setup.script_text = script;
    setup.locate_line = [](size_t line) { return kqpack::Location{"setup.inf", line}; };
    setup.files_known = files_known;
    for (size_t i = 0; i < files.size(); ++i)
        setup.files.push_back({files[i], kqpack::Location{"arg" + std::to_string(i + 1), 0}});
    return kqpack::CheckSetup(setup);
}

CheckReport CheckLicence(const std::string& licence) {
    kqpack::SetupUnderCheck setup;
    setup.script_text = "[Install]\nAppName=Demo\nDefDir=Demo\n";
    setup.locate_line = [](size_t line) { return kqpack::Location{"setup.inf", line}; };
    setup.files_known = true;
    setup.licence_known = true;
    setup.licence_location = {"license.txt", 0};
    setup.licence_text = licence;
    return kqpack::CheckSetup(setup);
}

std::string All(const CheckReport& report) {
    std::string text;
    for (const Finding& f : report.findings()) text += kqpack::FormatFinding(f) + "\n";
    return text;
}

// The formatted findings of one severity that contain `fragment`.
std::vector<std::string> Matching(const CheckReport& report, Severity severity, const std::string& fragment) {
    std::vector<std::string> found;
    for (const Finding& f : report.findings()) {
        const std::string text = kqpack::FormatFinding(f);
        if (f.severity == severity && text.find(fragment) != std::string::npos) found.push_back(text);
    }
    return found;
}

bool HasError(const CheckReport& r, const std::string& fragment) { return !Matching(r, Severity::kError, fragment).empty(); }
bool HasWarning(const CheckReport& r, const std::string& fragment) {
    return !Matching(r, Severity::kWarning, fragment).empty();
}

std::vector<std::string> Names(size_t count, const std::string& prefix = "f") {
    std::vector<std::string> names;
    for (size_t i = 0; i < count; ++i) names.push_back(prefix + std::to_string(i) + ".dat");
    return names;
}

std::string Script(size_t file_num, const std::string& rest = "") {
    return "[Install]\r\nAppName=Demo\r\nDefDir=Demo\r\nFileNum=" + std::to_string(file_num) + "\r\n" + rest;
}

const std::string kLinks = "[Links]\r\nlinka=app.exe\r\nlinkfilea=Demo.lnk\r\n";

TEST(ScriptCheck, SoundScriptHasNoFindings) {
    const CheckReport r = Check(Script(2, "Desk=1\r\nQLaunch=1\r\ndlla=lib.dll\r\n" + kLinks +
                                              "[Copymode]\r\nfilea=3\r\nfileb=2\r\n"),
                                {"app.exe", "lib.dll"});
    EXPECT_TRUE(r.findings().empty()) << All(r);
}

TEST(ScriptCheck, FileNumMustEqualTheNumberOfFiles) {
    EXPECT_EQ(Matching(Check(Script(2), Names(3)), Severity::kError, "FileNum"),
              std::vector<std::string>{"setup.inf:4: error: [Install] FileNum: 2, but 3 files are packaged; the last 1 "
                                       "would never be installed: set FileNum=3"});
    EXPECT_TRUE(HasError(Check(Script(4), Names(3)), "setup.inf:4: error: [Install] FileNum: 4, but only 3 files"));
    const CheckReport missing = Check("[Install]\nAppName=Demo\nDefDir=Demo\n", Names(1));
    EXPECT_TRUE(HasError(missing, "setup.inf:1: error: [Install] FileNum: missing, so the installer installs no file"))
        << All(missing);
    EXPECT_TRUE(Check("[Install]\nAppName=Demo\nDefDir=Demo\n", {}).findings().empty());
}

TEST(ScriptCheck, EmptyAppNameIsAnError) {
    for (const char* app_name : {"", "AppName=\r\n", "AppName=\"\"\r\n", "AppName\r\n"}) {
        const CheckReport r = Check("[Install]\r\n" + std::string(app_name) + "DefDir=D\r\n", {});
        EXPECT_TRUE(HasError(r, "[Install] AppName: missing or empty")) << app_name << "\n" << All(r);
    }
    EXPECT_TRUE(HasError(Check("DefDir=D\n", {}), "[Install]: missing"));
}

TEST(ScriptCheck, AppNameTooLongForTheUninstallEntryIsAnError) {
    EXPECT_TRUE(Check("[Install]\nAppName=" + std::string(203, 'n') + "\nDefDir=D\n", {}).findings().empty());
    EXPECT_TRUE(HasError(Check("[Install]\nAppName=" + std::string(204, 'n') + "\nDefDir=D\n", {}),
                         "no uninstall entry would be written"));
}

TEST(ScriptCheck, CountsTheFileKeysTheInstallSequenceAdds) {
    // 153 files, the licence, the log, two links and the first link's
    // desktop and Quick Launch shortcuts: 159 keys, the last letter is 0xFF.
    const std::string links = "[Links]\nlinka=f0.dat\nlinkfilea=A.lnk\nlinkb=f1.dat\nlinkfileb=B.lnk\n";
    EXPECT_TRUE(Check(Script(153, "Desk=1\nQLaunch=1\n" + links), Names(153)).findings().empty());
    const CheckReport over = Check(Script(154, "Desk=1\nQLaunch=1\n" + links), Names(154));
    EXPECT_EQ(Matching(over, Severity::kError, "file keys").size(), 1u) << All(over);
    EXPECT_TRUE(HasError(over, "setup.inf:4: error: [Uninstall] file keys: the installation needs 160 (154 package "
                               "files, the licence, the log and 4 shortcuts"));
    EXPECT_TRUE(HasError(over, "the uninstaller would leave them"));
    // Shortcuts that are not offered take no key.
    EXPECT_TRUE(Check(Script(154, "Desk=0\nQLaunch=1\n" + links), Names(154)).findings().empty());
}

TEST(ScriptCheck, AFileWithoutAFreeKeyStopsTheInstallation) {
    const CheckReport r = Check(Script(160), Names(160));
    EXPECT_TRUE(HasError(r, "the 160th file would find no free key")) << All(r);
    // Keys the author left in [Uninstall] take letters first.
    const CheckReport shifted = Check(Script(157, "[Uninstall]\nfilea=C:\\old\n"), Names(157));
    EXPECT_TRUE(HasError(shifted, "after 1 key already in [Uninstall]")) << All(shifted);
}

TEST(ScriptCheck, CountsOneDireKeyPerBackslash) {
    // Two folder levels per file: 79 files need 158 dire keys, 80 need 160.
    EXPECT_TRUE(Check(Script(79), Names(79, "a\\b\\f")).findings().empty());
    const CheckReport r = Check(Script(80), Names(80, "a\\b\\f"));
    EXPECT_TRUE(HasError(r, "[Uninstall] dire keys: the installation needs 160 (160 folder entries")) << All(r);
}

TEST(ScriptCheck, NestedFoldersLeaveNothingBehind) {
    // Folders are recorded shallowest first and removed from the last record
    // back, each only when empty: every subfolder goes before its parent,
    // whatever order the files come in.
    EXPECT_TRUE(Check(Script(1), {"docs\\en\\a.txt"}).findings().empty());
    EXPECT_TRUE(Check(Script(2), {"docs\\b.txt", "docs\\en\\a.txt"}).findings().empty());
    EXPECT_TRUE(Check(Script(2), {"docs\\en\\a.txt", "docs\\b.txt"}).findings().empty());
    // Files in the Windows folder make no folders under the install folder.
    EXPECT_TRUE(Check(Script(1, "[Copymode]\nfilea=8\n"), {"sys\\deep\\x.dll"}).findings().empty());
}

TEST(ScriptCheck, ValueLongerThan254CharactersIsAnError) {
    EXPECT_TRUE(Check(Script(0, "AppBy=" + std::string(254, 'b') + "\r\n"), {}).findings().empty());
    // Enclosing quotes are not part of the value.
    EXPECT_TRUE(Check(Script(0, "AppBy=\"" + std::string(254, 'b') + "\"\r\n"), {}).findings().empty());
    const CheckReport r = Check(Script(0, "AppBy=" + std::string(255, 'b') + "\r\n"), {});
    EXPECT_EQ(Matching(r, Severity::kError, "AppBy"),
              std::vector<std::string>{"setup.inf:5: error: [Install] AppBy: 255 characters, but the installer reads "
                                       "only the first 254: shorten it"});
}

TEST(ScriptCheck, StoredNamesThatCannotBeInstalledAreErrors) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"..\\evil.txt", "leave the install folder"},
        {"sub\\..\\..\\evil.txt", "leave the install folder"},
        {"\\abs.txt", "absolute"},
        {"C:x.txt", "names a drive"},
        {"a/b.txt", "'/'"},
        {"sub\\\\x.txt", "empty folder name"},
        {"sub\\", "empty folder name"},
        {"con.txt", "device name con"},
        {"LPT1", "device name LPT1"},
        {"a<b.txt", "'<'"},
        {"a?.txt", "'?'"},
        {std::string(256, 'n'), "more than 255"},
    };
    for (const auto& [name, why] : cases) {
        const CheckReport r = Check(Script(1), {name});
        EXPECT_TRUE(HasError(r, "arg1: error:")) << name << "\n" << All(r);
        EXPECT_TRUE(HasError(r, why)) << name << "\n" << All(r);
    }
    EXPECT_TRUE(Check(Script(1), {"a..b\\c d.txt"}).findings().empty());
    EXPECT_TRUE(HasWarning(Check(Script(1), {"sub.\\x.txt"}), "Windows drops"));
}

TEST(ScriptCheck, DefaultInstallPathLongerThan255IsAnError) {
    // "C:\Program Files\" (17) + DefDir + "\" + the name.
    const std::string def_dir(100, 'd');
    const std::string fits(255 - 17 - 100 - 1, 'n');
    const std::string script = "[Install]\nAppName=A\nDefDir=" + def_dir + "\nFileNum=2\n";
    EXPECT_TRUE(Check(script, {fits, "x"}).findings().empty());
    const CheckReport r = Check(script, {fits + "n", "x"});
    EXPECT_EQ(Matching(r, Severity::kError, "DefDir").size(), 1u) << All(r);
    EXPECT_TRUE(HasError(r, "setup.inf:3: error: [Install] DefDir: under the default install folder \"C:\\Program Files\\" +
                                def_dir + "\" the path of the file \"" + fits + "n\" would be 256 characters"));
    // The log's own path counts too, with or without files.
    const std::string deep(255 - 17 - 13 + 1, 'd');
    EXPECT_TRUE(HasError(Check("[Install]\nAppName=A\nDefDir=" + deep + "\n", {}), "the uninstall log"));
}

TEST(ScriptCheck, CopyModeEightFilesAreMeasuredInTheWindowsFolder) {
    const std::string script = "[Install]\nAppName=A\nDefDir=" + std::string(200, 'd') +
                               "\nFileNum=1\n[Copymode]\nfilea=8\n";
    EXPECT_TRUE(Check(script, {std::string(60, 'w')}).findings().empty());
    const CheckReport r = Check(script, {std::string(245, 'w')});
    EXPECT_TRUE(HasError(r, "arg1: error:")) << All(r);
    EXPECT_TRUE(HasError(r, "Windows folder (copy mode 8), its path would be about 256 characters"));
}

TEST(ScriptCheck, ReportsGapInLinkSequence) {
    const std::string links = "[Links]\nlinka=a.exe\nlinkfilea=A.lnk\nlinkc=a.exe\nlinkfilec=C.lnk\nlinkd=a.exe\n";
    const CheckReport r = Check(Script(1, links), {"a.exe"});
    EXPECT_EQ(Matching(r, Severity::kWarning, "never read (the installer stops"),
              std::vector<std::string>{"setup.inf:8: warning: [Links] linkb: missing, so linkc, linkd are never read "
                                       "(the installer stops at the first missing or empty key): renumber them from linkb"})
        << All(r);
    EXPECT_TRUE(HasWarning(r, "[Links] linkfilec: never read, because linkc is not read"));
    // An empty value ends a sequence as a missing key does.
    EXPECT_TRUE(HasWarning(Check(Script(1, "dlla=a.exe\ndllb=\ndllc=a.exe\n"), {"a.exe"}),
                           "[Install] dllb: empty, so dllc is never read"));
}

TEST(ScriptCheck, WarnsAboutCopymodeKeysBeyondTheLastFileAndOddValues) {
    const std::string script =
        "[Install]\nAppName=A\nDefDir=A\nFileNum=3\n\n[Copymode]\nfilea=1\nfileb=0x8\nfilec=5\n\n\nfiled=2\n";
    const CheckReport r = Check(script, Names(3));
    EXPECT_EQ(Matching(r, Severity::kWarning, "filed"),
              std::vector<std::string>{"setup.inf:12: warning: [Copymode] filed: no fourth file is packaged (FileNum=3): "
                                       "remove the key"});
    EXPECT_TRUE(HasWarning(r, "fileb: \"0x8\" is not a copy mode; the installer reads 8:")) << All(r);
    EXPECT_TRUE(HasWarning(r, "filec: \"5\" is not a copy mode; the installer reads 5 and replaces an existing file"));
    EXPECT_FALSE(HasWarning(r, "filea"));
    // Upper-case letters are the same keys.
    EXPECT_TRUE(Check("[Install]\nAppName=A\nDefDir=A\nFileNum=1\n[Copymode]\nFILEA=2\n", Names(1)).findings().empty());
}

TEST(ScriptCheck, WarnsWhenADllOrLinkTargetIsNotPackaged) {
    const std::string script = Script(2, "dlla=lib.dll\r\ndllb=gone.dll\r\n[Links]\r\nlinka=Bin/App.EXE\r\n"
                                         "linkfilea=A.lnk\r\nlinkb=missing.exe\r\nlinkfileb=B.lnk\r\n");
    const CheckReport r = Check(script, {"bin\\app.exe", "lib.dll"});
    EXPECT_TRUE(HasWarning(r, "setup.inf:6: warning: [Install] dllb: \"gone.dll\" is not among the packaged files"));
    EXPECT_TRUE(HasWarning(r, "[Links] linkb: \"missing.exe\" is not among the packaged files")) << All(r);
    EXPECT_FALSE(HasWarning(r, "linka")) << "Windows ignores case and takes / for \\";
    EXPECT_FALSE(HasWarning(r, "dlla"));
    // A DLL sent to the Windows folder is not where regsvr32 is pointed.
    const CheckReport windows = Check(Script(1, "dlla=lib.dll\n[Copymode]\nfilea=8\n"), {"lib.dll"});
    EXPECT_TRUE(HasWarning(windows, "installed into the Windows folder (copy mode 8)")) << All(windows);
}

TEST(ScriptCheck, WarnsAboutShortcutFileNames) {
    auto links = [](const std::string& linkfile) { return Script(1, "[Links]\nlinka=a.exe\n" + linkfile); };
    EXPECT_TRUE(HasWarning(Check(links("linkfilea=App\n"), {"a.exe"}),
                           "[Links] linkfilea: \"App\" has no '.'; the shortcut's description"));
    EXPECT_TRUE(HasWarning(Check(links(""), {"a.exe"}), "[Links] linkfilea: missing, so the shortcut for linka"));
    EXPECT_TRUE(HasWarning(Check(links("linkfilea=App.txt\n"), {"a.exe"}), "does not end in .lnk"));
    EXPECT_TRUE(HasWarning(Check(links("linkfilea=sub\\App.lnk\n"), {"a.exe"}), "cannot be made"));
    EXPECT_TRUE(Check(links("linkfilea=My.App.LNK\n"), {"a.exe"}).findings().empty());
}

TEST(ScriptCheck, WarnsAboutDeskOrQLaunchWithoutLinks) {
    const CheckReport r = Check(Script(0, "Desk=1\nQLaunch=1\n"), {});
    EXPECT_TRUE(HasWarning(r, "setup.inf:5: warning: [Install] Desk: asks for a desktop shortcut to the first link, "
                              "but there is no [Links] section"))
        << All(r);
    EXPECT_TRUE(HasWarning(r, "[Install] QLaunch: asks for a Quick Launch button"));
    EXPECT_TRUE(HasWarning(Check(Script(0, "Desk=1\n[Links]\nlinkb=x\n"), {}), "[Links] has no linka"));
    EXPECT_TRUE(Check(Script(0, "Desk=0\n"), {}).findings().empty());
}

TEST(ScriptCheck, WarnsAboutAnUninstallSectionWrittenByTheAuthor) {
    // The author's filea shifts the first file to fileb, so [Copymode]
    // fileb is the first file's mode and filec is nobody's.
    const CheckReport r = Check(Script(1, "[Copymode]\nfileb=3\nfilec=2\n[Uninstall]\nfilea=C:\\x.txt\n"), {"a.txt"});
    EXPECT_TRUE(HasWarning(r, "setup.inf:8: warning: [Uninstall]: the installer writes this section itself; with the "
                              "file keys already here the first file takes fileb"))
        << All(r);
    EXPECT_TRUE(HasWarning(r, "[Copymode] filec: no packaged file takes this key"));
    EXPECT_FALSE(HasWarning(r, "fileb:"));
}

TEST(ScriptCheck, WarnsAboutTextOutsideTheAnsiCodePage) {
    const CheckReport utf8 = Check(Script(0, "AppBy=Caf\xC3\xA9\n"), {});
    EXPECT_TRUE(HasWarning(utf8, "setup.inf:5: warning: [Install] AppBy: \"Caf\xC3\xA9\" is UTF-8; the installer reads "
                                 "the script in the ANSI code page and would show \"Caf\xC3\x83\xC2\xA9\""))
        << All(utf8);
    EXPECT_TRUE(HasWarning(Check(Script(0, "AppBy=a \xE2\x86\x92 b\n"), {}), "outside the ANSI code page"));
    EXPECT_TRUE(HasWarning(Check(Script(0, "AppBy=bell\x07\n"), {}), "control character \\x07"));
    EXPECT_TRUE(HasWarning(Check(Script(0, "AppBy=\x81\n"), {}), "leaves undefined"));
    EXPECT_TRUE(HasWarning(Check("\xEF\xBB\xBF" + Script(0), {}), "byte order mark"));
    // Windows-1252 text is what the installer expects.
    EXPECT_TRUE(Check(Script(0, "AppBy=Caf\xE9 \x80 5\n"), {}).findings().empty());
    EXPECT_TRUE(HasWarning(Check(Script(1), {"caf\xC3\xA9.txt"}), "a UTF-8 name"));
}

TEST(ScriptCheck, WarnsAboutRepeatedMisspeltAndUnreadKeys) {
    const std::string script = "stray=1\n[Install]\nAppName=A\nDefDir=A\nAppName=B\nFileNm=2\nVerNum 1.0\n"
                               "; a comment\n[Link]\nlinka=x\n[install]\nAppBy=late\n";
    const CheckReport r = Check(script, {});
    EXPECT_TRUE(HasWarning(r, "setup.inf:1: warning: stray: outside any section")) << All(r);
    EXPECT_TRUE(HasWarning(r, "setup.inf:5: warning: [Install] AppName: set again; the installer reads only line 3"));
    EXPECT_TRUE(HasWarning(r, "setup.inf:6: warning: [Install] FileNm: not a key the installer reads; did you mean FileNum?"));
    EXPECT_TRUE(HasWarning(r, "setup.inf:7: warning: [Install] VerNum 1.0: not a key"));
    EXPECT_TRUE(HasWarning(r, "setup.inf:9: warning: [Link]: not a section the installer reads; did you mean [Links]?"));
    EXPECT_TRUE(HasWarning(r, "setup.inf:11: warning: [install]: a second section of this name"));
    EXPECT_FALSE(HasWarning(r, "comment"));
    EXPECT_TRUE(HasWarning(Check(Script(0, "AppBy\n"), {}), "AppBy: has no '='"));
}

TEST(ScriptCheck, IntegerKeysMustBePlainNumbers) {
    const CheckReport r = Check(Script(0, "Desk=yes\n" + std::string("[Links]\nlinka=a\nlinkfilea=a.lnk\n")), {}, false);
    EXPECT_TRUE(HasWarning(r, "[Install] Desk: \"yes\" is not a plain decimal number; the installer reads it as 0"))
        << All(r);
}

TEST(ScriptCheck, WarnsAboutNamesThatLandOnOneFile) {
    const CheckReport r = Check(Script(4), {"Readme.txt", "README.TXT", "License.txt", "uninstal.inf"});
    EXPECT_TRUE(HasWarning(r, "arg2: warning: \"README.TXT\": lands on the same file as \"Readme.txt\"")) << All(r);
    EXPECT_TRUE(HasWarning(r, "arg3: warning: \"License.txt\": the installer puts its licence"));
    EXPECT_TRUE(HasWarning(r, "arg4: warning: \"uninstal.inf\": the installer puts its uninstall log"));
}

TEST(ScriptCheck, WithoutFilesFileNumIsTheCount) {
    const CheckReport r = Check(Script(3, "[Copymode]\nfilec=1\nfiled=1\n"), {}, false);
    EXPECT_TRUE(!Matching(r, Severity::kNote, "no files given").empty()) << All(r);
    EXPECT_TRUE(HasWarning(r, "filed: no fourth file is packaged (FileNum=3)"));
    EXPECT_FALSE(HasWarning(r, "filec"));
    EXPECT_TRUE(HasError(Check(Script(200), {}, false), "file keys"));
}

TEST(ScriptCheck, WarningsRefuseOnlyWhenStrict) {
    const CheckReport r = Check(Script(0, "Desk=1\n"), {});
    ASSERT_EQ(r.Count(Severity::kError), 0u);
    EXPECT_FALSE(r.Refuses(false));
    EXPECT_TRUE(r.Refuses(true));
    EXPECT_EQ(kqpack::SummaryOf(r), "0 errors, 1 warning");
}

TEST(ScriptCheck, AnyScriptAndNamesCheckWithoutFault) {
    // Garbage built from the pieces a script is made of, so that deep paths
    // (sequences, letters past 0xFF, odd names) are reached under the sanitizers.
    const std::vector<std::string> pieces = {
        "[Install]", "[Links]", "[Copymode]", "[Uninstall]", "AppName=", "FileNum=", "DefDir=", "Desk=1",
        "QLaunch=-9", "linka=", "linkfile\xFF=", "dll{=", "filea=8", "fileb=", "dire\x80=x", "\r\n", "\n",
        "\r", "=", "\"", "\\", "..", "\xC3\xA9", "\xEF\xBB\xBF", std::string(300, 'x'), std::string(1, '\0')};
    std::mt19937 rng(11);
    for (int round = 0; round < 300; ++round) {
        std::string script;
        const size_t count = rng() % 60;
        for (size_t i = 0; i < count; ++i) script += pieces[rng() % pieces.size()];
        std::vector<std::string> files;
        const size_t file_count = rng() % 5 == 0 ? 170 : rng() % 6;
        for (size_t i = 0; i < file_count; ++i) {
            std::string name;
            for (size_t k = rng() % 4; k > 0; --k) name += pieces[rng() % pieces.size()] + "\\";
            files.push_back(name + "f" + std::to_string(i));
        }
        const CheckReport r = Check(script, files, rng() % 2 == 0);
        for (const Finding& f : r.findings()) ASSERT_FALSE(kqpack::FormatFinding(f).empty());
    }
}

TEST(LicenceCheck, WarnsAboutBareLineFeedsUtf8NulAndEmptiness) {
    EXPECT_TRUE(CheckLicence("Terms\r\nMore terms\r\n").findings().empty());
    const CheckReport lf = CheckLicence("Terms\r\nMore\nterms\n");
    EXPECT_EQ(Matching(lf, Severity::kWarning, "bare LF").size(), 1u) << All(lf);
    EXPECT_TRUE(HasWarning(lf, "license.txt:2: warning: line ends are a bare LF"));
    EXPECT_TRUE(HasWarning(CheckLicence("Terms\r\nDo not \xC3\xA9tch\r\n"),
                           "license.txt:2: warning: UTF-8 text; the licence box shows it in the ANSI code page, so "
                           "\"\xC3\xA9tch\" would read"));
    EXPECT_TRUE(HasWarning(CheckLicence(std::string("Terms\r\nhidden\0rest\r\n", 20)), "license.txt:2: warning: holds a NUL"));
    EXPECT_TRUE(HasWarning(CheckLicence(" \r\n"), "the licence is empty"));
    EXPECT_TRUE(CheckLicence("Caf\xE9\r\n").findings().empty());
}

}  // namespace
