// The entry point: the Windows implementations of the ports, handed to the start-up sequence.

#include "launch/startup.h"
#include "platform/windows/ansi_win.h"
#include "platform/windows/dialogs_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/process_win.h"
#include "platform/windows/registry_win.h"

#if __has_include("platform/windows/main_window.h")
#include "platform/windows/main_window.h"
#define QUELLIX_HAS_WINDOW 1
#endif

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    quellix::win::WindowsRegistry registry;
    quellix::win::WindowsFiles files;
    quellix::win::WindowsProcess process;
    quellix::win::WindowsDialogs dialogs;
    quellix::win::WindowsAnsiCodePage ansi;
    const quellix::System os{registry, files, process, dialogs, ansi};

    const quellix::StartupResult startup = quellix::runStartup(os);
    if (!startup.showWindow) {
        return 0;
    }
#ifdef QUELLIX_HAS_WINDOW
    return quellix::win::runMainWindow(os, dialogs, startup.configCouldNotBeCreated);
#else
    return 0;
#endif
}
