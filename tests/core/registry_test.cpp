// The registry layer against the in-memory registry, and the vx registration written through it.

#include "config/settings.h"
#include "launch/registration.h"
#include "launch/startup.h"
#include "registry/registry.h"
#include "test_system.h"

#include <gtest/gtest.h>

namespace quellix {
namespace {

using namespace std::string_literals;
using test::sz;
constexpr RegHandle kCurrentUser = 0x80000001, kLocalMachine = 0x80000002;
const std::string kKey = "Software\\QuellixTest\\Jeux";

TEST(Registry, RootsAreTheFiveIndexesOnly) {
    EXPECT_EQ((std::vector{CleRacine(-1), CleRacine(0), CleRacine(1), CleRacine(2), CleRacine(3),
                           CleRacine(4), CleRacine(5)}),
              (std::vector<std::uint32_t>{0, 0x80000002, 0x80000001, 0x80000000, 0x80000003,
                                          0x80000004, 0}));
}

// A string loses its terminator only when it has one; any other type loses its last byte.
TEST(Registry, LireValeurReadsEveryTypeAsText) {
    // clang-format off
    const std::pair<test::MemoryRegistry::Value, std::string> cases[] = {
        {sz("C:\\Jeux\\Quake III Arena"), "C:\\Jeux\\Quake III Arena"}, {sz(""), ""}, {{kRegSz, ""}, ""},
        {sz("x"), "x"}, {sz("C:\\Jeux\\\xC9t\xE9"), "C:\\Jeux\\Été"}, {{kRegDword, "ABCD"}, "ABC"},
        {{kRegSz, std::string("a\0b\0", 4)}, std::string("a\0b", 3)}, {{kRegSz, "abc"}, "abc"},
        {{kRegExpandSz, "ab\0"s}, "ab"}, {{kRegMultiSz, "ab"}, "ab"},
        {sz(std::string(1000, 'p')), std::string(1000, 'p')}};
    // clang-format on
    for (const auto& [stored, read] : cases) {
        for (bool overstated : {false, true}) {
            test::TestSystem t;
            t.registry.overstateSizes = overstated;
            t.registry.put(kCurrentUser, kKey, "R\xE9pertoire", stored); // named in ANSI
            EXPECT_EQ(LireValeur(t.os, 1, kKey, "RéPERTOIRE"), read) << overstated;
            EXPECT_TRUE(t.registry.opened.empty()) << "a key was left open";
        }
    }
}

TEST(Registry, NothingIsWrittenRemovedOrCreatedWhereItCannotBe) {
    struct Case {
        std::int32_t hk;
        std::string key, name, read;
        bool writable; // a write would succeed there: only the read and the removal are tried
    };
    // clang-format off
    const Case cases[] = {
        {5, kKey, "Folder", "", false}, {1, kKey, "Folder€", "", false}, {1, kKey + "\\€", "Folder", "", false},
        {0, kKey + "\\Absent", "Folder", "", false}, {0, kKey, "Folder", "C:\\Jeux", false},
        {1, kKey + "\\Absent", "Folder", "", true}, {1, kKey, "Absent", "", true}};
    // clang-format on
    for (const Case& c : cases) {
        test::TestSystem t; // both roots hold the value; the machine's is read-only
        t.registry.readOnlyRoots.insert(kLocalMachine);
        t.registry.put(kLocalMachine, kKey, "Folder", sz("C:\\Jeux"));
        t.registry.put(kCurrentUser, kKey, "Folder", sz("C:\\Jeux"));
        const auto before = t.registry.keys;
        EXPECT_EQ(LireValeur(t.os, c.hk, c.key, c.name), c.read) << c.hk << c.key << c.name;
        EXPECT_TRUE(c.writable || !DonnerValeur(t.os, c.hk, c.key, c.name, "x"));
        SupprValeur(t.os, c.hk, c.key, c.name);
        EXPECT_TRUE(t.registry.keys == before && t.registry.opened.empty())
            << c.hk << c.key << c.name;
    }
    test::TestSystem t;
    t.registry.put(kCurrentUser, kKey, "Folder", sz("C:\\Jeux"));
    t.registry.put(kCurrentUser, kKey, "", sz("garde"));
    EXPECT_TRUE(DonnerValeur(t.os, 1, kKey, "Folder", "5 €")); // no ANSI form: in Unicode
    EXPECT_EQ(t.registry.writes.back(), "hkcu\\software\\quellixtest\\jeux|Folder=5 €\0"s);
    EXPECT_TRUE(t.registry.keys["hkcu\\software\\quellixtest\\jeux"]["folder"].unicode);
    SupprValeur(t.os, 1, kKey, "FOLDER");
    EXPECT_EQ(LireValeur(t.os, 1, kKey, "Folder"), "");
    EXPECT_EQ(LireValeur(t.os, 1, kKey, ""), "garde");
}

TEST(Registration, EveryRootGetsTheQuotedCommandInTheShellViewMachineRootsFirst) {
    for (bool standardUser : {false, true}) {
        test::TestSystem t;
        t.process.folder = "C:\\Users\\Zoé\\Mes Jeux";
        if (standardUser) {
            t.registry.readOnlyRoots = {0x80000000, kLocalMachine};
        }
        registerVxProtocol(t.os);
        std::vector<std::string> expected;
        for (std::string key :
             {"shell hkcr\\vx", "shell hklm\\software\\vx", "shell hkcu\\software\\classes\\vx"}) {
            if (!standardUser || key.starts_with("shell hkcu")) {
                expected.insert(expected.end(),
                                {key + "|=URL: vx Protocol\0"s, key + "|URL Protocol=\0"s,
                                 key + "\\shell\\open\\command|=\"C:\\Users\\Zo\xE9\\Mes "
                                       "Jeux\\quellix.exe\" %1\0"s});
            }
        }
        EXPECT_EQ(t.registry.writes, expected);
        EXPECT_EQ(t.registry.keys.size(), standardUser ? 2u : 6u) << "the key and its command";
        EXPECT_TRUE(t.registry.opened.empty());
    }
}

// A later start rewrites only a value that is missing or differs, of whatever type it was left.
TEST(Registration, ALaterStartWritesOnlyWhatDiffers) {
    const std::string key = "hkcu\\software\\classes\\vx";
    struct Case {
        std::string key, name;
        std::optional<test::MemoryRegistry::Value> left; // none: removed
        std::vector<std::string> writes;
    };
    const std::string command = key + "\\shell\\open\\command";
    // clang-format off
    const Case cases[] = {
        {"", "", {}, {}},
        {"hklm\\software\\vx", "URL Protocol", {}, {"shell hklm\\software\\vx|URL Protocol=\0"s}},
        {"hkcr\\vx", "URL Protocol", test::MemoryRegistry::Value{kRegExpandSz, "\0"s}, {"shell hkcr\\vx|URL Protocol=\0"s}},
        {command, "", sz("\"D:\\quellix.exe\" %1"), {"shell " + command + "|=\"C:\\Quellix\\quellix.exe\" %1\0"s}},
    };
    // clang-format on
    for (const Case& c : cases) {
        test::TestSystem t;
        registerVxProtocol(t.os);
        auto& values = t.registry.keys["shell " + c.key];
        values.erase(test::MemoryRegistry::fold(c.name));
        if (c.left) {
            values[test::MemoryRegistry::fold(c.name)] = *c.left;
        }
        t.registry.writes.clear();
        registerVxProtocol(t.os);
        EXPECT_EQ(t.registry.writes, c.writes) << c.key << c.name;
        EXPECT_TRUE(t.registry.opened.empty());
    }
}

TEST(Registration, ConfigFileIsCreatedWithTheDefaultsOnlyWhenNoFileIsThere) {
    struct Case {
        std::optional<std::string> existing;
        bool failCreate, failWrites;
        ConfigFile result;
        const char* sansvalidation; // as read back afterwards
    };
    // clang-format off
    for (const Case& c : {
             Case{"[general]\r\nsansvalidation=0\r\n", false, false, ConfigFile::Existed, "0"},
             Case{"", false, true, ConfigFile::Existed, "?"}, // emptied by the user
             Case{{}, false, false, ConfigFile::Created, "1"}, Case{{}, true, false, ConfigFile::CouldNotCreate, "?"},
             // An empty file left behind would hide the installed games from every later start.
             Case{{}, false, true, ConfigFile::CouldNotCreate, "?"}}) {
        // clang-format on
        test::TestSystem t;
        if (c.existing) {
            t.files.files[t.config].bytes = *c.existing;
        }
        t.files.failCreate = c.failCreate;
        t.files.failWrite = c.failWrites;
        EXPECT_EQ(ensureConfigFile(t.os), c.result) << c.sansvalidation;
        EXPECT_EQ(LireIni(t.os, "general", "sansvalidation", t.config, "?"), c.sansvalidation);
        const bool left = c.result != ConfigFile::CouldNotCreate;
        EXPECT_EQ(t.files.fileExists(t.config), left);
        if (!c.existing) { // the window will say
            t.files.files.erase(t.config);
            EXPECT_EQ(runStartup(t.os).configCouldNotBeCreated, !left);
        }
    }
}

} // namespace
} // namespace quellix
