#include "launch/link_check.h"

#include <cstddef>

namespace quellix {

namespace {

struct AllowList {
    std::size_t minLength;
    std::size_t maxLength;
    std::string_view punctuation; // allowed besides ASCII letters and digits
    std::string_view notFirst;    // allowed, but not as the first character
};

// A host name or IP address and its port; IPv6 addresses keep their colons.
constexpr AllowList kServerAddress{1, 128, ".-:", ".-:"};
// Blanks, "+", ";", "=", quotes, "?" and "\" are how the games' command lines are split or read.
constexpr AllowList kPassword{0, 64, "-_.!~*'()@%", "-"};

bool isAsciiAlphanumeric(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool admits(const AllowList& list, std::string_view text) {
    if (text.size() < list.minLength || text.size() > list.maxLength) {
        return false;
    }
    if (!text.empty() && list.notFirst.find(text.front()) != std::string_view::npos) {
        return false;
    }
    for (char c : text) {
        if (!isAsciiAlphanumeric(c) && list.punctuation.find(c) == std::string_view::npos) {
            return false;
        }
    }
    return true;
}

} // namespace

bool isAllowedServerAddress(std::string_view address) {
    return admits(kServerAddress, address);
}

bool isAllowedPassword(std::string_view password) {
    return admits(kPassword, password);
}

} // namespace quellix
