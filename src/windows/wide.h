#pragma once
// The one place where UTF-8 text meets the UTF-16 of the W functions.

#include <string>
#include <string_view>

namespace quellix::win {

std::wstring widen(std::string_view utf8);
std::string narrow(std::wstring_view utf16);

} // namespace quellix::win
