#include "config/keyvalues.h"

#include <algorithm>

namespace quellix::keyvalues {

namespace {

class Reader {
public:
    explicit Reader(std::string_view text) : rest_(text) {}

    // Entries up to the end of the text (depth 0) or to the brace that closes their block.
    bool entries(std::vector<Entry>& into, std::size_t depth) {
        for (;;) {
            skipBlanks();
            if (rest_.empty() || rest_[0] == '}') {
                const bool closed = !rest_.empty();
                rest_.remove_prefix(closed ? 1 : 0);
                return closed == (depth > 0);
            }
            Entry& entry = into.emplace_back();
            if (++count_ > kMaxEntries || !token(entry.key)) {
                return false;
            }
            skipBlanks();
            if (rest_.starts_with('{')) {
                rest_.remove_prefix(1);
                entry.block = true;
                if (depth == kMaxDepth || !entries(entry.entries, depth + 1)) {
                    return false;
                }
            } else if (!token(entry.text)) {
                return false;
            }
        }
    }

private:
    void skipBlanks() {
        for (;;) {
            rest_.remove_prefix(std::min(rest_.find_first_not_of(" \t\r\n\f\v"), rest_.size()));
            if (!rest_.starts_with("//")) {
                return;
            }
            rest_.remove_prefix(std::min(rest_.find('\n'), rest_.size()));
        }
    }

    // A quoted or bare token; false at the end, at a brace, unterminated or too long.
    bool token(std::string& into) {
        if (!rest_.starts_with('"')) {
            const std::string_view bare = rest_.substr(0, rest_.find_first_of(" \t\r\n\f\v{}\""));
            rest_.remove_prefix(bare.size());
            into = bare;
            return !bare.empty() && bare.size() <= kMaxTextLength;
        }
        for (std::size_t i = 1; i < rest_.size() && into.size() <= kMaxTextLength; ++i) {
            char c = rest_[i];
            if (c == '"') {
                rest_.remove_prefix(i + 1);
                return true;
            }
            // Any other backslash stays, with the character after it read as usual.
            constexpr std::string_view escaped = "\\\"nt", meant = "\\\"\n\t";
            const std::size_t escape = i + 1 < rest_.size() && c == '\\'
                                           ? escaped.find(rest_[i + 1])
                                           : std::string_view::npos;
            if (escape != std::string_view::npos) {
                c = meant[escape];
                ++i;
            }
            into += c;
        }
        return false;
    }

    std::string_view rest_;
    std::size_t count_ = 0;
};

bool sameKey(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return std::ranges::equal(a, b, {}, lower, lower);
}

} // namespace

std::optional<std::vector<Entry>> parse(std::string_view text) {
    std::vector<Entry> entries;
    if (text.size() > kMaxFileSize || !Reader(text).entries(entries, 0)) {
        return std::nullopt;
    }
    return entries;
}

const Entry* find(const std::vector<Entry>& entries, std::string_view key) {
    auto found =
        std::ranges::find_if(entries, [key](const Entry& e) { return sameKey(e.key, key); });
    return found == entries.end() ? nullptr : &*found;
}

} // namespace quellix::keyvalues
