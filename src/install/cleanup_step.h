// The end of an installation: the setup script becomes the uninstall log.
#pragma once

namespace kq {

// Moves the setup script (script path buffer) to install folder +
// "\Uninstal.inf", replacing any file there; the script path buffer then
// names the log.
void CleanupStep(const char* install_folder);

}  // namespace kq
