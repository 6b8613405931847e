// The shell's special folders and the shortcuts in them, as the installer
// sees them.
#pragma once

#include <string>

#include "support/shell_link.h"

namespace kqe2e {

// The folder's path (not created); empty if it cannot be looked up.
std::string SpecialFolder(int csidl);
std::string ProgramsFolder();
std::string DesktopFolder();
std::string StartupFolder();
// AppData + "\Microsoft\Internet Explorer\Quick Launch"; a new Wine prefix
// has none, a user's Windows has one.
std::string QuickLaunchFolder();
void CreateQuickLaunchFolder();

using kqtest::LinkContents;
using kqtest::LoadLink;

}  // namespace kqe2e
