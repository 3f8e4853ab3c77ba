#pragma once
// A reader of Valve's KeyValues text, the form of Steam's .vdf and .acf files: each entry is a key
// followed by a text or by a block of entries in braces; keys and texts are quoted (with the
// escapes \\ \" \n \t) or bare; "//" starts a comment. The files come from outside the launcher,
// so the reader is bounded and refuses whatever breaks the form or a limit.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::keyvalues {

inline constexpr std::size_t kMaxFileSize = 1 << 20;
inline constexpr std::size_t kMaxDepth = 16;        // blocks inside blocks
inline constexpr std::size_t kMaxTextLength = 4096; // a key or a text, once unescaped
inline constexpr std::size_t kMaxEntries = 1 << 16; // in the whole file

struct Entry {
    std::string key;
    std::string text;           // a text entry's value
    std::vector<Entry> entries; // a block's entries
    bool block = false;
    friend bool operator==(const Entry&, const Entry&) = default;
};

// The file's entries; nothing when the text is broken or passes a limit.
std::optional<std::vector<Entry>> parse(std::string_view text);

// The first entry named `key` (ASCII letters in either case, as Steam reads them), or null.
const Entry* find(const std::vector<Entry>& entries, std::string_view key);

} // namespace quellix::keyvalues
