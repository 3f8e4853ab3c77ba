#pragma once
// The profile-file engine: reads and edits the bytes of an INI file with the rules of the
// platform's profile functions, and keeps every byte it does not change.
//
// - section and key names are matched without regard to ASCII letter case; the names asked for
//   are taken without the blanks and tabs at their ends;
// - a line is ended by CRLF, LF or CR; a UTF-8 mark at the start of the file is kept and skipped;
// - a section line is "[" up to the last "]" of the line; a key line holds "=", its name is the
//   text before the first "=" without the blanks and tabs at its ends; any other line is kept as
//   it stands and never matched;
// - a value is read without the blanks and tabs at its ends, and without one pair of matching
//   quotes (" or ') around it; a value is read in full (no 254-character cut);
// - the first section of a name, and the first key of a name in it, are the ones read and written;
// - writing an existing key replaces what follows its "=" and keeps the rest of the line (the key's
//   written name included); a new key goes after the last non-blank line of its section; a new
//   section goes at the end of the file, after a line break when the file does not end with one;
//   no blank line is ever added;
// - new lines take the file's own line ending (the first line break found; CRLF when none);
// - a file that starts with a UTF-16 mark is not 8-bit text: nothing is read from it, and it is
//   never written.
// Everything here works on the stored bytes; nothing here does I/O.

#include <optional>
#include <string>
#include <string_view>

namespace quellix::profile {

// The value of `key` in `section`, or nothing when the section or the key is missing.
std::optional<std::string> readValue(std::string_view file, std::string_view section,
                                     std::string_view key);

// The file with `key` of `section` set to `value`; nothing when the names or the value cannot be
// stored without changing the file's structure: an empty name, a name with blanks or tabs at its
// ends, a line break or NUL anywhere, "]" in a section name, "=" in a key or a key starting with
// "[". Nothing as well for a file that starts with a UTF-16 mark.
std::optional<std::string> writeValue(std::string_view file, std::string_view section,
                                      std::string_view key, std::string_view value);

// True when the file starts with the UTF-8 mark: its names and values are then UTF-8 text, not
// text of the ANSI code page.
bool isUtf8Text(std::string_view file);

} // namespace quellix::profile
