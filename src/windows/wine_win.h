#pragma once
// The Wine port: whether the program runs under Wine, and the Unix side's paths, from the
// functions and the environment Wine gives its programs.

#include "ports.h"

namespace quellix::win {

class WindowsWine : public WinePort {
public:
    std::optional<WineDesktop> desktop() override;
    std::string windowsPath(const std::string& unixPath) override;
};

} // namespace quellix::win
