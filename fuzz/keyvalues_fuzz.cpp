// Arbitrary bytes as a Steam KeyValues file. The reader ends on every input within its limits, and
// it reads a file as written: an accepted one, written back with every key and text quoted and
// escaped, reads back to the same entries.

#include "config/keyvalues.h"
#include "property.h"

#include <cstdint>

namespace {

using quellix::keyvalues::Entry;

void quote(std::string_view text, std::string& out) {
    out += '"';
    for (const char c : text) {
        out += c == '"' || c == '\\' ? "\\" + std::string(1, c) : std::string(1, c);
    }
    out += "\" ";
}

void write(const std::vector<Entry>& entries, std::string& out) {
    for (const Entry& entry : entries) {
        quote(entry.key, out);
        if (entry.block) {
            out += "{\n";
            write(entry.entries, out);
            out += "}\n";
        } else {
            quote(entry.text, out);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto entries =
        quellix::keyvalues::parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string written;
    if (entries) {
        write(*entries, written);
        require(written.size() > quellix::keyvalues::kMaxFileSize ||
                    quellix::keyvalues::parse(written) == entries,
                "an accepted file does not read back as written", written);
    }
    return 0;
}
