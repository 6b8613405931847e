// Bounded text helpers: every copy into a fixed buffer goes through these.
// A text that would not fit is refused and the buffer left as it was, so an
// overlong path is never cut into a different, valid-looking one.
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

}  // namespace kq
