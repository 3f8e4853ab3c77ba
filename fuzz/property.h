#pragma once
// A fuzz target's property check: a broken property ends the run, saying what broke and on what.

#include <cstdio>
#include <cstdlib>
#include <string>

inline void require(bool holds, const char* what, const std::string& detail) {
    if (!holds) {
        std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.c_str());
        std::abort();
    }
}
