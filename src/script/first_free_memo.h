// The first free lettered key from 'a', found as a scan from 'a' finds it,
// but starting where an earlier scan of the same file in this process found
// every letter below taken. Placement scans [Uninstall] from "filea" and
// "direa" for every installed file; without the memo each scan re-reads the
// growing log from the start, which made those reads most of an installation.
#pragma once

#include <windows.h>

namespace kq {

// One stem of one file. Zero-initialised process-wide data is a valid memo.
struct FirstFreeMemo {
    char path[MAX_PATH];  // the file the memo is about; another path starts afresh
    unsigned start;       // every letter below it was read taken
};

// The letter a scan from 'a' would find (FindFirstFreeLetter). Valid while
// this process alone adds keys to the file and none is emptied or removed,
// as during an installation; a file replaced by a shorter one is noticed by
// re-reading the letter below the start, which must still be taken.
[[nodiscard]] int FindFirstFreeLetterRemembering(FirstFreeMemo& memo, const char* section, const char* stem,
                                                 DWORD read_size, const char* path, unsigned& letter);

}  // namespace kq
