#pragma once
// Under Wine, a Linux browser hands a vx link to xdg-open, which runs the default desktop entry of
// x-scheme-handler/vx in mimeapps.list. Every start makes that entry start this copy of the
// launcher in the prefix it runs in: the texts are decided here, the files reached through ports.

#include "ports.h"

#include <optional>
#include <string>

namespace quellix {

// The shell script that hands its first argument to `program` (a Windows path) in Wine's prefix.
std::string linkScript(const WineDesktop& wine, const std::string& program);

// The desktop entry that runs `script` with the link. Its Exec holds no blank or quote inside an
// argument when the script's path holds none, so that it reads the same to xdg-open without a
// desktop environment (which cuts at blanks) and to the desktops' openers (which unquote).
std::string desktopEntry(const std::string& script);

// mimeapps.list (nothing: no file) with our entry as the default handler of vx links, every other
// line kept as it is; nothing when the file already says so, or is not text we may rewrite.
std::optional<std::string> withVxDefault(const std::optional<std::string>& mimeapps);

// Writes the script, the entry and the default where they differ, in that order. Under Wine only;
// failures are silent and stop at the first.
void registerWithDesktop(const System& os);

} // namespace quellix
