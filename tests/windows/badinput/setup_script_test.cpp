// Hostile setup scripts, end to end: overlong values, a default folder that
// climbs, more lettered keys than letters, copy modes that are not numbers,
// and scripts that are no INI file at all. The program ends with exit code 0,
// says what the design says (or nothing), and writes only where it may.
#include <gtest/gtest.h>

#include <random>

#include "case_run.h"
#include "package_parts.h"
#include "parallel_cases.h"
#include "support/wine_paths.h"

namespace kqbad {
namespace {

constexpr char kSetupError[] = "Setup Error!";
const std::string kFirstContents = "The first file.\r\n";

// `stem` padded with x to `length` characters.
std::string Padded(const std::string& stem, size_t length) {
    return stem + std::string(length - stem.size(), 'x');
}

std::string KeyLetter(unsigned letter) {
    return std::string(1, static_cast<char>(letter));
}

std::string InFolder(const CaseRun& run, const std::string& name) {
    return LowerCase(run.install_folder() + "\\" + name);
}

// One file, first.txt; `install_lines` and `rest` add to the script.
void WriteOneFileInstaller(CaseRun& run, const std::string& install_lines, const std::string& rest = "") {
    run.WriteInstaller(PackageOf({ScriptRecord(Script(run.app_name(), "DefDir=KQ Bad\r\nFileNum=1\r\n" + install_lines,
                                                      rest)),
                                  LicenceRecord(), FileRecord("first.txt", kFirstContents)}));
}

// Wizard into the case's install folder, the closing question, the end.
bool InstallCompletely(CaseRun& run, DWORD timeout_ms = kPatience) {
    if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return false;
    const bool asked = run.ExpectClosingQuestion(timeout_ms);
    run.ExpectCleanEnd();
    return asked;
}

// Uninstalls what the case installed, as the uninstall entry would.
void UninstallCompletely(CaseRun& run) {
    if (!run.StartUninstaller(run.install_folder() + "\\Uninstal.inf")) return;
    run.ExpectMessage("Uninstall",
                      "Are you sure you want to completely\nremove " + run.app_name() + " from your computer?", IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.", IDOK);
    run.ExpectCleanEnd();
}

std::set<std::string> InstalledOneFile(const CaseRun& run) {
    return {InFolder(run, "first.txt"), InFolder(run, "License.txt"), InFolder(run, "Uninstal.inf")};
}

void AppNameOf254() {
    CaseRun run("appname-254");
    run.set_app_name(Padded(run.app_name() + " ", 254));
    WriteOneFileInstaller(run, "");
    if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return;
    // The question's text is cut to its 511 characters.
    const auto question = run.ExpectMessage("Setup Complete", std::nullopt, IDNO);
    run.ExpectCleanEnd();
    if (question) {
        EXPECT_EQ(question->size(), 511u);
        EXPECT_EQ(question->substr(0, 254), run.app_name());
    }
    EXPECT_EQ(FilesUnder(run.install_folder()), InstalledOneFile(run));
    // Neither the uninstall entry's key path nor the Start-menu group's path
    // fits 255 characters: neither is made, never under a cut name.
    const std::string log = run.install_folder() + "\\Uninstal.inf";
    EXPECT_FALSE(RegistryKeyExists(UninstallKeyOf(run.app_name())));
    EXPECT_FALSE(RegistryKeyExists(UninstallKeyOf(run.app_name().substr(0, 255 - UninstallKeyOf("").size()))));
    EXPECT_EQ(ProfileText("Uninstall", "linkdir", log), "");
    run.ExpectNothingTouchedOutside();
}

void DefDirOf254() {
    CaseRun run("defdir-254");
    const std::string def_dir = Padded("KQ Bad DefDir ", 254);
    run.WriteInstaller(PackageOf({ScriptRecord(Script(run.app_name(), "DefDir=" + def_dir + "\r\nFileNum=1\r\n")),
                                  LicenceRecord(), FileRecord("first.txt", kFirstContents)}));
    std::string proposed;
    if (!run.StartInstaller() || !run.WalkWizard("", &proposed)) return;
    // The proposal is cut to 255 characters; a file's path under it cannot
    // fit, so the first file is refused and the installation stops.
    run.ExpectMessage("Setup", "File Error!", IDOK);
    run.ExpectMessage(kSetupError, kSetupError, IDOK);
    run.ExpectCleanEnd();
    EXPECT_EQ(proposed.size(), 255u);
    EXPECT_NE(proposed.find("Program Files\\KQ Bad DefDir "), std::string::npos) << proposed;
    EXPECT_FALSE(kqtest::FileExists(proposed));
    EXPECT_FALSE(RegistryKeyExists(UninstallKeyOf(run.app_name())));
    run.ExpectNothingTouchedOutside();
}

void AppByOf254() {
    CaseRun run("appby-254");
    run.WriteInstaller(PackageOf({ScriptRecord("[Install]\r\nAppName=" + run.app_name() + "\r\nAppBy=" +
                                               Padded("By ", 254) + "\r\nFileNum=1\r\n"),
                                  LicenceRecord(), FileRecord("first.txt", kFirstContents)}));
    if (!InstallCompletely(run)) return;
    EXPECT_EQ(FilesUnder(run.install_folder()), InstalledOneFile(run));
    EXPECT_TRUE(RegistryKeyExists(UninstallKeyOf(run.app_name())));
    run.ExpectNothingTouchedOutside();
}

void VerNumOf254() {
    CaseRun run("vernum-254");
    const std::string version = Padded("1.", 254);
    WriteOneFileInstaller(run, "VerNum=" + version + "\r\n");
    if (!InstallCompletely(run)) return;
    // The display name is cut to what a 255-character value holds.
    EXPECT_EQ(RegistryValue(UninstallKeyOf(run.app_name()), "DisplayName"),
              (run.app_name() + " - " + version).substr(0, 255));
    run.ExpectNothingTouchedOutside();
}

void LinkNamesOf254() {
    CaseRun run("link-names-254");
    const std::string long_file = Padded("Long ", 250) + ".lnk";
    WriteOneFileInstaller(run, "", "[Links]\r\nlinka=" + Padded("target ", 254) + "\r\nlinkfilea=Short.lnk\r\n" +
                                       "linkb=first.txt\r\nlinkfileb=" + long_file + "\r\n");
    if (!InstallCompletely(run)) return;
    // Neither link's paths fit: both are skipped, without a file key; the
    // Start-menu group is still made and recorded.
    const std::string log = run.install_folder() + "\\Uninstal.inf";
    const std::string group = ProgramsFolder() + "\\" + run.app_name();
    EXPECT_EQ(ProfileText("Uninstall", "linkdir", log), group);
    EXPECT_TRUE(FilesUnder(group).empty());
    EXPECT_EQ(ProfileText("Uninstall", "filed", log), "");
    run.ExpectNothingTouchedOutside();
}

// The default folder is the drive's Program Files plus DefDir, as it stands:
// a climbing DefDir proposes a folder elsewhere, which the user sees and
// accepts. The installation and its uninstallation both use that folder.
void DefDirThatClimbs() {
    CaseRun run("defdir-climbs");
    const std::string name = "KQ Bad Escape " + std::to_string(GetCurrentProcessId());
    run.WriteInstaller(PackageOf({ScriptRecord(Script(run.app_name(), "DefDir=..\\..\\" + name + "\r\nFileNum=1\r\n")),
                                  LicenceRecord(), FileRecord("first.txt", kFirstContents)}));
    std::string proposed;
    if (!run.StartInstaller() || !run.WalkWizard("", &proposed)) return;
    run.AlsoCleanUp(proposed);
    run.ExpectClosingQuestion();
    run.ExpectCleanEnd();
    EXPECT_EQ(proposed.substr(1), ":\\Program Files\\..\\..\\" + name);
    const std::string landed = proposed.substr(0, 3) + name;
    EXPECT_TRUE(kqtest::FileExists(landed + "\\first.txt"));
    EXPECT_EQ(RegistryValue(UninstallKeyOf(run.app_name()), "UninstallString").find(proposed + "\\Uninstal.inf"),
              RegistryValue(UninstallKeyOf(run.app_name()), "UninstallString").size() -
                  (proposed + "\\Uninstal.inf").size());
    run.ExpectNothingTouchedOutside();

    if (!run.StartUninstaller(proposed + "\\Uninstal.inf")) return;
    run.ExpectMessage("Uninstall",
                      "Are you sure you want to completely\nremove " + run.app_name() + " from your computer?", IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.", IDOK);
    run.ExpectCleanEnd();
    EXPECT_FALSE(kqtest::FileExists(landed));
    run.ExpectNothingTouchedOutside();
}

// [Install] dll keys on every letter from a to 0xFF and then 41 that no
// letter reaches: the 159 are recorded (and registered), the rest ignored.
void TwoHundredDllKeys() {
    CaseRun run("dll-200");
    std::string dlls;
    for (unsigned letter = 'a'; letter <= 0xFF; ++letter)
        dlls += "dll" + KeyLetter(letter) + "=lib" + std::to_string(letter) + ".dll\r\n";
    for (int extra = 0; extra < 41; ++extra) dlls += "dll" + KeyLetter('a') + std::to_string(extra) + "=extra.dll\r\n";
    WriteOneFileInstaller(run, dlls);
    // 159 regsvr32 processes start at once: Wine takes its time over them.
    if (!InstallCompletely(run, 5 * kPatience)) return;
    const std::string log = run.install_folder() + "\\Uninstal.inf";
    int recorded = 0;
    for (unsigned letter = 'a'; letter <= 0xFF; ++letter)
        if (ProfileText("Uninstall", ("dll" + KeyLetter(letter)).c_str(), log) ==
            run.install_folder() + "\\lib" + std::to_string(letter) + ".dll")
            ++recorded;
    EXPECT_EQ(recorded, 159);
    EXPECT_EQ(ProfileText("Uninstall", "filea", log), run.install_folder() + "\\first.txt");
    EXPECT_EQ(ProfileText("Uninstall", "fileb", log), run.install_folder() + "\\License.txt");
    run.ExpectNothingTouchedOutside();
}

// [Links] keys on every letter and beyond: more shortcuts than file keys.
// A shortcut whose file key cannot be recorded is not made, so that the
// uninstallation removes every shortcut and the Start-menu group.
void TwoHundredLinks() {
    CaseRun run("links-200");
    std::string links = "[Links]\r\n";
    for (unsigned letter = 'a'; letter <= 0xFF; ++letter)
        links += "link" + KeyLetter(letter) + "=first.txt\r\nlinkfile" + KeyLetter(letter) + "=KQ Bad link " +
                 std::to_string(GetCurrentProcessId()) + " " + std::to_string(letter) + ".lnk\r\n";
    for (int extra = 0; extra < 41; ++extra)
        links += "linka" + std::to_string(extra) + "=first.txt\r\nlinkfilea" + std::to_string(extra) + "=extra.lnk\r\n";
    WriteOneFileInstaller(run, "", links);
    if (!InstallCompletely(run)) return;
    const std::string log = run.install_folder() + "\\Uninstal.inf";
    const std::string group = ProgramsFolder() + "\\" + run.app_name();
    // filea to filec: the file, the licence, the log; the shortcuts take
    // the 156 letters left.
    EXPECT_EQ(FilesUnder(group).size(), 156u);
    EXPECT_NE(ProfileText("Uninstall", KeyLetter(0xFF).insert(0, "file").c_str(), log), "");
    run.ExpectNothingTouchedOutside();

    UninstallCompletely(run);
    EXPECT_FALSE(kqtest::FileExists(group)) << "shortcuts left: " << FilesUnder(group).size();
    EXPECT_FALSE(kqtest::FileExists(run.install_folder()));
    run.ExpectNothingTouchedOutside();
}

// [Copymode] values are read as decimal numbers: leading digits count, the
// rest of the text does not, and text without digits is 0 (replace).
void CopyModesThatAreNotNumbers() {
    CaseRun run("copymode-text");
    CreateDirectoryA(run.install_folder().c_str(), nullptr);
    const char* const names[] = {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"};
    for (const char* name : names) kqtest::WriteBytes(run.install_folder() + "\\" + name, "old");
    std::vector<kqtest::TestRecord> records = {
        ScriptRecord(Script(run.app_name(), "DefDir=KQ Bad\r\nFileNum=5\r\n",
                            "[Copymode]\r\nfilea=abc\r\nfileb=3 please\r\nfilec=2nd\r\nfiled=three\r\nfilee=-3\r\n")),
        LicenceRecord()};
    for (const char* name : names) records.push_back(FileRecord(name, "new"));
    run.WriteInstaller(PackageOf(records));
    if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return;
    run.ExpectMessage(run.install_folder() + "\\c.txt", "File exists.  Overwrite?", IDNO);
    run.ExpectClosingQuestion();
    run.ExpectCleanEnd();
    const auto contents = [&](const char* name) { return kqtest::ReadBytes(run.install_folder() + "\\" + name); };
    EXPECT_EQ(contents("a.txt"), "new");
    EXPECT_EQ(contents("b.txt"), "old");
    EXPECT_EQ(contents("c.txt"), "old");
    EXPECT_EQ(contents("d.txt"), "new");
    EXPECT_EQ(contents("e.txt"), "new");
    run.ExpectNothingTouchedOutside();
}

TEST(BadSetupScript, OverlongValuesClimbingFoldersAndTooManyKeysStayBounded) {
    RunCasesInParallel({{"appname-254", AppNameOf254},
                        {"defdir-254", DefDirOf254},
                        {"appby-254", AppByOf254},
                        {"vernum-254", VerNumOf254},
                        {"link-names-254", LinkNamesOf254},
                        {"defdir-climbs", DefDirThatClimbs},
                        {"dll-200", TwoHundredDllKeys},
                        {"links-200", TwoHundredLinks},
                        {"copymode-text", CopyModesThatAreNotNumbers}});
}

std::string BinaryGarbage() {
    std::mt19937 random(6);
    std::string bytes(4096, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    bytes[0] = 1;  // not a byte-order mark, which would make it UTF-16 text
    return bytes;
}

// A first record that is no setup script names no application: setup says
// "Setup Error!" before the wizard, deletes what it staged and ends.
struct NoScript {
    std::string name;
    std::vector<kqtest::TestRecord> records;
};

TEST(BadSetupScript, ScriptWithoutAnApplicationNameEndsBeforeTheWizard) {
    const std::vector<NoScript> scripts = {
        {"garbage", {ScriptRecord(BinaryGarbage()), LicenceRecord()}},
        {"not-ini", {ScriptRecord("This is not a setup script.\r\nIt has no sections = and no keys.\r\n"),
                     LicenceRecord()}},
        {"script-missing", {LicenceRecord(), FileRecord("first.txt", kFirstContents)}},
        {"empty-script", {ScriptRecord(""), LicenceRecord()}},
    };
    std::vector<NamedCase> cases;
    for (const NoScript& script : scripts) {
        cases.push_back({script.name, [&script] {
                             CaseRun run(script.name);
                             run.WriteInstaller(PackageOf(script.records));
                             if (!run.StartInstaller()) return;
                             run.ExpectMessage(kSetupError, kSetupError, IDOK);
                             run.ExpectCleanEnd();
                             EXPECT_FALSE(kqtest::FileExists(run.staged_script()));
                             EXPECT_FALSE(kqtest::FileExists(run.staged_licence()));
                             run.ExpectNothingTouchedOutside();
                         }});
    }
    RunCasesInParallel(cases);
}

}  // namespace
}  // namespace kqbad
