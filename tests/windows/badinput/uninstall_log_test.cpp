// Stray and hostile uninstall logs, end to end: the uninstaller started as
// the uninstall entry starts it, on a log that is missing, unreadable, points
// at the user's own folder, lists what is not there, fills every letter or
// names directories above the install folder. It deletes no file that the log
// does not list and removes no folder outside the install folder.
#include <gtest/gtest.h>

#include <random>

#include "case_run.h"
#include "parallel_cases.h"
#include "support/wine_paths.h"

namespace kqbad {
namespace {

std::string Question(const std::string& name) {
    return "Are you sure you want to completely\nremove " + name + " from your computer?";
}

std::string LogText(const CaseRun& run, const std::string& dir, const std::string& uninstall_lines) {
    return "[Install]\r\nAppName=" + run.app_name() + "\r\n[Uninstall]\r\ndir=" + dir + "\r\n" + uninstall_lines;
}

std::string KeyLetter(unsigned letter) {
    return std::string(1, static_cast<char>(letter));
}

// A log the uninstaller cannot use: it asks with whatever name it found,
// then refuses, and nothing changes.
struct UnusableLog {
    std::string name;
    std::optional<std::string> contents;  // none: no log file at all
    size_t tail_length = 0;               // nonzero: a tail of this length instead of the log's path
};

TEST(BadUninstallLog, UnusableLogAsksThenRefusesAndChangesNothing) {
    std::mt19937 random(61);
    std::string garbage(4096, '\0');
    for (char& c : garbage) c = static_cast<char>(random());
    garbage[0] = 1;  // not a byte-order mark
    const std::vector<UnusableLog> logs = {
        {"log-missing", std::nullopt},
        {"log-empty", std::string()},
        {"log-garbage", garbage},
        {"tail-1000", std::nullopt, 1000},
    };
    std::vector<NamedCase> cases;
    for (const UnusableLog& log : logs) {
        cases.push_back({log.name, [&log] {
                             CaseRun run(log.name);
                             const std::string path = run.home() + "\\Uninstal.inf";
                             if (log.contents) kqtest::WriteBytes(path, *log.contents);
                             std::string tail = path;
                             if (log.tail_length != 0) tail = run.home() + "\\" + std::string(log.tail_length - run.home().size() - 1, 'x');
                             if (!run.StartUninstaller(tail)) return;
                             run.ExpectMessage("Uninstall", Question(""), IDYES);
                             run.ExpectMessage("Uninstall", "Uninstall error!  Unable to uninstall!", IDOK);
                             run.ExpectCleanEnd();
                             run.ExpectNothingTouchedOutside();
                         }});
    }
    RunCasesInParallel(cases);
}

// `dir` names the user's own folder: the files the log lists go, the user's
// files and folders stay, and the report says that some files remain.
void DirIsTheUsersFolder() {
    CaseRun run("dir-users-folder");
    const std::string folder = run.home() + "\\Documents";
    const std::string listed[] = {folder + "\\app.exe", folder + "\\readme.txt"};
    for (const std::string& file : listed) kqtest::WriteBytes(file, "installed");
    const std::string log = run.home() + "\\Uninstal.inf";
    kqtest::WriteBytes(log, LogText(run, folder, "filea=" + listed[0] + "\r\nfileb=" + listed[1] + "\r\nfilec=" + log +
                                                     "\r\ndirea=Old\r\n"));
    if (!run.StartUninstaller(log)) return;
    run.ExpectMessage("Uninstall", Question(run.app_name()), IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.\r\nSome files could not be removed.", IDOK);
    run.ExpectCleanEnd();
    run.ExpectNothingTouchedOutside({listed[0], listed[1], log});
    EXPECT_FALSE(kqtest::FileExists(listed[0]));
}

// File keys naming files that are not there: nothing else is deleted.
void ListedFilesMissing() {
    CaseRun run("files-missing");
    const std::string log = run.home() + "\\Uninstal.inf";
    kqtest::WriteBytes(log, LogText(run, run.install_folder(),
                                    "filea=" + run.install_folder() + "\\gone.exe\r\nfileb=" + run.home() +
                                        "\\ghost.txt\r\nfilec=" + run.home() + "\\Documents\\Old\r\nfiled=" +
                                        run.home() + "\\Empty\r\nfilee=" + log + "\r\n"));
    if (!run.StartUninstaller(log)) return;
    run.ExpectMessage("Uninstall", Question(run.app_name()), IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.", IDOK);
    run.ExpectCleanEnd();
    run.ExpectNothingTouchedOutside({log});
}

// File keys on all 159 letters: every listed file goes, and the folder.
void FileKeysOnEveryLetter() {
    CaseRun run("file-keys-159");
    CreateDirectoryA(run.install_folder().c_str(), nullptr);
    std::string keys;
    for (unsigned letter = 'a'; letter <= 0xFF; ++letter) {
        const std::string file = run.install_folder() + "\\f" + std::to_string(letter) + ".dat";
        kqtest::WriteBytes(file, "installed");
        keys += "file" + KeyLetter(letter) + "=" + file + "\r\n";
    }
    const std::string log = run.home() + "\\Uninstal.inf";
    kqtest::WriteBytes(log, LogText(run, run.install_folder(), keys));
    if (!run.StartUninstaller(log)) return;
    run.ExpectMessage("Uninstall", Question(run.app_name()), IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.", IDOK);
    run.ExpectCleanEnd();
    EXPECT_FALSE(kqtest::FileExists(run.install_folder()))
        << FilesUnder(run.install_folder()).size() << " files left";
    run.ExpectNothingTouchedOutside();
}

// dire values that climb above the install folder: the (empty) folders they
// reach belong to the user and stay.
void DireClimbsOut() {
    CaseRun run("dire-climbs");
    const std::string dir = run.home() + "\\Empty\\Gone\\Deep";
    const std::string log = run.home() + "\\Uninstal.inf";
    kqtest::WriteBytes(log, LogText(run, dir, "filea=" + log + "\r\ndirea=..\\..\r\ndireb=..\\..\\..\\Apps\r\n" +
                                                  "direc=x\\..\\..\\..\r\ndired=.. \\..\r\n"));
    if (!run.StartUninstaller(log)) return;
    run.ExpectMessage("Uninstall", Question(run.app_name()), IDYES);
    run.ExpectMessage("Uninstall", run.app_name() + " has been uninstalled.", IDOK);
    run.ExpectCleanEnd();
    EXPECT_TRUE(kqtest::FileExists(run.home() + "\\Empty"));
    EXPECT_TRUE(kqtest::FileExists(run.home() + "\\Apps"));
    run.ExpectNothingTouchedOutside({log});
}

TEST(BadUninstallLog, LogRemovesOnlyWhatItListsInsideTheInstallFolder) {
    RunCasesInParallel({{"dir-users-folder", DirIsTheUsersFolder},
                        {"files-missing", ListedFilesMissing},
                        {"file-keys-159", FileKeysOnEveryLetter},
                        {"dire-climbs", DireClimbsOut}});
}

}  // namespace
}  // namespace kqbad
