// Building, reading and scanning lettered keys.
#include "lettered_key.h"

#include "profile.h"
#include "startup/bounded_text.h"

namespace kq {

int MakeLetteredKey(LetteredKey& key, const char* stem, unsigned letter) {
    const char suffix[2] = {static_cast<char>(letter), '\0'};
    return CopyText(key.text, sizeof key.text, stem) && AppendText(key.text, sizeof key.text, suffix);
}

DWORD ReadLetteredKey(const char* section, const char* stem, unsigned letter, char* buffer, DWORD size,
                      const char* path) {
    LetteredKey key;
    if (letter < kFirstKeyLetter || letter > kLastKeyLetter || !MakeLetteredKey(key, stem, letter)) {
        if (size > 0) buffer[0] = '\0';
        return 0;
    }
    return ReadProfileText(section, key.text, buffer, size, path);
}

int FindFirstFreeLetter(const char* section, const char* stem, unsigned start, DWORD read_size, const char* path,
                        unsigned& letter) {
    char probe[kValueReadSize];
    if (read_size > sizeof probe) read_size = sizeof probe;
    for (unsigned candidate = start; candidate <= kLastKeyLetter; ++candidate) {
        if (ReadLetteredKey(section, stem, candidate, probe, read_size, path) == 0) {
            letter = candidate;
            return 1;
        }
    }
    return 0;
}

}  // namespace kq
