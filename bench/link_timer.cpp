// Whole-process figures, taken inside Wine so that each start is the CreateProcessW a browser
// makes when a link is followed.
//
//   link_timer.exe link <quellix.exe> <game_probe.exe> <runs> <minimal_launcher.exe> [<other>...]
//     The time from starting "quellix.exe vx://..." until the game probe has recorded its start,
//     and the same for the minimal launcher (and any variant of it) given the command line that
//     the game must receive. Each run starts every program once, the first of them changing from
//     run to run. Prints one line per run, then each median and its ratio to the minimal one.
//   link_timer.exe window <quellix.exe> <runs>
//     The time from starting quellix.exe without a link until its window is visible and the
//     program waits for input with its first paint done; then the window is closed.
//
// Built for x86_64 by bench/run.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

std::string narrow(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

double now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::optional<std::string> readAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

bool writeAll(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

std::optional<PROCESS_INFORMATION> start(const std::wstring& program, std::wstring commandLine,
                                         const std::wstring& folder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &process)) {
        return std::nullopt;
    }
    CloseHandle(process.hThread);
    return process;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct Bench {
    std::wstring root;
    std::wstring quellix;
    std::vector<std::wstring> launchers; // the minimal launcher first, then its variants
    std::wstring game;
    std::wstring log;
};

std::wstring fileName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    return name.substr(0, name.rfind(L'.'));
}

// A launcher folder with config.ini, and the probe standing in for Quake 3.
std::optional<Bench> prepare(const std::wstring& quellix, const std::wstring& probe,
                             const std::vector<std::wstring>& launchers) {
    wchar_t temp[MAX_PATH + 1];
    GetTempPathW(MAX_PATH + 1, temp);
    Bench bench;
    bench.root = std::wstring(temp) + L"quellix-bench";
    for (const wchar_t* folder : {L"", L"\\Quellix", L"\\Jeux", L"\\Jeux\\Quake3"}) {
        CreateDirectoryW((bench.root + folder).c_str(), nullptr);
    }
    bench.quellix = bench.root + L"\\Quellix\\quellix.exe";
    bench.game = bench.root + L"\\Jeux\\Quake3\\quake3.exe";
    bench.log = bench.root + L"\\Jeux\\Quake3\\quake3.log";
    if (!CopyFileW(quellix.c_str(), bench.quellix.c_str(), FALSE) ||
        (!probe.empty() && !CopyFileW(probe.c_str(), bench.game.c_str(), FALSE))) {
        return std::nullopt;
    }
    for (const std::wstring& launcher : launchers) {
        bench.launchers.push_back(bench.root + L"\\Quellix\\" + fileName(launcher) + L".exe");
        if (!CopyFileW(launcher.c_str(), bench.launchers.back().c_str(), FALSE)) {
            return std::nullopt;
        }
    }
    // Everything set, so that no default configuration is written during the runs.
    std::string config =
        "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n[q3]\r\nPath=" + narrow(bench.game) +
        "\r\npresent=1\r\n";
    if (!writeAll(bench.root + L"\\Quellix\\config.ini", config)) {
        return std::nullopt;
    }
    return bench;
}

// Starts `commandLine` and waits until the probe's record is whole: milliseconds and the command
// line the probe received, or nothing after 20 s.
std::optional<std::pair<double, std::string>>
timeToGame(const Bench& bench, const std::wstring& program, const std::wstring& commandLine) {
    DeleteFileW(bench.log.c_str());
    const double begin = now();
    std::optional<PROCESS_INFORMATION> process = start(program, commandLine, bench.root);
    if (!process) {
        return std::nullopt;
    }
    std::optional<std::pair<double, std::string>> result;
    for (double waited = 0; waited < 20000; waited = now() - begin) {
        std::optional<std::string> record = readAll(bench.log);
        if (record && std::count(record->begin(), record->end(), '\n') >= 3) {
            result = {{now() - begin, record->substr(0, record->find('\n'))}};
            break;
        }
        Sleep(1);
    }
    WaitForSingleObject(process->hProcess, 10000);
    CloseHandle(process->hProcess);
    Sleep(50); // lets the probe end before the next run
    return result;
}

int linkRuns(const Bench& bench, int runs) {
    const std::wstring link = L"vx://10.0.0.1:27960/q3/pw";
    const std::wstring arguments = L"\"" + bench.game + L"\"  +connect 10.0.0.1:27960 +password pw";
    std::vector<std::wstring> programs{bench.quellix};
    std::vector<std::wstring> lines{L"\"" + bench.quellix + L"\" " + link};
    for (const std::wstring& launcher : bench.launchers) {
        programs.push_back(launcher);
        lines.push_back(L"\"" + launcher + L"\" " + arguments);
    }
    // One start of each first, so that every measured run finds the files in the system's cache.
    std::vector<std::vector<double>> times(programs.size());
    for (size_t i = 0; i < programs.size(); ++i) {
        auto timed = timeToGame(bench, programs[i], lines[i]);
        if (!timed) {
            std::fprintf(stderr, "%s did not start the game\n",
                         narrow(fileName(programs[i])).c_str());
            return 1;
        }
        std::printf("%-22s the game got: %s\n", narrow(fileName(programs[i])).c_str(),
                    timed->second.c_str());
    }
    for (int run = 0; run < runs; ++run) {
        for (size_t turn = 0; turn < programs.size(); ++turn) {
            size_t i = (static_cast<size_t>(run) + turn) % programs.size();
            auto timed = timeToGame(bench, programs[i], lines[i]);
            if (!timed) {
                std::fprintf(stderr, "run %d: %s did not start the game\n", run + 1,
                             narrow(fileName(programs[i])).c_str());
                return 1;
            }
            times[i].push_back(timed->first);
        }
        std::printf("run %2d", run + 1);
        for (size_t i = 0; i < programs.size(); ++i) {
            std::printf("  %s %7.1f ms", narrow(fileName(programs[i])).c_str(), times[i].back());
        }
        std::printf("\n");
    }
    const double limit = median(times[1]);
    for (size_t i = 0; i < programs.size(); ++i) {
        std::printf("median %-22s %7.1f ms  ratio %.3f  (%d runs)\n",
                    narrow(fileName(programs[i])).c_str(), median(times[i]),
                    median(times[i]) / limit, runs);
    }
    return 0;
}

struct Found {
    DWORD processId;
    HWND window = nullptr;
};

BOOL CALLBACK findVisibleWindow(HWND window, LPARAM context) {
    auto* found = reinterpret_cast<Found*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == found->processId && IsWindowVisible(window) &&
        GetWindow(window, GW_OWNER) == nullptr) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

int windowRuns(const Bench& bench, int runs) {
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double begin = now();
        std::optional<PROCESS_INFORMATION> process =
            start(bench.quellix, L"\"" + bench.quellix + L"\"", bench.root + L"\\Quellix");
        if (!process) {
            return 1;
        }
        Found found{process->dwProcessId};
        while (found.window == nullptr && now() - begin < 30000) {
            EnumWindows(findVisibleWindow, reinterpret_cast<LPARAM>(&found));
            if (found.window == nullptr) {
                Sleep(1);
            }
        }
        // Idle for input means that the paint messages of the first show have been handled.
        DWORD idle = WaitForInputIdle(process->hProcess, 30000);
        const double elapsed = now() - begin;
        if (found.window == nullptr || idle != 0) {
            std::fprintf(stderr, "run %d: no window (%lu)\n", run, idle);
            TerminateProcess(process->hProcess, 1);
            CloseHandle(process->hProcess);
            return 1;
        }
        times.push_back(elapsed);
        std::printf("run %2d  window painted after %7.1f ms\n", run + 1, elapsed);
        PostMessageW(found.window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process->hProcess, 10000) != WAIT_OBJECT_0) {
            TerminateProcess(process->hProcess, 1);
        }
        CloseHandle(process->hProcess);
    }
    std::printf("median  window %7.1f ms  (%d runs)\n", median(times), runs);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring mode = argc > 1 ? argv[1] : L"";
    if (mode == L"link" && argc >= 6) {
        auto bench = prepare(argv[2], argv[3], std::vector<std::wstring>(argv + 5, argv + argc));
        return bench ? linkRuns(*bench, _wtoi(argv[4])) : 1;
    }
    if (mode == L"window" && argc == 4) {
        auto bench = prepare(argv[2], L"", {});
        return bench ? windowRuns(*bench, _wtoi(argv[3])) : 1;
    }
    std::fprintf(stderr, "usage: link_timer link <quellix> <probe> <runs> <minimal> [<other>...]\n"
                         "       link_timer window <quellix> <runs>\n");
    return 2;
}
