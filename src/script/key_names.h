// Names of the keys of a sequence (file, dire, dll, link, linkfile, ...): the
// stem, then the key's number in the sequence (key 1 is the first). Keys 1 to
// 30 take one letter, 'a' to '~'; from key 31 on the number follows the stem
// in decimal ("file31"). Letters above '~' are not safe as key names: the
// profile functions convert names through the ANSI code page and compare them
// without regard to case, so in many code pages two such letters name one key.
// Logs and scripts written by older installers went on with letters up to
// 0xFF (key 159); readers take that form too.
#pragma once

#include <stddef.h>

namespace kq {

inline constexpr unsigned kLetterKeyCount = 30;     // 'a' .. '~'
inline constexpr unsigned kOlderFormLastKey = 159;  // 'a' .. 0xFF in older logs

// Room for the longest stem ("linkfile") and a number of ten digits.
inline constexpr size_t kKeyNameSize = 20;

// The name of key `number` (from 1) of `stem` into `dest`: as written now,
// or with `older_form`, the letter form older installers gave keys 31 to
// 159 (stem + one letter from 0x7F to 0xFF). Returns 0 when there is no
// such name (number 0; with `older_form` a number outside 31 to 159: dest
// empty) or it would not fit (dest then holds no key of the sequence).
[[nodiscard]] int KeyName(char* dest, size_t capacity, const char* stem, unsigned number, bool older_form = false);

}  // namespace kq
