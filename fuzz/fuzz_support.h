#pragma once
// What the fuzz targets share: a reader that takes choices and texts from the fuzzer's bytes, and a
// check that stops the run with a message when a property fails (the fuzzer records it as a crash).

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quellix::fuzz {

[[noreturn]] inline void fail(std::string_view what, std::string_view detail) {
    std::fprintf(stderr, "property failed: %.*s\n%.*s\n", static_cast<int>(what.size()),
                 what.data(), static_cast<int>(detail.size()), detail.data());
    std::abort();
}

inline void require(bool holds, std::string_view what, std::string_view detail = {}) {
    if (!holds) {
        fail(what, detail);
    }
}

// Takes the input from the front; every call succeeds, with zeros or empty texts once the bytes
// have run out, so that any input is a valid sequence of choices.
class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size)
        : text_(reinterpret_cast<const char*>(data), size) {}

    bool empty() const { return text_.empty(); }

    std::uint8_t byte() {
        if (text_.empty()) {
            return 0;
        }
        auto value = static_cast<std::uint8_t>(text_.front());
        text_.remove_prefix(1);
        return value;
    }

    // A text whose length is given by the next byte, up to `maxLength`.
    std::string text(std::size_t maxLength) {
        std::size_t length = byte() % (maxLength + 1);
        length = length < text_.size() ? length : text_.size();
        std::string result(text_.substr(0, length));
        text_.remove_prefix(length);
        return result;
    }

    std::string rest() {
        std::string result(text_);
        text_ = {};
        return result;
    }

private:
    std::string_view text_;
};

} // namespace quellix::fuzz
