// config.ini: the profile-file engine's reading rules one row each (its writes, refused for the
// documented reasons only, changing one line and read back as written, the profile fuzzer checks
// from its seeds), a save that fails, and a launcher stopped at any change of files during a reset
// or a first start.

#include "config/defaults.h"
#include "config/profile.h"
#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <tuple>

namespace quellix {
namespace {

constexpr std::nullopt_t kMissing = std::nullopt;

TEST(Profile, ReadsValuesWithThePlatformRules) {
    const std::string longPath = "C:\\" + std::string(297, 'x'); // read in full, no 254 cut
    // clang-format off
    const std::tuple<std::string, std::string, std::string, std::optional<std::string>> cases[]{
        {"[q3]\r\nPath=C:\\q3\\quake3.exe\r\n", "q3", "Path", "C:\\q3\\quake3.exe"},
        {"[UT2003]\r\nPath=u\r\n", "ut2003", "PATH", "u"}, {"[g]\r\nk= \tv w\t \r\n", "g", "k", "v w"},
        {"[g]\r\n  k \t= v\r\n", "g", "k", "v"}, {"  [g]  \r\nk=v\r\n", "g", "k", "v"},
        {"[g]\r\nPath= \r\n", "g", "path", ""}, {"[g]\r\nk=a=b\r\n", "g", "k", "a=b"},
        {"[g]\r\nk=\"C:\\a b\"\r\n", "g", "k", "C:\\a b"}, {"[g]\r\nk=  ' x '  \r\n", "g", "k", " x "},
        {"[g]\r\nk=\"x'\r\n", "g", "k", "\"x'"}, {"[g]\r\nk=\"\r\n", "g", "k", "\""}, {"[g]\r\nk=''\r\n", "g", "k", ""},
        {"[g]\r\nk=\"\"x\"\"\r\n", "g", "k", "\"x\""},
        {"[q3]\r\nPath=" + longPath + "\r\n", "q3", "path", longPath}, {"[a]\rk=1\r[b]\rk=2\r", "b", "k", "2"},
        {"[a]\r\nk=1\r[b]\nk=2", "b", "k", "2"}, {"\xEF\xBB\xBF[g]\r\nk=v\r\n", "g", "k", "v"},
        {"[g]\r\nk=1\r\n[G]\r\nk=2\r\n", "g", "k", "1"}, {"[g]\r\na=1\r\n[g]\r\nk=2\r\n", "g", "k", kMissing},
        {"[g]\r\nk=1\r\nK=2\r\n", "g", "k", "1"}, {"[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", kMissing},
        {"k=0\r\n[g]\r\nj=1\r\n", "g", "k", kMissing}, {"[g]\r\nk\r\n", "g", "k", kMissing},
        {"[g]\r\n;k=1\r\nk=2\r\n", "g", "k", "2"}, {"[g]\r\n[h\r\nk=v\r\n", "g", "k", "v"},
        {"[a]b]\r\nk=v\r\n", "a]b", "k", "v"}, {"[g]\r\nk=v\r\n", " g\t", " k ", "v"},
        {"k=v\r\n[]\r\nk=w\r\n", "", "k", kMissing}, {"[g]\r\nk=v\r\n", "g", "", kMissing},
        {"[g]\r\n\xC9t\xE9=1\r\n", "g", "\xE9t\xE9", kMissing}, // case folding is ASCII only
        {"\xFF\xFE\r\n[g]\r\nk=v\r\n", "g", "k", kMissing}, {"\xFE\xFF\r\n[g]\r\nk=v\r\n", "g", "k", kMissing},
    };
    // clang-format on
    for (const auto& [file, section, key, value] : cases) {
        EXPECT_EQ(profile::readValue(file, section, key), value) << file;
    }
}

TEST(Settings, AWriteThatCannotBeDoneLeavesTheFileAsItWas) {
    // What fails (read-only, unreadable, temporary not written, not replaced), key and value.
    // clang-format off
    const std::tuple<const char*, bool, bool, bool, bool, std::string, std::string> cases[] = {
        {"read-only", true, false, false, false, "k", "v"}, {"unreadable", false, true, false, false, "k", "v"},
        {"temporary not written", false, false, true, false, "k", "v"},
        {"not replaced", false, false, false, true, "k", "v"},
        {"value without an ANSI form", false, false, false, false, "k", "\xE4\xB8\xAD"},
        {"key without an ANSI form", false, false, false, false, "\xE4\xB8\xAD", "v"},
        {"value with a line break", false, false, false, false, "k", "a\r\n[h]"},
    };
    // clang-format on
    const std::string original = "; mine\n[General]\nsansvalidation=0\n\n[q3]\nPath=C:\\q3\n";
    for (const auto& [what, readOnly, failRead, failWrite, failReplace, key, value] : cases) {
        test::TestSystem t;
        t.files.files[t.config] = {original, readOnly};
        // Another launcher, older (one shared name) or not, saving at the same time.
        t.files.files[t.config + ".tmp"].bytes = t.files.files[t.config + ".17.tmp"].bytes = "x";
        t.files.failRead = failRead;
        t.files.failWrite = failWrite;
        t.files.failReplace = failReplace;
        EXPECT_FALSE(EcrireIni(t.os, "General", key, value, t.config)) << what;
        EXPECT_EQ(t.files.files[t.config].bytes, original) << what;
        EXPECT_EQ(t.files.files.size(), 3u) << what << ": a temporary file was left";
    }
    test::TestSystem t; // a save's temporary file is named after its own process
    t.files.changesLeft = 1;
    EXPECT_FALSE(EcrireIni(t.os, "q3", "Path", "b", t.config));
    EXPECT_EQ(t.files.files[t.config + ".4242.tmp"].bytes, "[q3]\r\nPath=b\r\n");
}

// Stopped at any change of a reset, with or without half of the bytes of the write it stops in on
// the disk, config.ini is a whole file, the same whether the write was torn or not. Started again,
// a reset gives exactly the file an uninterrupted one gives, and no temporary file is left.
TEST(CrashSafety, StoppedAtAnyChangeConfigIsAWholeFileAndAResetRecovers) {
    // The machine after a reset stopped at its change number `stop`.
    auto run = [](size_t stop, bool torn) {
        auto t = std::make_unique<test::TestSystem>();
        t->registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                        test::sz("D:\\Jeux\\Quake3\\quake3.exe"));
        t->files.files[t->config].bytes =
            "; mes r\xE9glages\r\n[General]\r\nsansvalidation=0\r\nperso=garde\r\n\r\n[q3]\r\n"
            "path=C:\\Autre\\quake3.exe\r\npresent=1\r\n[extra]\r\ncle=valeur\r\n";
        t->files.changesLeft = stop;
        t->files.torn = torn;
        CreerConfigDefaut(t->os);
        return t;
    };
    const auto whole = run(SIZE_MAX, false);
    size_t stop = 0;
    for (; stop < 200; ++stop) {
        auto stopped = run(stop, false), torn = run(stop, true);
        EXPECT_EQ(torn->files.files[torn->config].bytes,
                  stopped->files.files[stopped->config].bytes)
            << stop;
        torn->files.changesLeft = SIZE_MAX;
        CreerConfigDefaut(torn->os);
        EXPECT_EQ(torn->files.files[torn->config].bytes, whole->files.files[whole->config].bytes)
            << stop;
        EXPECT_FALSE(torn->files.files.contains(torn->config + ".4242.tmp")) << stop;
        if (stopped->files.changesLeft > 0) {
            break; // it ended before that change
        }
    }
    EXPECT_GT(stop, 40u) << "far fewer changes than the defaults need";
}

} // namespace
} // namespace quellix
