// Arbitrary file bytes, then an arbitrary sequence of reads and writes on the profile-file engine.
// A write is refused exactly for the documented reasons; an accepted one changes the bytes of one
// line only (adding removes nothing) and reads back as written, without the blanks and tabs at its
// ends and one pair of matching quotes; every key written earlier still reads as it was written.

#include "config/profile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace {

using namespace quellix;

void require(bool holds, const char* what, std::string_view detail) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n%.*s\n", what, static_cast<int>(detail.size()),
                     detail.data());
        std::abort();
    }
}

// The fuzzer's bytes as choices and texts; zeros and empty texts once they have run out.
struct Input {
    std::string_view rest;
    unsigned byte() {
        const unsigned value = rest.empty() ? 0 : static_cast<unsigned char>(rest.front());
        rest.remove_prefix(rest.empty() ? 0 : 1);
        return value;
    }
    std::string text(size_t maxLength) {
        const std::string_view taken = rest.substr(0, byte() % (maxLength + 1));
        rest.remove_prefix(taken.size());
        return std::string(taken);
    }
};

std::string_view trim(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    return first == text.npos ? "" : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The name as the engine compares it.
std::string fold(std::string_view name) {
    std::string folded(trim(name));
    for (char& c : folded) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c | 0x20) : c;
    }
    return folded;
}

// A name of real files, in either case, with blanks around it at times (refused for writes,
// trimmed for reads); or arbitrary bytes.
std::string name(Input& in, const char* const (&usual)[4]) {
    const unsigned choice = in.byte();
    std::string text = choice >= 0xE0 ? in.text(12) : usual[choice & 3];
    for (char& c : text) {
        c = (choice & 0x20) != 0 && c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c;
    }
    return (choice & 0x10) != 0 ? " " + text + "\t" : text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const char* const kSections[4] = {"General", "q3", "UT2003", "g"};
    static const char* const kKeys[4] = {"Path", "present", "sansvalidation", "k"};
    Input in{std::string_view(reinterpret_cast<const char*>(data), size)};
    const size_t high = in.byte();
    const size_t length = high * 16 + in.byte() % 16;
    std::string file(in.rest.substr(0, length));
    in.rest.remove_prefix(file.size());

    std::map<std::pair<std::string, std::string>, std::string> written; // folded names -> read
    for (int op = 0; op < 48 && !in.rest.empty(); ++op) {
        const bool write = (in.byte() & 1) != 0;
        const std::string section = name(in, kSections), key = name(in, kKeys);
        const std::optional<std::string> before = profile::readValue(file, section, key);
        const auto known = written.find({fold(section), fold(key)});
        require(known == written.end() || before == known->second,
                "a key no longer reads as it was written", section + "/" + key);
        if (!write) {
            continue;
        }
        const std::string value = in.text(255) + in.text(64);
        auto bad = [](std::string_view name) {
            return name.empty() || trim(name).size() != name.size() ||
                   name.find_first_of(std::string_view("\r\n\0", 3)) != name.npos;
        };
        const bool refusable = bad(section) || bad(key) || section.find(']') != section.npos ||
                               key.find('=') != key.npos || key.starts_with('[') ||
                               value.find_first_of(std::string_view("\r\n\0", 3)) != value.npos ||
                               file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
        const std::optional<std::string> after = profile::writeValue(file, section, key, value);
        require(after.has_value() != refusable, "a write refused or accepted wrongly",
                section + "/" + key + "=" + value);
        if (!after) {
            continue;
        }
        // What the write removed: no line break, and nothing at all when the key was added.
        size_t head = 0, tail = 0;
        while (head < file.size() && head < after->size() && file[head] == (*after)[head]) {
            ++head;
        }
        while (tail < file.size() - head && tail < after->size() - head &&
               file[file.size() - 1 - tail] == (*after)[after->size() - 1 - tail]) {
            ++tail;
        }
        const std::string_view removed =
            std::string_view(file).substr(head, file.size() - head - tail);
        require(removed.find_first_of("\r\n") == removed.npos && (before || removed.empty()),
                "a write changed more than its line", removed);
        std::string_view read = trim(value);
        if (read.size() >= 2 && (read[0] == '"' || read[0] == '\'') && read.back() == read[0]) {
            read = read.substr(1, read.size() - 2);
        }
        written[{fold(section), fold(key)}] = std::string(read);
        file = *after;
        for (const auto& [names, expected] : written) {
            require(profile::readValue(file, names.first, names.second) == expected,
                    "a written key does not read as written", names.first + "/" + names.second);
        }
    }
    return 0;
}
