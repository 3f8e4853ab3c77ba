// In-process figures of the core: the road of a link to the game's command line with in-memory
// ports, and the 28 writes of a default configuration on a real file.

#include "config/defaults.h"
#include "config/settings.h"
#include "launch/launch.h"
#include "launch/link.h"
#include "launch/startup.h"

#include "test_system.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace quellix::bench {
namespace {

namespace fs = std::filesystem;

// The files port on a POSIX file system, backslashes taken as folder separators, each write
// flushed to the disk as the Windows port does.
class PosixFiles : public FilesPort {
public:
    bool fileExists(const std::string& path) override { return fs::is_regular_file(at(path)); }
    bool folderExists(const std::string& path) override { return fs::is_directory(at(path)); }
    bool isReadOnly(const std::string& path) override {
        return fileExists(path) && ::access(at(path).c_str(), W_OK) != 0;
    }
    bool createEmptyFile(const std::string& path) override {
        const int fd = ::open(at(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        return fd >= 0 && ::close(fd) == 0;
    }
    std::optional<std::string> readFile(const std::string& path) override {
        std::ifstream file(at(path), std::ios::binary);
        if (!fileExists(path) || !file) {
            return std::nullopt;
        }
        return std::string(std::istreambuf_iterator<char>(file), {});
    }
    bool writeNewFile(const std::string& path, std::string_view bytes) override {
        const int fd = ::open(at(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        bool ok = fd >= 0;
        while (ok && !bytes.empty()) {
            const ssize_t written = ::write(fd, bytes.data(), bytes.size());
            ok = written > 0;
            bytes.remove_prefix(ok ? static_cast<size_t>(written) : 0);
        }
        const bool flushed = ok && ::fsync(fd) == 0;
        return fd >= 0 && ::close(fd) == 0 && flushed;
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return std::rename(at(from).c_str(), at(to).c_str()) == 0;
    }
    bool removeFile(const std::string& path) override { return ::unlink(at(path).c_str()) == 0; }
    bool createFolders(const std::string& path) override {
        std::error_code error;
        fs::create_directories(at(path), error);
        return fs::is_directory(at(path));
    }

private:
    static std::string at(std::string path) {
        std::replace(path.begin(), path.end(), '\\', '/');
        return path;
    }
};

const std::string kConfig = "C:\\Quellix\\config.ini";
const std::string kQuake = "C:\\Jeux\\Quake3\\quake3.exe";

// A config.ini of the default layout on a machine with Quake 3.
std::string defaultConfig() {
    std::string file = "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n";
    for (const char* section : {"dod", "shl", "scs", "stfc", "ja", "jo", "q3", "UT2003", "mohaa",
                                "ut2k4", "ef2", "bf", "cod"}) {
        std::string path = std::string(section) == "q3" ? kQuake : " ";
        file += std::string("[") + section + "]\r\nPath=" + path +
                "\r\npresent=" + (path == " " ? "0" : "1") + "\r\n";
    }
    return file;
}

void installQuake(test::TestSystem& sys) {
    sys.files.files[kConfig].bytes = defaultConfig();
    sys.files.files[kQuake] = {};
    sys.process.enterable.insert("C:\\Jeux\\Quake3\\");
}

// LireLien and the launch decision, up to the started command line.
void LinkToCommandLine(benchmark::State& state) {
    test::TestSystem sys;
    installQuake(sys);
    sys.process.line = "\"C:\\Quellix\\quellix.exe\" vx://10.0.0.1:27960/q3/secret";
    for (auto _ : state) {
        LaunchOutcome outcome = launchFromLink(sys.os, LireLien(sys.process));
        benchmark::DoNotOptimize(outcome);
        sys.process.started.clear();
    }
    if (launchFromLink(sys.os, LireLien(sys.process)) != LaunchOutcome::Started) {
        state.SkipWithError("the link did not start the game");
    }
}
BENCHMARK(LinkToCommandLine);

// The same with the whole start-up sequence: the protocol registration (its 12 entries read, in
// memory here, and written on the first start only) and the check that config.ini exists.
void StartupWithLink(benchmark::State& state) {
    test::TestSystem sys;
    installQuake(sys);
    sys.process.line = "\"C:\\Quellix\\quellix.exe\" vx://10.0.0.1:27960/q3/secret";
    for (auto _ : state) {
        StartupResult result = runStartup(sys.os);
        benchmark::DoNotOptimize(result);
        sys.process.started.clear();
        sys.registry.writes.clear();
    }
}
BENCHMARK(StartupWithLink);

// A hostile link, refused before anything is read.
void RefusedLink(benchmark::State& state) {
    test::TestSystem sys;
    installQuake(sys);
    sys.process.line = "\"C:\\Quellix\\quellix.exe\" vx://10.0.0.1:27960/q3/x+exec evil.cfg";
    for (auto _ : state) {
        LaunchOutcome outcome = launchFromLink(sys.os, LireLien(sys.process));
        benchmark::DoNotOptimize(outcome);
        sys.dialogs.shown.clear();
    }
}
BENCHMARK(RefusedLink);

// One option read from a default config.ini in memory.
void ReadOneOption(benchmark::State& state) {
    test::TestSystem sys;
    installQuake(sys);
    for (auto _ : state) {
        std::string value = LireIni(sys.os, "general", "sansvalidation", kConfig, "");
        benchmark::DoNotOptimize(value);
    }
}
BENCHMARK(ReadOneOption);

// CreerConfigDefaut on a real file in a temporary folder: 28 writes, each a read of the file, a
// temporary file written and flushed to the disk, and a rename.
void DefaultConfigurationOnDisk(benchmark::State& state) {
    const fs::path folder =
        fs::temp_directory_path() / ("quellix-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    test::TestSystem sys;
    sys.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                     {kRegSz, kQuake + '\0'});
    sys.process.folder = folder.string();
    PosixFiles files;
    System os{sys.registry, files, sys.process, sys.dialogs, sys.ansi, sys.wine};
    const fs::path config = folder / "config.ini";

    for (auto _ : state) {
        state.PauseTiming();
        fs::remove(config);
        state.ResumeTiming();
        if (!CreerConfigDefaut(os)) {
            state.SkipWithError("a write failed");
            break;
        }
    }
    // The same writes on files in memory give the bytes expected on the disk.
    CreerConfigDefaut(sys.os);
    if (files.readFile(config.string()) !=
        sys.files.files[folder.string() + "\\config.ini"].bytes) {
        state.SkipWithError("the file on the disk is not the one written in memory");
    }
    fs::remove_all(folder);
}
BENCHMARK(DefaultConfigurationOnDisk)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace quellix::bench

BENCHMARK_MAIN();
