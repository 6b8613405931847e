// The uninstaller's work: confirm, then remove everything the uninstall log
// records, and report the result.
#pragma once

namespace kq {

// Reads the log named by the script path buffer. Returns kExitDone when it ran
// through to the registry removal, kExitCancelled when the user declined,
// kExitFailed when the log names no application or install folder (after
// saying so). Leaves the application
// name in the name buffer and the install folder in the folder buffer.
int RunUninstallSequence();

// The final message after a completed run: "<name> has been uninstalled.",
// with a second line when the install folder is still there.
void ShowUninstallReport();

// Deletes the application's entry in the list of installed programs and its
// key's "settings" and "Recent File List" subkeys (below "Software\" +
// `company` + "\" + name, when it exists, and only with a company name).
// With an empty application name (name buffer) nothing is done.
void RemoveUninstallEntry(const char* company);

}  // namespace kq
