#pragma once
// Small text helpers that the core's readers share (config.ini, a link, mimeapps.list, an HTTP
// reply): blanks and ASCII letter case, the same for every reader.

#include <algorithm>
#include <string_view>

namespace quellix::text {

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Without the characters of `blanks` at both ends.
inline std::string_view trimmed(std::string_view text, std::string_view blanks = " \t") {
    const size_t first = text.find_first_not_of(blanks);
    return first == std::string_view::npos
               ? std::string_view()
               : text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Equal when ASCII letter case is ignored; other bytes compare as they are.
inline bool sameLetters(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::ranges::equal(a, b, [&lower](char x, char y) { return lower(x) == lower(y); });
}

} // namespace quellix::text
