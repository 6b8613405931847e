// One section of a profile (INI) file held in memory: read with one call,
// looked up and changed in memory, written back with one call. The profile
// functions read and rewrite the whole file on every key, so an install of
// thousands of files that recorded each key by itself did work growing with
// the square of the file count. The section written back holds exactly what
// the same changes made key by key would leave: a key set again keeps its
// place, a new key goes at the end, and a name that occurs twice is the
// first occurrence, as the profile functions take it.
#pragma once

#include <stdint.h>
#include <windows.h>

namespace kq {

// Zero-initialised, an image is an empty section that no file backs: a set
// of names, for example.
struct SectionImage {
    char* text;          // the entries, each "key=value" (or a bare key) and a NUL
    uint32_t length;     // bytes of entries
    uint32_t capacity;   // bytes allocated for them, one more for the list's end
    uint32_t* slots;     // index by key name: an entry's offset + 1, 0 where free
    uint32_t slot_count; // a power of two, more than twice the entries
    uint32_t entries;
};

// Reads `section` of `path` (a missing file or section reads empty).
// Returns 0, holding nothing, when memory runs out.
[[nodiscard]] int LoadSection(SectionImage& image, const char* section, const char* path);
void ReleaseSection(SectionImage& image);

// The value of `key`, or null when the section has no such key.
const char* FindValue(const SectionImage& image, const char* key);

// An image used as a set of names (each set with an empty value): true when
// it holds `name`. A name with '=' in it is cut there, as a key name is; an
// entry found that way has a value, and does not count.
bool HoldsName(const SectionImage& image, const char* name);

// Sets `key` to `value`. Returns 0 (nothing changed) when memory runs out.
[[nodiscard]] int SetValue(SectionImage& image, const char* key, const char* value);

// Replaces `section` of `path` by the image and writes the file to disk.
void SaveSection(SectionImage& image, const char* section, const char* path);

// The value of key `number` (from 1) of the sequence `stem`, in either of
// its forms (key_names.h), or null when that key is missing or empty: the
// end of the sequence.
const char* FindSequenceValue(const SectionImage& image, const char* stem, unsigned number);

}  // namespace kq
