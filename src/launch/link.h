#pragma once
// Reading the vx link from the command line.

#include "ports.h"

#include <string>
#include <string_view>
#include <vector>

namespace quellix {

// The command line cut at every "/": 0 scheme with its colon, 1 empty, 2 server address,
// 3 game key, 4 password, 5 and later unused, each percent-decoded once. ("vide", "") when there
// is no link.
using LaunchLink = std::vector<std::string>;

// What follows the program's name (quoted or not, by the Windows rules) and the blanks after it.
std::string argumentText(std::string_view commandLine);

// Cuts an argument text into its elements; one pair of double quotes enclosing the whole text
// (as Windows passes a link to a handler registered with "%1") is removed first.
LaunchLink cutLink(std::string_view arguments);

// The link of this process's command line.
LaunchLink LireLien(ProcessPort& process);

// True when the link asks for no launch: element 0 is exactly "vide".
bool isNoLink(const LaunchLink& link);

} // namespace quellix
