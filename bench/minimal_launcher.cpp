// The least a link handler can do: start the command line it is given, minimized, in the folder
// of the program it names, and end. Built twice by bench/run:
//   minimal_launcher.exe                          imports nothing but kernel32 and the C runtime;
//   minimal_reads.exe (QUELLIX_MINIMAL_READS)     first reads the twelve entries of the launcher's
//                                                 vx registration, as a handler that repairs its
//                                                 registration must at least do: the limit that
//                                                 quellix.exe following a link is measured against.
// Usage: minimal_launcher.exe "<program>" <arguments>   (the quotes may be left out)

#include <windows.h>

#include <string>

namespace {

#ifdef QUELLIX_MINIMAL_READS
// Each entry read in the shell's view, nothing written: the key of each root, then its values.
void readRegistration() {
    const HKEY roots[] = {HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER};
    const char* prefixes[] = {"", "software\\", "Software\\Classes\\"};
    for (int root = 0; root < 3; ++root) {
        const std::string base = std::string(prefixes[root]) + "vx";
        const std::string command = base + "\\shell\\open\\command";
        const std::pair<std::string, const char*> entries[] = {
            {command, nullptr}, {base, ""}, {base, "URL Protocol"}, {command, ""}};
        for (const auto& [path, name] : entries) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(roots[root], path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) !=
                ERROR_SUCCESS) {
                continue;
            }
            char data[1024];
            DWORD size = sizeof(data);
            DWORD type = 0;
            if (name != nullptr) {
                RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
            }
            RegCloseKey(key);
        }
    }
}
#endif

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
#ifdef QUELLIX_MINIMAL_READS
    readRegistration();
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
