// Texts composed for display in fixed working areas. Unlike the path helpers,
// which refuse what does not fit, a display text is cut where its area ends:
// an overlong application name shortens what the user reads instead of
// writing past the area or leaving the text out.
#pragma once

#include <stddef.h>

namespace kq {

// Appends as much of `source` as fits into `dest` of `capacity` bytes.
// Returns 1 if all of it fitted, 0 if it was cut.
int AppendCut(char* dest, size_t capacity, const char* source);

// Makes `dest` the pieces joined in order, cut at `capacity` - 1 characters.
void ComposeCut(char* dest, size_t capacity, const char* const* pieces, size_t count);

template <size_t Capacity, size_t Count>
void ComposeCut(char (&dest)[Capacity], const char* const (&pieces)[Count]) {
    ComposeCut(dest, Capacity, pieces, Count);
}

}  // namespace kq
