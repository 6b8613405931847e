// The keys of one section of an INI file (a setup script or an uninstall
// log) in the order the file holds them, read by the profile functions as
// the installer and uninstaller read it.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kqe2e {

using ProfileEntry = std::pair<std::string, std::string>;  // key, value

std::vector<ProfileEntry> SectionEntries(const std::string& ini_path, const std::string& section);
std::vector<std::string> SectionNames(const std::string& ini_path);
std::string ProfileValue(const std::string& ini_path, const std::string& section, const std::string& key);

}  // namespace kqe2e
