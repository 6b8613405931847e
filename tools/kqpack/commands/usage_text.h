// The help texts of kqpack and of each of its commands.
#pragma once

#include <string_view>

namespace kqpack {

// The overview: every command in a line or two, the exit codes.
extern const char* const kGeneralUsage;

// The full help of one command, or nullptr for an unknown one.
const char* CommandUsage(std::string_view command);

}  // namespace kqpack
