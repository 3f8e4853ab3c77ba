// Arbitrary bytes as a Steam KeyValues file. The reader ends on every input within its limits; an
// accepted file, written back with every key and text quoted and escaped, reads back the same, and
// refuses any broken ending added to it.

#include "config/keyvalues.h"
#include "property.h"

#include <cstdint>
#include <iomanip>
#include <sstream>

using namespace quellix::keyvalues;

static std::string written(const std::vector<Entry>& entries) {
    std::ostringstream out; // std::quoted escapes " and \ with a backslash, as the files do
    for (const Entry& entry : entries) {
        out << std::quoted(entry.key) << ' ';
        entry.block ? out << "{\n"
                          << written(entry.entries) << "}\n"
                    : out << std::quoted(entry.text) << '\n';
    }
    return out.str();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entries = parse(std::string_view(reinterpret_cast<const char*>(data), size));
    const std::string text = entries ? written(*entries) : "";
    require(text.size() > kMaxFileSize || parse(text) == entries.value_or(std::vector<Entry>{}),
            "an accepted file does not read back as written", text);
    for (const char* broken : {"{", "}", "\"k\"", "\"k\" \"v", "\"k\" {"}) {
        require(!parse(text + broken), "a broken ending is accepted", text + broken);
    }
    return 0;
}
