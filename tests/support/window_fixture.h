#pragma once
// The window as the tests see it: in-memory controls with every handler bound, over the in-memory
// operating system, with config.ini in the program's folder.

#include "config/settings.h"
#include "memory_controls.h"
#include "test_system.h"
#include "ui/bindings.h"

#include <string>

namespace quellix::test {

struct WindowFixture {
    TestSystem t;
    MemoryControls controls;
    int endRequests = 0;
    const std::string config = configPath(t.process);

    WindowFixture() {
        bindHandlers(t.os, controls, [this] { ++endRequests; });
    }

    // config.ini holds exactly `bytes` (ANSI code page).
    void store(std::string bytes, bool readOnly = false) {
        t.files.files[config] = {std::move(bytes), readOnly, false};
    }
    std::string bytes() { return t.files.files[config].bytes; }
    std::string stored(std::string_view section, std::string_view key) {
        return LireIni(t.os, section, key, config, "<missing>");
    }
};

} // namespace quellix::test
