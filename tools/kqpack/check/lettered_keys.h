// Keys of a sequence as the installer names them (script/key_names.h): the
// stem and a letter 'a' to '~' for keys 1 to 30, the stem and the key's number
// from key 31 on ("file31"). Readers also take the letter form older
// installers gave keys 31 to 159 (bytes 0x7F to 0xFF); a sequence ends at the
// first key that is missing or empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "check/profile_text.h"
#include "script/key_names.h"

namespace kqpack {

// An uninstaller from before numbered keys reads keys 1 to 30 only: it stops
// at the first missing letter, stem + 0x7F.
inline constexpr unsigned kKeysOlderUninstallersRead = kq::kLetterKeyCount;

// The name of key `number` (from 1) of `stem`, as the installer writes it.
std::string SequenceKey(std::string_view stem, unsigned number);

// The number of `key` in the sequence of `stem`, in either form. Names match
// without regard to case, so "LinkB" is link key 2.
std::optional<unsigned> NumberOfKey(std::string_view key, std::string_view stem);

// The entry the installer reads as key `number` of `stem`: the older letter
// form when its value is not empty, else the numbered form (else the empty
// older one, else null).
const ProfileEntry* FindSequenceEntry(const ProfileText& profile, std::string_view section, std::string_view stem,
                                      unsigned number);
// Its value as the installer reads it: "" when missing or empty.
std::string ReadSequenceKey(const ProfileText& profile, std::string_view section, std::string_view stem,
                            unsigned number);

// A key name fit for a message: bytes outside printable ASCII as \xNN.
std::string DisplayKey(std::string_view key);

// The values the installer reads from key 1 upward, up to the first missing
// or empty one.
std::vector<std::string> ReadSequence(const ProfileText& profile, std::string_view section, std::string_view stem);

// "first", "second", ... "tenth", then "11th", "22nd" and so on.
std::string Ordinal(size_t n);

}  // namespace kqpack
