// Cutting composition of display texts over the bounded append helper.
#include "display_text.h"

#include "startup/bounded_text.h"

namespace kq {

int AppendCut(char* dest, size_t capacity, const char* source) {
    const size_t used = TextLength(dest);
    if (used + 1 >= capacity) return source[0] == '\0';
    const size_t room = capacity - 1 - used;
    const size_t length = TextLength(source);
    const size_t count = length < room ? length : room;
    // Cannot be refused: count leaves room for the terminator.
    (void)AppendBytes(dest, capacity, source, count);
    return count == length;
}

void ComposeCut(char* dest, size_t capacity, const char* const* pieces, size_t count) {
    if (capacity == 0) return;
    dest[0] = '\0';
    for (size_t i = 0; i < count; ++i) AppendCut(dest, capacity, pieces[i]);
}

}  // namespace kq
