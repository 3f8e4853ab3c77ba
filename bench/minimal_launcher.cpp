// The least a launcher can do: start the command line it is given, minimized, in the folder of
// the program it names, and end. Its time is the limit that quellix.exe is measured against.
// Usage: minimal_launcher.exe "<program>" <arguments>   (the quotes may be left out)
//
// Built for x86_64 by bench/run, as it is (it imports nothing but kernel32 and the C runtime) and
// in two variants that add one of the launcher's costs each, to tell where its time goes:
//   QUELLIX_MINIMAL_REGISTRATION: the twelve registry writes of the protocol registration (under
//                                 a key of its own, in the three roots the launcher writes);
//   QUELLIX_MINIMAL_IMPORTS:      the DLLs that quellix.exe imports, loaded at start as its are.

#include <windows.h>

#ifdef QUELLIX_MINIMAL_IMPORTS
#include <commctrl.h>
#include <commdlg.h>
#include <objbase.h>
#include <wincodec.h>
#include <wininet.h>
#endif

#include <cstring>
#include <string>

namespace {

#ifdef QUELLIX_MINIMAL_IMPORTS
// One function of each DLL, kept so that the loader maps every one of them before the start.
[[gnu::used]] void* const kImported[] = {
    reinterpret_cast<void*>(&InitCommonControlsEx),
    reinterpret_cast<void*>(&GetOpenFileNameW),
    reinterpret_cast<void*>(&CreateSolidBrush),
    reinterpret_cast<void*>(&CoInitializeEx),
    reinterpret_cast<void*>(&MessageBoxW),
    reinterpret_cast<void*>(&InternetOpenW),
    reinterpret_cast<void*>(&RegCloseKey),
    reinterpret_cast<void*>(&WICConvertBitmapSource),
};
#endif

#ifdef QUELLIX_MINIMAL_REGISTRATION
void registerProtocol() {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    const char* prefixes[] = {"", "software\\", "Software\\Classes\\"};
    const char* text = "URL: vx-bench Protocol";
    for (int root = 0; root < 3; ++root) {
        const std::string base = std::string(prefixes[root]) + "vx-bench";
        const std::string command = base + "\\shell\\open\\command";
        // A key created, two values of the protocol key, the command's value: as the launcher.
        const std::pair<std::string, const char*> steps[] = {
            {command, nullptr}, {base, ""}, {base, "URL Protocol"}, {command, ""}};
        for (const auto& [path, name] : steps) {
            HKEY key = nullptr;
            if (RegCreateKeyExA(roots[root], path.c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                                nullptr) != ERROR_SUCCESS) {
                continue;
            }
            if (name != nullptr) {
                RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                               static_cast<DWORD>(std::strlen(text) + 1));
            }
            RegCloseKey(key);
        }
    }
}
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef QUELLIX_MINIMAL_REGISTRATION
    registerProtocol();
#endif
    std::wstring line = GetCommandLineW();
    // Our own name, quoted or not, and the blanks after it.
    size_t at = line.front() == L'"' ? line.find(L'"', 1) + 1 : line.find(L' ');
    at = line.find_first_not_of(L" \t", at);
    if (at == std::wstring::npos) {
        return 2;
    }
    // The program it names, quoted or up to the first blank.
    std::wstring command = line.substr(at);
    std::wstring program = command.front() == L'"' ? command.substr(1, command.find(L'"', 1) - 1)
                                                   : command.substr(0, command.find(L' '));
    std::wstring folder = program.substr(0, program.rfind(L'\\') + 1);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}
