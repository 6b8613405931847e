// The program a scenario packages as the first link's target. Started, it
// writes %TEMP%\launch-probe.txt: its own path, its current folder, and whether the setup
// program's clean-up had run by then (the log beside it in the install
// folder, the staged script gone from the temp folder).
#include <windows.h>

#include "probe_file.h"

namespace {

bool Exists(const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using kqprobe::AppendText;
    char own_path[MAX_PATH] = {};
    char marker[MAX_PATH];
    char staged[MAX_PATH];
    if (GetModuleFileNameA(nullptr, own_path, MAX_PATH) == 0 || !kqprobe::TempPath(marker, "launch-probe.txt") ||
        !kqprobe::TempPath(staged, "Uninstal.inf"))
        return 1;
    char log[MAX_PATH] = {};
    AppendText(log, MAX_PATH, own_path);
    for (int i = lstrlenA(log); i > 0 && log[i - 1] != '\\'; --i) log[i - 1] = '\0';
    AppendText(log, MAX_PATH, "Uninstal.inf");

    char report[4 * MAX_PATH] = {};
    AppendText(report, sizeof report, "program=");
    AppendText(report, sizeof report, own_path);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    AppendText(report, sizeof report, "\r\ncurrent folder=");
    AppendText(report, sizeof report, folder);
    AppendText(report, sizeof report, "\r\nlog in install folder=");
    AppendText(report, sizeof report, Exists(log) ? "1" : "0");
    AppendText(report, sizeof report, "\r\nstaged script in temp=");
    AppendText(report, sizeof report, Exists(staged) ? "1" : "0");
    AppendText(report, sizeof report, "\r\n");
    return kqprobe::WriteWholeFile(marker, report) ? 0 : 1;
}
