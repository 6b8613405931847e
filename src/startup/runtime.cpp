// The few C runtime routines the compiler may call on its own (struct copies,
// zeroing, overlapping moves) and the Windows headers' CopyMemory and
// MoveMemory call. The stub links no C runtime, so they live here, defined
// against the C library's own declarations: those say __cdecl, so callers
// and definitions agree on the stack convention even where the stub's own
// functions take their arguments in registers.
#include <string.h>

// Keep GCC from turning these loops back into calls to themselves.
#define KQ_NO_BUILTIN_LOOPS __attribute__((optimize("no-tree-loop-distribute-patterns"), used))

extern "C" {

KQ_NO_BUILTIN_LOOPS void* memset(void* dest, int value, size_t count) {
    auto* d = static_cast<unsigned char*>(dest);
    while (count-- != 0) *d++ = static_cast<unsigned char>(value);
    return dest;
}

KQ_NO_BUILTIN_LOOPS void* memcpy(void* dest, const void* source, size_t count) {
    auto* d = static_cast<unsigned char*>(dest);
    const auto* s = static_cast<const unsigned char*>(source);
    while (count-- != 0) *d++ = *s++;
    return dest;
}

KQ_NO_BUILTIN_LOOPS void* memmove(void* dest, const void* source, size_t count) {
    auto* d = static_cast<unsigned char*>(dest);
    const auto* s = static_cast<const unsigned char*>(source);
    if (d < s) {
        while (count-- != 0) *d++ = *s++;
    } else {
        while (count-- != 0) d[count] = s[count];
    }
    return dest;
}

KQ_NO_BUILTIN_LOOPS int memcmp(const void* a, const void* b, size_t count) {
    const auto* x = static_cast<const unsigned char*>(a);
    const auto* y = static_cast<const unsigned char*>(b);
    for (; count != 0; --count, ++x, ++y)
        if (*x != *y) return *x < *y ? -1 : 1;
    return 0;
}

}  // extern "C"
