// Bounded text over NUL-terminated single-byte strings: every copy into a
// fixed buffer goes through these. Paths and commands are refused when they
// would not fit, and the buffer left as it was, so an overlong path is never
// cut into a different, valid-looking one. Texts for display are cut where
// their area ends instead: an overlong application name shortens what the
// user reads rather than writing past the area or leaving the text out.
#pragma once

#include <stddef.h>

namespace kq {

size_t TextLength(const char* text);

// Copies `source` into `dest` of `capacity` bytes (terminator included).
// Returns 1 on success, 0 if it does not fit (dest unchanged).
[[nodiscard]] int CopyText(char* dest, size_t capacity, const char* source);

// Appends `source` to the text in `dest`. Returns 0 if the result would not
// fit (dest unchanged).
[[nodiscard]] int AppendText(char* dest, size_t capacity, const char* source);

// Appends `count` bytes of `source` (which need no terminator).
[[nodiscard]] int AppendBytes(char* dest, size_t capacity, const char* source, size_t count);

// `folder` + "\" + `name` into `dest`. Returns 0 if it would not fit (dest
// unchanged).
[[nodiscard]] int JoinPath(char* dest, size_t capacity, const char* folder, const char* name);

// The folder part of `path` (everything before its last backslash) into
// `dest`. Returns 0 when the path has no backslash or does not fit.
[[nodiscard]] int ParentFolder(char* dest, size_t capacity, const char* path);

// Appends as much of `source` as fits into `dest` of `capacity` bytes.
// Returns 1 if all of it fitted, 0 if it was cut.
int AppendCut(char* dest, size_t capacity, const char* source);

// Makes `dest` the pieces joined in order, cut at `capacity` - 1 characters.
void ComposeCut(char* dest, size_t capacity, const char* const* pieces, size_t count);

template <size_t Capacity, size_t Count>
void ComposeCut(char (&dest)[Capacity], const char* const (&pieces)[Count]) {
    ComposeCut(dest, Capacity, pieces, Count);
}

// Paths that the package and the uninstall log give relative to the install
// folder (a stored name, a recorded directory): true when a part of the
// first `length` characters of `path`, between backslashes or slashes (the
// platform takes both), consists of dots and blanks only with at least two
// dots: "..", and the forms the platform reads as ".." because it drops
// trailing dots and blanks from a name. Such a path would leave the install
// folder, among the user's files.
[[nodiscard]] bool ClimbsOutOfItsFolder(const char* path, size_t length);

// What is wrong with an install folder the user typed, if anything: it must
// be absolute ("X:\..." or "\\server\share\..."), hold no character Windows
// does not allow in names, and leave room within 255 characters for
// "\" + the longest stored name and for "\Uninstal.inf".
enum class FolderProblem { kNone, kEmpty, kNotAbsolute, kBadCharacter, kTooLong };
[[nodiscard]] FolderProblem InstallFolderProblem(const char* folder, size_t longest_stored_name);

// True when `path`, meant to be relative to a folder, would lead out of it:
// absolute (a leading backslash or slash), on a drive ("X:"), or climbing out.
[[nodiscard]] bool LeavesItsFolder(const char* path);

}  // namespace kq
