// First-free scans that start where the last one found the keys taken.
#include "first_free_memo.h"

#include "lettered_key.h"
#include "startup/bounded_text.h"

namespace kq {

int FindFirstFreeLetterRemembering(FirstFreeMemo& memo, const char* section, const char* stem, DWORD read_size,
                                   const char* path, unsigned& letter) {
    if (memo.path[0] == '\0' || lstrcmpiA(memo.path, path) != 0) {
        // A path too long to remember is scanned from 'a' every time.
        if (!CopyText(memo.path, sizeof memo.path, path)) memo.path[0] = '\0';
        memo.start = kFirstKeyLetter;
    }
    unsigned start = memo.start > kFirstKeyLetter ? memo.start : kFirstKeyLetter;
    if (start > kFirstKeyLetter) {
        char probe[kValueReadSize];
        if (ReadLetteredKey(section, stem, start - 1, probe, read_size < sizeof probe ? read_size : sizeof probe,
                            path) == 0)
            start = kFirstKeyLetter;
    }
    if (!FindFirstFreeLetter(section, stem, start, read_size, path, letter)) return 0;
    // Not past the letter found: a value written there may still read empty.
    if (memo.path[0] != '\0') memo.start = letter;
    return 1;
}

}  // namespace kq
