// Lettered keys: a stem followed by one key letter that counts up by byte
// value from 'a' ('z' is followed by '{', '|', ... up to 0xFF). The letter
// never wraps, so a stem has room for 159 keys.
#pragma once

#include <windows.h>

namespace kq {

inline constexpr unsigned kFirstKeyLetter = 'a';
inline constexpr unsigned kLastKeyLetter = 0xFF;

// Reads of free-key probes by the record extractor keep 63 characters;
// every other read keeps 254 (a 255-character buffer).
inline constexpr DWORD kProbeReadSize = 64;
inline constexpr DWORD kValueReadSize = 255;

struct LetteredKey {
    char text[16];  // the longest stem is "linkfile"
};

// Returns 0 when the stem is too long for a key (never the case for ours).
[[nodiscard]] int MakeLetteredKey(LetteredKey& key, const char* stem, unsigned letter);

// Reads stem + letter. Returns the characters read (0: missing or empty).
DWORD ReadLetteredKey(const char* section, const char* stem, unsigned letter, char* buffer, DWORD size,
                      const char* path);

// The first letter from `start` on whose key reads empty. Returns 0 when
// every letter up to 0xFF is taken (the sequence is full), else 1.
[[nodiscard]] int FindFirstFreeLetter(const char* section, const char* stem, unsigned start, DWORD read_size,
                                      const char* path, unsigned& letter);

}  // namespace kq
