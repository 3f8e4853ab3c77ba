// The launcher stopped at every point of a whole reset of config.ini and of a first start: before
// each call to the files port, and in the middle of each file written (half of its bytes on the
// disk). Whatever the point, config.ini holds exactly the file as it was after some number of
// whole writes, never a truncated or mixed one; and a later reset brings back exactly the file
// that an uninterrupted one gives, every line of the user's own kept.

#include "config/defaults.h"
#include "launch/registration.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quellix {
namespace {

const std::string kConfig = "C:\\Quellix\\config.ini";

// The files port of a process that dies at a chosen call: that call and every later one do
// nothing. At a write, `torn` puts half of the bytes on the disk before the end.
class DyingFiles : public FilesPort {
public:
    explicit DyingFiles(test::MemoryFiles& disk) : disk_(disk) {}

    std::optional<size_t> dieAt;
    bool torn = false;
    size_t calls = 0;
    // config.ini after each change that reached it, starting with its state before the first call.
    std::vector<std::optional<std::string>> history;

    void start() { history = {current()}; }
    std::optional<std::string> current() const {
        auto it = disk_.files.find(kConfig);
        return it == disk_.files.end() ? std::nullopt : std::optional(it->second.bytes);
    }

    bool fileExists(const std::string& path) override { return alive() && disk_.fileExists(path); }
    bool folderExists(const std::string& path) override {
        return alive() && disk_.folderExists(path);
    }
    bool isReadOnly(const std::string& path) override { return alive() && disk_.isReadOnly(path); }
    bool createEmptyFile(const std::string& path) override {
        return alive() && record(disk_.createEmptyFile(path));
    }
    std::optional<std::string> readFile(const std::string& path) override {
        return alive() ? disk_.readFile(path) : std::nullopt;
    }
    bool writeNewFile(const std::string& path, std::string_view bytes) override {
        if (!alive()) {
            if (torn && calls == *dieAt + 1) {
                disk_.files[path].bytes = std::string(bytes.substr(0, bytes.size() / 2));
            }
            return false;
        }
        return record(disk_.writeNewFile(path, bytes));
    }
    bool replaceFile(const std::string& from, const std::string& to) override {
        return alive() && record(disk_.replaceFile(from, to));
    }
    bool removeFile(const std::string& path) override {
        return alive() && record(disk_.removeFile(path));
    }

private:
    bool alive() {
        ++calls;
        return !dieAt || calls <= *dieAt;
    }
    bool record(bool done) {
        if (current() != history.back()) {
            history.push_back(current());
        }
        return done;
    }

    test::MemoryFiles& disk_;
};

struct Machine {
    test::TestSystem sys;
    DyingFiles files{sys.files};
    System os{sys.registry, files, sys.process, sys.dialogs, sys.ansi};

    explicit Machine(const std::optional<std::string>& config) {
        sys.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                         {kRegSz, std::string("D:\\Jeux\\Quake3\\quake3.exe") + '\0'});
        if (config) {
            sys.files.files[kConfig].bytes = *config;
        }
        files.start();
    }
};

struct Scenario {
    std::string name;
    std::optional<std::string> config; // before; none: no file
    std::function<void(const System&)> run;
};

const std::string kEdited = "; mes r\xE9glages\r\n[General]\r\nsansvalidation=0\r\nperso=garde\r\n"
                            "\r\n[q3]\r\npath=C:\\Autre\\quake3.exe\r\npresent=1\r\n[extra]\r\n"
                            "cle=valeur\r\n";

std::vector<Scenario> scenarios() {
    return {
        {"reset of an edited file", kEdited, [](const System& os) { CreerConfigDefaut(os); }},
        {"reset of an LF file", std::string("[General]\nacceleration=1\n[cod]\nPath=x\n"),
         [](const System& os) { CreerConfigDefaut(os); }},
        {"first start", std::nullopt, [](const System& os) { ensureConfigFile(os); }},
    };
}

TEST(CrashSafety, StoppedAtAnyPointConfigHoldsAWholeFile) {
    size_t faultPoints = 0;
    for (const Scenario& scenario : scenarios()) {
        SCOPED_TRACE(scenario.name);
        Machine clean(scenario.config);
        scenario.run(clean.os);
        const std::vector<std::optional<std::string>> states = clean.files.history;
        const std::optional<std::string> finished = clean.files.current();
        ASSERT_GT(states.size(), 20u) << "the run wrote far fewer times than expected";

        for (size_t point = 0; point < clean.files.calls; ++point) {
            for (bool torn : {false, true}) {
                SCOPED_TRACE("stopped at call " + std::to_string(point) + (torn ? " (torn)" : ""));
                Machine machine(scenario.config);
                machine.files.dieAt = point;
                machine.files.torn = torn;
                scenario.run(machine.os);
                ++faultPoints;

                // Exactly the file after as many whole writes as were done before the stop.
                const std::vector<std::optional<std::string>>& seen = machine.files.history;
                ASSERT_LE(seen.size(), states.size());
                EXPECT_TRUE(std::equal(seen.begin(), seen.end(), states.begin()));
                EXPECT_EQ(machine.files.current(), states[seen.size() - 1]);

                // Started again: a reset gives exactly what an uninterrupted run gives.
                if (scenario.config) {
                    machine.files.dieAt.reset();
                    CreerConfigDefaut(machine.os);
                    EXPECT_EQ(machine.files.current(), finished);
                    EXPECT_FALSE(machine.sys.files.files.contains(kConfig + ".4242.tmp"));
                }
            }
        }
    }
    std::printf("crash safety: %zu fault points, config.ini whole at each\n", faultPoints);
}

} // namespace
} // namespace quellix
