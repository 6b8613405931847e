// Process-wide text buffers and setup context, owned by the program entry for
// the whole run and reached by every subsystem that names them.
#pragma once

#include <windows.h>

namespace kq {

inline constexpr size_t kTextBufferSize = 256;  // one text of at most 255 characters

// Allocated by the entry in this order, freed in the same order at the end.
struct TextBuffers {
    char* folder;        // default, then chosen install folder; uninstaller: recorded dir
    char* name;          // AppName
    char* message;       // AppBy; uninstaller: the confirmation question
    char* value;         // uninstaller: entries read from the log
    char* title;         // window caption, scratch for link targets and VerNum
    char* script_path;   // staged setup script; uninstaller: the log's path
    char* licence_path;  // staged licence; uninstaller: linkdir
    char* launch;        // first link's target, started at the end if wanted
};

// Written by AllocateTextBuffers (entry), read by every subsystem.
extern TextBuffers g_text;

// The program's own path, then the temp folder path; written by the entry.
extern char* g_module_path;

// The process exit code, in both modes: scripts and deployment tools tell by
// it how the run ended.
enum ExitCode : int {
    kExitDone = 0,       // installed, or uninstalled
    kExitCancelled = 1,  // the user cancelled or declined
    kExitFailed = 2,     // damaged package, a file error, a setup or uninstall error
};

struct SetupContext {
    HINSTANCE instance;             // installer mode only
    char install_folder[MAX_PATH];  // proposed default, then the user's choice
    // How the run ends: failed until a step says otherwise, so that no
    // unforeseen end reads as success.
    int exit_code;
    // The longest stored name among the files to install, which the install
    // folder must leave room for.
    size_t longest_stored_name;
    // An unattended run (/S): no window, no question; the licence counts as
    // accepted, the install folder is `requested_folder` (/D=) or the
    // proposal, and every message goes to `run_log` (/LOG=), when given.
    int silent;
    char requested_folder[MAX_PATH];
    char run_log[MAX_PATH];
};

// Written by the entry (instance), the wizard and the install sequence (folder).
extern SetupContext g_setup;

// Allocates the eight text buffers, each starting empty. Returns 0 (and holds
// nothing) if any allocation fails.
[[nodiscard]] int AllocateTextBuffers();
void FreeTextBuffers();

[[nodiscard]] int AllocateModulePathBuffer();
void FreeModulePathBuffer();

}  // namespace kq
