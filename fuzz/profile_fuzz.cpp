// Arbitrary file bytes, then an arbitrary sequence of reads and writes on the profile-file engine.
// Properties: nothing crashes or hangs; a write is refused only for the documented reasons; every
// accepted write reads back as written (without the blanks and tabs at its ends and one pair of
// matching quotes); a write changes bytes of one line only, every other byte surviving; and every
// key written earlier in the sequence still reads as it was written.

#include "fuzz_support.h"

#include "config/profile.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quellix::fuzz {
namespace {

constexpr std::size_t kMaxOperations = 48;

std::string_view withoutBlankEnds(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// What a read must give back for a value written as `value`.
std::string readBack(std::string_view value) {
    std::string_view text = withoutBlankEnds(value);
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
        text.back() == text.front()) {
        text = text.substr(1, text.size() - 2);
    }
    return std::string(text);
}

std::string foldCase(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return folded;
}

bool hasAny(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != std::string_view::npos;
}

// The documented reasons for refusing a write.
bool refusable(std::string_view file, std::string_view section, std::string_view key,
               std::string_view value) {
    const std::string_view breaks("\r\n\0", 3);
    auto badName = [&](std::string_view name) {
        return name.empty() || withoutBlankEnds(name).size() != name.size() || hasAny(name, breaks);
    };
    return badName(section) || badName(key) || hasAny(value, breaks) || hasAny(section, "]") ||
           hasAny(key, "=") || key.starts_with('[') || file.starts_with("\xFF\xFE") ||
           file.starts_with("\xFE\xFF");
}

// Names that real files hold, in a letter case chosen by the input, or arbitrary bytes.
std::string name(ByteReader& input, const std::array<std::string_view, 4>& usual) {
    std::uint8_t choice = input.byte();
    if (choice >= 0xE0) {
        return input.text(12);
    }
    std::string text(usual[choice & 3u]);
    std::uint8_t cases = input.byte();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((cases >> (i % 8)) & 1u) {
            char& c = text[i];
            if (c >= 'a' && c <= 'z') {
                c = static_cast<char>(c - 'a' + 'A');
            } else if (c >= 'A' && c <= 'Z') {
                c = static_cast<char>(c - 'A' + 'a');
            }
        }
    }
    if (choice & 0x10u) {
        text = " " + text + "\t"; // asked with blanks around: refused for writes, trimmed for reads
    }
    return text;
}

// A write may change the bytes of one line only: what it removes from the old file holds no line
// break, and the rest of the file is kept before and after the change.
void checkOneLineChanged(std::string_view before, std::string_view after, bool keyExisted) {
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) {
        ++prefix;
    }
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    std::string_view removed = before.substr(prefix, before.size() - prefix - suffix);
    require(!hasAny(removed, "\r\n"), "a write changed more than one line", removed);
    require(keyExisted || removed.empty(), "adding a key removed bytes", removed);
}

using Model = std::map<std::pair<std::string, std::string>, std::string>;

void checkModel(std::string_view file, const Model& model) {
    for (const auto& [names, value] : model) {
        std::optional<std::string> read = profile::readValue(file, names.first, names.second);
        require(read == value, "a key written earlier no longer reads as written",
                names.first + "/" + names.second);
    }
}

} // namespace
} // namespace quellix::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quellix;
    using namespace quellix::fuzz;
    static const std::array<std::string_view, 4> kSections{"General", "q3", "UT2003", "g"};
    static const std::array<std::string_view, 4> kKeys{"Path", "present", "sansvalidation", "k"};

    ByteReader input(data, size);
    std::size_t fileLength = static_cast<std::size_t>(input.byte()) * 16 + input.byte() % 16;
    std::string file;
    for (std::size_t i = 0; i < fileLength && !input.empty(); ++i) {
        file += static_cast<char>(input.byte());
    }

    Model model;
    for (std::size_t op = 0; op < kMaxOperations && !input.empty(); ++op) {
        const bool write = (input.byte() & 1u) != 0;
        const std::string section = name(input, kSections);
        const std::string key = name(input, kKeys);
        if (!write) {
            std::optional<std::string> read = profile::readValue(file, section, key);
            auto known =
                model.find({foldCase(withoutBlankEnds(section)), foldCase(withoutBlankEnds(key))});
            if (known != model.end()) {
                require(read == known->second, "a read disagrees with the last write", key);
            }
            continue;
        }
        const std::string value = input.text(255) + input.text(64);
        std::optional<std::string> written = profile::writeValue(file, section, key, value);
        if (!written) {
            require(refusable(file, section, key, value), "a storable write was refused",
                    section + "/" + key + "=" + value);
            continue;
        }
        require(!refusable(file, section, key, value), "a write that breaks the file was accepted",
                section + "/" + key + "=" + value);
        const bool existed = profile::readValue(file, section, key).has_value();
        checkOneLineChanged(file, *written, existed);
        const std::string expected = readBack(value);
        require(profile::readValue(*written, section, key) == expected,
                "a written value does not read back", section + "/" + key + "=" + value);
        model[{foldCase(section), foldCase(key)}] = expected;
        checkModel(*written, model);
        file = std::move(*written);
    }
    return 0;
}
