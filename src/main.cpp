// The entry point: the Windows implementations of the ports, handed to the start-up sequence.

#include "launch/startup.h"
#include "windows/ansi_win.h"
#include "windows/dialogs_win.h"
#include "windows/files_win.h"
#include "windows/process_win.h"
#include "windows/registry_win.h"
#include "windows/wine_win.h"

#include "windows/main_window.h"

#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    quellix::win::WindowsRegistry registry;
    quellix::win::WindowsFiles files;
    quellix::win::WindowsProcess process;
    quellix::win::WindowsDialogs dialogs;
    quellix::win::WindowsAnsiCodePage ansi;
    quellix::win::WindowsWine wine;
    const quellix::System os{registry, files, process, dialogs, ansi, wine};

    const quellix::StartupResult startup = quellix::runStartup(os);
    if (!startup.showWindow) {
        return 0;
    }
    return quellix::win::runMainWindow(os, dialogs, startup.configCouldNotBeCreated);
}
