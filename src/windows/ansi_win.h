#pragma once
// Text in the system ANSI code page, as config.ini and the registry strings store it.

#include "ports.h"

namespace quellix::win {

class WindowsAnsiCodePage : public AnsiCodePage {
public:
    std::optional<std::string> toAnsi(std::string_view utf8) override;
    std::string fromAnsi(std::string_view ansi) override;
};

} // namespace quellix::win
