#pragma once
// Every port of the core as an in-memory double, bundled as one System.

#include "fake_process.h"
#include "latin1_code_page.h"
#include "memory_files.h"
#include "memory_registry.h"
#include "ports.h"
#include "scripted_dialogs.h"

namespace quellix::test {

struct TestSystem {
    MemoryRegistry registry;
    MemoryFiles files;
    FakeProcess process;
    ScriptedDialogs dialogs;
    Latin1CodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

} // namespace quellix::test
