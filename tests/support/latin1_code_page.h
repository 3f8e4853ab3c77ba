#pragma once

#include "ports.h"

namespace quellix::test {

// ISO-8859-1 as the ANSI code page: every character up to U+00FF has a one-byte form.
class Latin1CodePage : public AnsiCodePage {
public:
    std::optional<std::string> toAnsi(std::string_view utf8) override;
    std::string fromAnsi(std::string_view ansi) override;
};

} // namespace quellix::test
