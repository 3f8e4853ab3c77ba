// Whole-process times taken inside Wine, every start being the CreateProcessW that a browser or
// the desktop makes, and every program timed in one interleaved loop so that all figures of a run
// share the machine's state:
//   link    from the start of a handler given a link until the game probe has recorded its start;
//   window  from the start of a program until its window is visible and it waits for input after
//           its first paint (WaitForInputIdle); the window is then closed.
//
//   timer.exe <runs> <quellix.exe> <game_probe.exe> <minimal_launcher.exe> <minimal_reads.exe>
//             <minimal_window.exe>
//
// The programs are copied into one folder beside a config.ini that names the probe as Quake 3.
// Each run starts every program once, in an order drawn anew for each run (fixed seed) so that no
// program always follows the same one, after one unmeasured start of each. Prints one line per run,
// then each median and its ratio to its limit: the handler that reads the registration for a link,
// the minimal window for a window.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

double now() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Program {
    const char* name;
    bool window;  // a window timing, else a link timing
    size_t limit; // the program its ratio is taken against
    std::wstring path;
    std::wstring line;
    std::vector<double> times;
};

// The probe's record is whole once it holds its three lines.
bool recorded(const std::wstring& log) {
    HANDLE file = CreateFileW(log.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    char bytes[4096];
    DWORD read = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, bytes, sizeof(bytes), &read, nullptr);
        CloseHandle(file);
    }
    return std::count(bytes, bytes + read, '\n') >= 3;
}

BOOL CALLBACK findShown(HWND window, LPARAM found) {
    auto* wanted = reinterpret_cast<std::pair<DWORD, HWND>*>(found);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != wanted->first || !IsWindowVisible(window) || GetWindow(window, GW_OWNER)) {
        return TRUE;
    }
    wanted->second = window;
    return FALSE;
}

// Milliseconds until the program has done its job, or a negative number when it did not.
double timeOnce(Program& p, const std::wstring& log) {
    DeleteFileW(log.c_str());
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const std::wstring folder = p.path.substr(0, p.path.rfind(L'\\'));
    const double begin = now();
    if (!CreateProcessW(p.path.c_str(), p.line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return -1;
    }
    double elapsed = -1;
    std::pair<DWORD, HWND> shown{process.dwProcessId, nullptr};
    while (elapsed < 0 && now() - begin < 30000) {
        if (p.window) {
            EnumWindows(findShown, reinterpret_cast<LPARAM>(&shown));
            // Idle for input: the paint messages of the first show have been handled.
            if (shown.second != nullptr && WaitForInputIdle(process.hProcess, 30000) == 0) {
                elapsed = now() - begin;
                PostMessageW(shown.second, WM_CLOSE, 0, 0);
            }
        } else if (recorded(log)) {
            elapsed = now() - begin;
        }
        Sleep(elapsed < 0 ? 1 : 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    Sleep(150); // lets the probe and the closed window go before the next start
    return elapsed;
}

bool writeConfig(const std::wstring& path, const std::string& text) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    const bool ok =
        file != INVALID_HANDLE_VALUE &&
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
        written == text.size();
    CloseHandle(file);
    return ok;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 7) {
        std::fprintf(stderr, "usage: timer <runs> <quellix> <probe> <minimal_launcher> "
                             "<minimal_reads> <minimal_window>\n");
        return 2;
    }
    const int runs = _wtoi(argv[1]);
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring root = std::wstring(temp) + L"quellix-bench";
    const std::wstring folder = root + L"\\Quellix\\";
    const std::wstring game = root + L"\\Jeux\\Quake3\\quake3.exe";
    const std::wstring log = root + L"\\Jeux\\Quake3\\quake3.log";
    for (const wchar_t* sub : {L"", L"\\Quellix", L"\\Jeux", L"\\Jeux\\Quake3"}) {
        CreateDirectoryW((root + sub).c_str(), nullptr);
    }
    const std::wstring link = L" vx://10.0.0.1:27960/q3/pw";
    const std::wstring gameLine = L" \"" + game + L"\"  +connect 10.0.0.1:27960 +password pw";
    std::vector<Program> programs{
        {"link quellix", false, 2, folder + L"quellix.exe", link, {}},
        {"link minimal_launcher", false, 2, folder + L"minimal_launcher.exe", gameLine, {}},
        {"link minimal_reads", false, 2, folder + L"minimal_reads.exe", gameLine, {}},
        {"window quellix", true, 4, folder + L"quellix.exe", L"", {}},
        {"window minimal_window", true, 4, folder + L"minimal_window.exe", L"", {}},
    };
    const std::pair<const wchar_t*, std::wstring> copies[] = {{argv[2], programs[0].path},
                                                              {argv[3], game},
                                                              {argv[4], programs[1].path},
                                                              {argv[5], programs[2].path},
                                                              {argv[6], programs[4].path}};
    bool ready = true;
    for (const auto& [from, to] : copies) {
        ready = ready && CopyFileW(from, to.c_str(), FALSE);
    }
    // Everything set, so that no default configuration is written during the runs (the names of
    // the bench are ASCII).
    const std::string gamePath(game.begin(), game.end());
    ready =
        ready && writeConfig(folder + L"config.ini",
                             "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\nPath=" +
                                 gamePath + "\r\npresent=1\r\n");
    if (!ready) {
        std::fprintf(stderr, "the bench folder could not be prepared\n");
        return 1;
    }
    for (Program& p : programs) {
        p.line = L"\"" + p.path + L"\"" + p.line;
    }
    // Run 0 is not counted: the launcher registers itself, and every file enters the cache.
    std::vector<size_t> order(programs.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::mt19937 shuffle(20261206);
    for (int run = 0; run <= runs; ++run) {
        std::shuffle(order.begin(), order.end(), shuffle);
        for (size_t i : order) {
            Program& p = programs[i];
            const double elapsed = timeOnce(p, log);
            if (elapsed < 0) {
                std::fprintf(stderr, "run %d: %s failed\n", run, p.name);
                return 1;
            }
            if (run > 0) {
                p.times.push_back(elapsed);
            }
        }
        if (run > 0) {
            std::printf("run %2d", run);
            for (const Program& p : programs) {
                std::printf("  %s %6.1f", p.name, p.times.back());
            }
            std::printf("\n");
        }
    }
    for (const Program& p : programs) {
        const double limit = median(programs[p.limit].times);
        std::printf("median %-22s %7.1f ms  ratio %.3f to %s  (%d runs)\n", p.name, median(p.times),
                    median(p.times) / limit, programs[p.limit].name, runs);
    }
    return 0;
}
