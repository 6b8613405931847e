/* Preloaded into the i386 Wine loader when it runs under qemu-i386 user mode.
 * qemu 7.2 takes MAP_FIXED_NOREPLACE as a mere hint, and every emulated mmap
 * of a large range is slow; Wine's start-up reserves its address space with
 * tens of thousands of such calls. This library gives mmap the no-replace
 * semantics and refuses the reservations, so a 32-bit process starts in about
 * a second instead of over a minute. Freestanding: syscall, errno and unsetenv
 * are all it takes from the i386 C library. */
#include <stddef.h>

#define PROT_NONE 0x0
#define MAP_ANONYMOUS 0x20
#define MAP_NORESERVE 0x4000
#define MAP_FIXED_NOREPLACE 0x100000
#define MAP_FAILED ((void *)-1)
#define EEXIST 17
#define ENOMEM 12
#define EINVAL 22

#define SYS_munmap 91
#define SYS_mmap2 192
#define PAGE_SHIFT 12

extern int *__errno_location(void);
extern int unsetenv(const char *name);
extern long syscall(long number, ...);

static void *fail(int code) {
    *__errno_location() = code;
    return MAP_FAILED;
}

static void *map_pages(void *addr, size_t length, int prot, int flags, int fd, unsigned long long offset) {
    if (offset & ((1u << PAGE_SHIFT) - 1)) return fail(EINVAL);
    /* syscall() sets errno itself and answers -1 on failure. */
    return (void *)syscall(SYS_mmap2, addr, length, prot, flags, fd, (unsigned long)(offset >> PAGE_SHIFT));
}

static void *shim_mmap(void *addr, size_t length, int prot, int flags, int fd, unsigned long long offset) {
    /* Wine's address-space reservations: anonymous, inaccessible, no swap,
     * at an address of Wine's choosing. Refusing them makes Wine halve and
     * retry without any emulated call; Wine then maps what it needs where it
     * needs it. Its other inaccessible mappings (reserved memory at no fixed
     * address) carry no MAP_FIXED_NOREPLACE and pass. */
    if (prot == PROT_NONE && (flags & MAP_NORESERVE) && (flags & MAP_ANONYMOUS) && (flags & MAP_FIXED_NOREPLACE))
        return fail(ENOMEM);
    if (!(flags & MAP_FIXED_NOREPLACE)) return map_pages(addr, length, prot, flags, fd, offset);
    /* The kernel's meaning: map exactly at addr or fail with EEXIST, never
     * somewhere else. */
    void *mapped = map_pages(addr, length, prot, flags & ~MAP_FIXED_NOREPLACE, fd, offset);
    if (mapped == MAP_FAILED || mapped == addr) return mapped;
    syscall(SYS_munmap, mapped, length);
    return fail(EEXIST);
}

__attribute__((visibility("default"))) void *mmap(void *addr, size_t length, int prot, int flags, int fd, long offset) {
    return shim_mmap(addr, length, prot, flags, fd, (unsigned long long)(unsigned long)offset);
}

__attribute__((visibility("default"))) void *mmap64(void *addr, size_t length, int prot, int flags, int fd,
                                                    long long offset) {
    if (offset < 0) return fail(EINVAL);
    return shim_mmap(addr, length, prot, flags, fd, (unsigned long long)offset);
}

/* Wine starts native 64-bit programs (wineserver, wine64) from this process;
 * they cannot load an i386 library and would warn about it. */
__attribute__((constructor)) static void leave_environment(void) { unsetenv("LD_PRELOAD"); }
