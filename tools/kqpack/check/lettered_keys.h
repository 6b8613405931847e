// Lettered keys as the installer forms them: a stem and one letter counting
// up by byte value from 'a' to 0xFF, 159 keys at most; a sequence ends at the
// first key that is missing or empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/profile_text.h"

namespace kqpack {

inline constexpr unsigned kFirstLetter = 'a';
inline constexpr unsigned kLastLetter = 0xFF;
inline constexpr size_t kLettersPerStem = kLastLetter - kFirstLetter + 1;  // 159

std::string LetteredKey(std::string_view stem, unsigned letter);

// The letter of `key` when it is `stem` and one letter the installer can
// form. Names match without regard to case, so "LinkB" is link letter 'b'.
std::optional<unsigned> LetterOfKey(std::string_view key, std::string_view stem);

// A key name fit for a message: bytes outside printable ASCII as \xNN.
std::string DisplayKey(std::string_view key);

// The values the installer reads from stem + 'a' upward, up to the first
// missing or empty one.
std::vector<std::string> ReadSequence(const ProfileText& profile, std::string_view section, std::string_view stem);

// "first", "second", ... "tenth", then "11th", "22nd" and so on.
std::string Ordinal(size_t n);

}  // namespace kqpack
