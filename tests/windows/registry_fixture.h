#pragma once
// Registry access for tests, by default in the 32-bit view where the games' installers write.

#include <windows.h>

#include <optional>
#include <string>

namespace quellix::wintest {

// A REG_SZ value's text (UTF-8) without its terminator, read through the wide functions in the
// view given; nothing when missing or of another type.
std::optional<std::string> textValue(HKEY root, const std::string& path, const std::string& name,
                                     REGSAM view = KEY_WOW64_32KEY);
bool keyExists(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY);
// Removes the key with everything below it; true when it is gone.
bool deleteKeyTree(HKEY root, const std::string& path, REGSAM view = KEY_WOW64_32KEY);

// Writes a REG_SZ value through the wide functions, creating the key; the caller removes it.
// Some installers store strings without their terminating zero.
bool setText(HKEY root, const std::string& path, const std::string& name, const std::string& utf8,
             REGSAM view = KEY_WOW64_32KEY, bool terminated = true);

} // namespace quellix::wintest
