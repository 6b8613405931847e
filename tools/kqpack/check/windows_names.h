// What Windows accepts as a file or folder name, judged on the build machine
// so that a name that cannot be created fails the build, not the install.
#pragma once

#include <string>
#include <string_view>

namespace kqpack {

// Why `name` cannot be one file or folder name on Windows: a separator, a
// character Windows refuses, a device name such as CON or LPT1; "" when fine.
std::string NameComponentProblem(std::string_view name);

// Why the installer would refuse a stored name (kq::CheckStoredName, in
// words), or that it is longer than a record can hold; "" when fine.
std::string StoredNameProblem(std::string_view stored_name);

// A component that Windows would rename by dropping trailing dots or blanks;
// "" when there is none.
std::string TrailingDotOrBlank(std::string_view stored_name);

// The key two relative paths are one file by on Windows: backslashes, ASCII
// case folded.
std::string WindowsPathKey(std::string_view relative_path);

}  // namespace kqpack
