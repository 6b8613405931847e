// Paths that the package and the uninstall log give relative to the install
// folder: a stored name, a recorded directory. A part that means "the folder
// above" would take them out of the install folder, among the user's files.
#pragma once

#include <stddef.h>

namespace kq {

// True when a part of the first `length` characters of `path`, between
// backslashes or slashes (the platform takes both), consists of dots and
// blanks only with at least two dots: "..", and the forms the platform reads
// as ".." because it drops trailing dots and blanks from a name.
[[nodiscard]] bool ClimbsOutOfItsFolder(const char* path, size_t length);

}  // namespace kq
