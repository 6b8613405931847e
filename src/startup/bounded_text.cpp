// Bounded copy and append over NUL-terminated single-byte text.
#include "bounded_text.h"

namespace kq {

size_t TextLength(const char* text) {
    size_t length = 0;
    while (text[length] != '\0') ++length;
    return length;
}

int CopyText(char* dest, size_t capacity, const char* source) {
    const size_t length = TextLength(source);
    if (length >= capacity) return 0;
    for (size_t i = 0; i <= length; ++i) dest[i] = source[i];
    return 1;
}

int AppendBytes(char* dest, size_t capacity, const char* source, size_t count) {
    const size_t start = TextLength(dest);
    if (start >= capacity || count >= capacity - start) return 0;
    for (size_t i = 0; i < count; ++i) dest[start + i] = source[i];
    dest[start + count] = '\0';
    return 1;
}

int AppendText(char* dest, size_t capacity, const char* source) {
    return AppendBytes(dest, capacity, source, TextLength(source));
}


}  // namespace kq
