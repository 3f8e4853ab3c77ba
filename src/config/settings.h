#pragma once
// Access to config.ini: one key at a time, read from or written to the file at each call (or read
// from one reading of the file, for many keys).

#include "ports.h"

#include <optional>
#include <string>
#include <string_view>

namespace quellix {

// The folder of the program followed by "\config.ini".
std::string configPath(ProcessPort& process);

// The value of `key` in `section` of `file`, or `defaultValue` when there is none.
std::string LireIni(const System& os, std::string_view section, std::string_view key,
                    const std::string& file, std::string_view defaultValue);

// The same from the file's bytes as already read (nothing: the file could not be read), so that
// many keys are read from one reading of the file.
std::string LireIni(AnsiCodePage& ansi, const std::optional<std::string>& bytes,
                    std::string_view section, std::string_view key, std::string_view defaultValue);

// Writes one key; the file is replaced atomically. False when nothing could be written (read-only
// file, no write access, a value that the ANSI code page cannot hold): the file is then untouched.
bool EcrireIni(const System& os, std::string_view section, std::string_view key,
               std::string_view value, const std::string& file);

// True when `text` can be written into `file` as it is: a file of the ANSI code page cannot hold
// every character.
bool fitsConfigFile(const System& os, std::string_view text, const std::string& file);

// False only when "present" of the game's section reads exactly "0".
bool JeuPresent(const System& os, std::string_view section);
// The same from config.ini's bytes as already read.
bool JeuPresent(AnsiCodePage& ansi, const std::optional<std::string>& config,
                std::string_view section);

// "1" when "path" of the game's section reads non-empty, else "0".
std::string EtatChemin(const System& os, std::string_view section);
// The same from config.ini's bytes as already read.
std::string EtatChemin(AnsiCodePage& ansi, const std::optional<std::string>& config,
                       std::string_view section);

} // namespace quellix
