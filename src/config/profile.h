#pragma once
// The profile-file engine: reads and edits the bytes of an INI file with the rules of the
// platform's profile functions, and keeps every byte it does not change.
//
// - section and key names are matched without regard to ASCII letter case;
// - a value is read without the blanks and tabs at its ends, and without one pair of matching
//   quotes around it; a value is read in full (no 254-character cut);
// - the first section of a name, and the first key of a name in it, are the ones read and written;
// - writing an existing key replaces its value and keeps the key's written name; a new key goes
//   after the last non-blank line of its section; a new section goes at the end of the file;
// - new lines take the file's own line ending (CRLF for an empty file).
// Everything here works on the stored bytes (ANSI code page); nothing here does I/O.

#include <optional>
#include <string>
#include <string_view>

namespace quellix::profile {

// The value of `key` in `section`, or nothing when the section or the key is missing.
std::optional<std::string> readValue(std::string_view file, std::string_view section,
                                     std::string_view key);

// The file with `key` of `section` set to `value`; nothing when the names or the value cannot be
// stored without changing the file's structure (a line break, "]" in a section name, "=" in a key).
std::optional<std::string> writeValue(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view value);

} // namespace quellix::profile
