// Arbitrary bytes as a Steam KeyValues file. The reader ends on every input within its limits, and
// an accepted file, written back with every key and text quoted and escaped, reads back the same.

#include "config/keyvalues.h"
#include "property.h"

#include <cstdint>

using namespace quellix::keyvalues;

static std::string written(const std::vector<Entry>& entries) {
    std::string out;
    auto quote = [&out](std::string_view text) {
        out += '"';
        for (const char c : text) {
            out += (c == '"' || c == '\\' ? "\\" : "") + std::string(1, c);
        }
        out += "\" ";
    };
    for (const Entry& entry : entries) {
        quote(entry.key);
        entry.block ? (void)(out += "{\n" + written(entry.entries) + "}\n") : quote(entry.text);
    }
    return out;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entries = parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = entries ? written(*entries) : "";
    require(text.size() > kMaxFileSize || parse(text) == entries.value_or(std::vector<Entry>{}),
            "an accepted file does not read back as written", text);
    return 0;
}
