// The environment a program under test starts with.
#pragma once

#include <string>

namespace kqgui {

// This process's environment block with TMP and TEMP naming `temp_folder`,
// so that the program stages its files there.
std::string EnvironmentWithTemp(const std::string& temp_folder);

}  // namespace kqgui
