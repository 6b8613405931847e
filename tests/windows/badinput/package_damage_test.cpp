// Damaged packages, end to end: the real stub on a package whose records are
// cut, mislabelled or hostile. Whatever the damage, the program ends with
// exit code 0, says what the design says (or nothing), keeps what it
// installed before the damage, and writes nowhere else.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>

#include "case_run.h"
#include "package_parts.h"
#include "parallel_cases.h"
#include "support/wine_paths.h"

namespace kqbad {
namespace {

constexpr char kFileError[] = "File Error!";
constexpr char kSetupError[] = "Setup Error!";
const std::string kFirstContents = "The first file, installed whole.\r\n";

std::string SecondContents() {
    std::string text;
    for (int i = 0; i < 200; ++i) text += "Line " + std::to_string(i) + " of the second file.\r\n";
    return text;
}

// The package of a two-file installation whose second file record is `last`.
struct DamagedRecord {
    std::string name;
    kqtest::TestRecord last;
    // When nonzero, the program file ends this many bytes into the last record.
    size_t cut_into_last = 0;
};

kqtest::TestRecord Second() {
    return FileRecord("second.txt", SecondContents());
}

kqtest::TestRecord WithLength(uint32_t length) {
    kqtest::TestRecord record = Second();
    record.override_length = true;
    record.record_length = length;
    return record;
}

std::string InstallScript(const CaseRun& run, const std::string& file_num) {
    return Script(run.app_name(), "DefDir=KQ Bad\r\nFileNum=" + file_num + "\r\n");
}

// The installation stopped at a file: what was installed before stays, the
// staged script and licence stay in the temp folder, nothing is registered.
void ExpectStoppedAfterFirstFile(CaseRun& run, const std::set<std::string>& installed) {
    EXPECT_EQ(FilesUnder(run.install_folder()), installed);
    EXPECT_TRUE(kqtest::FileExists(run.staged_script()));
    EXPECT_TRUE(kqtest::FileExists(run.staged_licence()));
    EXPECT_EQ(ProfileText("Uninstall", "filea", run.staged_script()), run.install_folder() + "\\first.txt");
    EXPECT_FALSE(RegistryKeyExists(UninstallKeyOf(run.app_name())));
    EXPECT_FALSE(kqtest::FileExists(ProgramsFolder() + "\\" + run.app_name()));
    run.ExpectNothingTouchedOutside();
}

void RunDamagedSecondRecord(const DamagedRecord& damage) {
    CaseRun run(damage.name);
    std::string package = PackageOf({ScriptRecord(InstallScript(run, "2")), LicenceRecord(),
                                     FileRecord("first.txt", kFirstContents)});
    const size_t last_offset = package.size();
    package += kqtest::EncodeRecord(damage.last);
    if (damage.cut_into_last != 0) package.resize(last_offset + damage.cut_into_last);
    run.WriteInstaller(package);
    if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return;
    run.ExpectMessage("Setup", kFileError, IDOK);
    run.ExpectMessage(kSetupError, kSetupError, IDOK);
    run.ExpectCleanEnd();
    const std::string first = LowerCase(run.install_folder() + "\\first.txt");
    ExpectStoppedAfterFirstFile(run, {first});
    EXPECT_EQ(ProfileText("Uninstall", "fileb", run.staged_script()), "") << "the damaged file was recorded";
}

TEST(BadPackage, DamagedFileRecordIsAFileErrorAndStopsTheInstallation) {
    const size_t natural = kqtest::EncodeRecord(Second()).size();
    kqtest::TestRecord long_name = FileRecord(std::string(255, 'n'), "too far");
    kqtest::TestRecord huge_size = Second();
    huge_size.override_size = true;
    huge_size.uncompressed_size = 0xFFFFFFFF;
    const std::vector<DamagedRecord> damages = {
        {"cut-in-header", Second(), 6},
        {"cut-after-length", Second(), 12},
        {"cut-in-stream", Second(), natural / 2},
        {"length-0", WithLength(0)},
        {"length-1", WithLength(1)},
        {"length-17", WithLength(17)},
        {"length-past-end", WithLength(static_cast<uint32_t>(natural + 1000))},
        {"length-ffffffff", WithLength(0xFFFFFFFF)},
        {"name-255", long_name},
        {"size-ffffffff", huge_size},
        {"name-climbs-out", FileRecord("..\\..\\escape.txt", "escaped")},
        {"name-climbs-out-slash", FileRecord("sub/../../../escape.txt", "escaped")},
        {"name-climbs-deep", FileRecord("sub\\..\\..\\..\\..\\escape.txt", "escaped")},
    };
    std::vector<NamedCase> cases;
    for (const DamagedRecord& damage : damages) cases.push_back({damage.name, [&damage] { RunDamagedSecondRecord(damage); }});
    RunCasesInParallel(cases);
}

// FileNum asks for more records than the package holds: the first missing one
// ends the package without a message of its own, and the installation stops.
TEST(BadPackage, FileNumBeyondThePackageStopsAtItsEnd) {
    std::vector<NamedCase> cases;
    for (const char* file_num : {"3", "200", "100000"}) {
        cases.push_back({std::string("filenum-") + file_num, [file_num] {
                             CaseRun run(std::string("filenum-") + file_num);
                             run.WriteInstaller(PackageOf({ScriptRecord(InstallScript(run, file_num)),
                                                           LicenceRecord(), FileRecord("first.txt", kFirstContents),
                                                           Second()}));
                             if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return;
                             run.ExpectMessage(kSetupError, kSetupError, IDOK);
                             run.ExpectCleanEnd();
                             ExpectStoppedAfterFirstFile(run, {LowerCase(run.install_folder() + "\\first.txt"),
                                                               LowerCase(run.install_folder() + "\\second.txt")});
                         }});
    }
    RunCasesInParallel(cases);
}

// A count of zero or below installs no package file; the rest goes on. (No
// step but a file's extraction creates the install folder, so the user's
// choice here is a folder that exists.)
TEST(BadPackage, FileNumOfZeroOrBelowInstallsNoFiles) {
    std::vector<NamedCase> cases;
    for (const char* file_num : {"0", "-1", "-100000"}) {
        cases.push_back({std::string("filenum") + file_num, [file_num] {
                             CaseRun run(std::string("filenum") + file_num);
                             CreateDirectoryA(run.install_folder().c_str(), nullptr);
                             run.WriteInstaller(PackageOf({ScriptRecord(InstallScript(run, file_num)),
                                                           LicenceRecord(), FileRecord("first.txt", kFirstContents)}));
                             if (!run.StartInstaller() || !run.WalkWizardToInstallFolder()) return;
                             run.ExpectClosingQuestion();
                             run.ExpectCleanEnd();
                             EXPECT_EQ(FilesUnder(run.install_folder()),
                                       (std::set<std::string>{LowerCase(run.install_folder() + "\\License.txt"),
                                                              LowerCase(run.install_folder() + "\\Uninstal.inf")}));
                             EXPECT_TRUE(RegistryKeyExists(UninstallKeyOf(run.app_name())));
                             run.ExpectNothingTouchedOutside();
                         }});
    }
    RunCasesInParallel(cases);
}

// Damage in the first two records ends the program before any window opens.
struct StagingDamage {
    std::string name;
    std::function<std::string(const CaseRun&)> package;
    const char* message;  // null: none
    bool script_stays;
};

TEST(BadPackage, DamageWhileStagingEndsBeforeAnyWindow) {
    const auto script = [](const CaseRun& run) { return kqtest::EncodeRecord(ScriptRecord(InstallScript(run, "0"))); };
    const auto with_length = [](kqtest::TestRecord record, uint32_t length) {
        record.override_length = true;
        record.record_length = length;
        return kqtest::EncodeRecord(record);
    };
    const std::vector<StagingDamage> damages = {
        {"no-package", [](const CaseRun&) { return std::string(); }, nullptr, false},
        {"script-header-cut", [&](const CaseRun& run) { return script(run).substr(0, 6); }, kFileError, false},
        {"script-length-1",
         [&](const CaseRun& run) { return with_length(ScriptRecord(InstallScript(run, "0")), 1); }, kFileError,
         false},
        {"script-length-ffffffff",
         [&](const CaseRun& run) { return with_length(ScriptRecord(InstallScript(run, "0")), 0xFFFFFFFF); },
         kFileError, false},
        {"licence-missing", [&](const CaseRun& run) { return script(run); }, nullptr, true},
        {"licence-length-17", [&](const CaseRun& run) { return script(run) + with_length(LicenceRecord(), 17); },
         kFileError, true},
    };
    std::vector<NamedCase> cases;
    for (const StagingDamage& damage : damages) {
        cases.push_back({damage.name, [&damage] {
                             CaseRun run(damage.name);
                             run.WriteInstaller(damage.package(run));
                             if (!run.StartInstaller()) return;
                             if (damage.message != nullptr) run.ExpectMessage("Setup", damage.message, IDOK);
                             run.ExpectCleanEnd();
                             EXPECT_EQ(kqtest::FileExists(run.staged_script()), damage.script_stays);
                             EXPECT_FALSE(kqtest::FileExists(run.staged_licence()));
                             run.ExpectNothingTouchedOutside();
                         }});
    }
    RunCasesInParallel(cases);
}

}  // namespace
}  // namespace kqbad
