#pragma once
// Replacing a whole file so that a crash or a full disk never leaves it half-written.

#include "ports.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace quellix {

// Writes `bytes` to a temporary file beside `path`, named after `owner` (this process's id) so
// that two launchers saving at once never share one, then puts it in the place of `path` in one
// step. False when `path` is read-only or any step fails; `path` is then exactly as before and
// the temporary file is removed, unless a failed last step took `path` away: the temporary file
// then holds the only copy and is kept.
bool replaceFileContents(FilesPort& files, const std::string& path, std::string_view bytes,
                         std::uint32_t owner);

} // namespace quellix
