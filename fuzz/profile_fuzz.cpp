// Arbitrary file bytes, then an arbitrary sequence of reads and writes on the profile-file engine.
// A write is refused exactly for the documented reasons; an accepted one changes the bytes of one
// line only (adding removes nothing) and reads back as written, without the blanks and tabs at its
// ends and one pair of matching quotes; every key written earlier still reads as it was written.

#include "config/profile.h"
#include "property.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace quellix;

constexpr std::string_view kBreakOrNul("\r\n\0", 3);

// The fuzzer's bytes as choices and texts; zeros and empty texts once they have run out.
struct Input {
    std::string_view rest;
    std::string take(size_t length) {
        const std::string taken(rest.substr(0, length));
        rest.remove_prefix(taken.size());
        return taken;
    }
    unsigned byte() { return rest.empty() ? 0 : static_cast<unsigned char>(take(1)[0]); }
    std::string text(size_t maxLength) { return take(byte() % (maxLength + 1)); }
};

std::string_view trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == text.npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// A name of real files, in either case, with blanks around it at times (refused for writes,
// trimmed for reads), or arbitrary bytes; and the name as the engine compares it.
std::pair<std::string, std::string> name(Input& in, const char* const (&usual)[4]) {
    const unsigned choice = in.byte();
    const std::string text = choice >= 0xE0 ? in.text(12) : usual[choice & 3];
    std::string upper = text;
    std::ranges::transform(upper, upper.begin(), [](unsigned char c) { return std::toupper(c); });
    const std::string& spelled = (choice & 0x20) != 0 ? upper : text;
    return {(choice & 0x10) != 0 ? " " + spelled + "\t" : spelled, std::string(trim(upper))};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Input in{std::string_view(reinterpret_cast<const char*>(data), size)};
    const size_t high = in.byte();
    std::string file = in.take(high * 16 + in.byte() % 16);

    std::map<std::pair<std::string, std::string>, std::string> written; // compared names -> read
    for (int op = 0; op < 48 && !in.rest.empty(); ++op) {
        const bool write = (in.byte() & 1) != 0;
        const auto [section, sectionAsCompared] = name(in, {"General", "q3", "UT2003", "g"});
        const auto [key, keyAsCompared] = name(in, {"Path", "present", "sansvalidation", "k"});
        const std::pair compared{sectionAsCompared, keyAsCompared};
        const std::optional<std::string> before = profile::readValue(file, section, key);
        require(!written.contains(compared) || before == written[compared],
                "a key no longer reads as it was written", section + "/" + key);
        if (!write) {
            continue;
        }
        std::string value = in.text(255);
        value += in.text(64); // drawn second on every compiler; values may pass 254 characters
        const bool refusable =
            section.empty() || key.empty() || trim(section) != section || trim(key) != key ||
            section.find(']') != section.npos || key.find('=') != key.npos ||
            (section + key + value).find_first_of(kBreakOrNul) != std::string::npos ||
            key.starts_with('[') || file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
        const std::optional<std::string> after = profile::writeValue(file, section, key, value);
        require(after.has_value() != refusable, "a write refused or accepted wrongly",
                section + "/" + key + "=" + value);
        if (!after) {
            continue;
        }
        // What the write removed: no line break, and nothing at all when the key was added.
        const size_t head = std::ranges::mismatch(file, *after).in1 - file.begin();
        const auto [tail, unused] = std::ranges::mismatch(file.rbegin(), file.rend() - head,
                                                          after->rbegin(), after->rend() - head);
        const std::string removed(file.begin() + head, tail.base());
        require(removed.find_first_of("\r\n") == removed.npos && (before || removed.empty()),
                "a write changed more than its line", removed);
        std::string_view read = trim(value);
        if (read.size() >= 2 && read[0] == read.back() && (read[0] == '"' || read[0] == '\'')) {
            read = read.substr(1, read.size() - 2);
        }
        written[compared] = read;
        file = *after;
        for (const auto& [names, expected] : written) {
            require(profile::readValue(file, names.first, names.second) == expected,
                    "a written key does not read as written", names.first + "/" + names.second);
        }
    }
    return 0;
}
