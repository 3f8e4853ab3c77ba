#include "registry/registry.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace quellix {
namespace {

using test::MemoryRegistry;

constexpr RegHandle kClassesRoot = 0x80000000;
constexpr RegHandle kCurrentUser = 0x80000001;
constexpr RegHandle kLocalMachine = 0x80000002;

const std::string kKey = "Software\\QuellixTest\\Jeux";

MemoryRegistry::Value sz(std::string ansi) {
    return {kRegSz, ansi + '\0'};
}

TEST(Registry, CleRacineMapsTheFiveIndicesAndNothingElse) {
    struct Case {
        std::int32_t HK;
        std::uint32_t root;
    };
    for (auto [HK, root] : {Case{0, 0x80000002u}, Case{1, 0x80000001u}, Case{2, 0x80000000u},
                            Case{3, 0x80000003u}, Case{4, 0x80000004u}, Case{5, 0u}, Case{6, 0u},
                            Case{-1, 0u}, Case{INT_MIN, 0u}, Case{INT_MAX, 0u}}) {
        EXPECT_EQ(CleRacine(HK), root) << HK;
    }
}

TEST(Registry, LireValeurReadsEveryTypeAsItsBytesLessTheLast) {
    struct Case {
        const char* what;
        std::string storedName;
        MemoryRegistry::Value stored;
        std::string readName;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"folder path", "Folder", sz("C:\\Jeux\\Quake III Arena"), "Folder",
         "C:\\Jeux\\Quake III Arena"},
        {"default value", "", sz("D:\\mohaa\\MOHAA.exe"), "", "D:\\mohaa\\MOHAA.exe"},
        {"empty REG_SZ", "Folder", sz(""), "Folder", ""},
        {"no bytes at all", "Folder", {kRegSz, ""}, "Folder", ""},
        {"one character", "Folder", sz("x"), "Folder", "x"},
        {"accented, from ANSI", "Folder", sz("C:\\Jeux\\\xC9t\xE9"), "Folder", "C:\\Jeux\\Été"},
        {"REG_DWORD", "Version", {kRegDword, "ABCD"}, "Version", "ABC"},
        {"REG_DWORD 1",
         "Version",
         {kRegDword, std::string("\x01\0\0\0", 4)},
         "Version",
         std::string("\x01\0\0", 3)},
        {"embedded zero",
         "Folder",
         {kRegSz, std::string("a\0b\0", 4)},
         "Folder",
         std::string("a\0b", 3)},
        {"no terminator", "Folder", {kRegSz, "abc"}, "Folder", "ab"},
        {"long value", "Folder", sz(std::string(1000, 'p')), "Folder", std::string(1000, 'p')},
        {"name in another case", "Folder", sz("C:\\UT2003"), "FOLDER", "C:\\UT2003"},
        {"accented name", "R\xE9pertoire", sz("C:\\Jeux"), "Répertoire", "C:\\Jeux"},
    };
    for (const Case& c : cases) {
        for (bool overstated : {false, true}) {
            test::TestSystem t;
            t.registry.overstateSizeQueries = overstated;
            t.registry.put(kCurrentUser, kKey, c.storedName, c.stored);
            EXPECT_EQ(LireValeur(t.os, 1, kKey, c.readName), c.expected)
                << c.what << (overstated ? " (size overstated)" : "");
            EXPECT_EQ(t.registry.openHandles(), 0u) << c.what;
        }
    }
}

TEST(Registry, LireValeurFindsNothingWhereNothingCanBeRead) {
    struct Case {
        const char* what;
        std::int32_t HK;
        std::string key;
        std::string name;
    };
    const std::vector<Case> cases{
        {"missing key", 1, "Software\\QuellixTest\\Absent", "Folder"},
        {"missing value", 1, kKey, "Absent"},
        {"root index 5", 5, kKey, "Folder"},
        {"root index -1", -1, kKey, "Folder"},
        {"locked key", 1, "Software\\QuellixTest\\Verrou", "Folder"},
        {"name with no ANSI form", 1, kKey, "Folder€"},
        {"path with no ANSI form", 1, "Software\\QuellixTest\\€", "Folder"},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        // The value exists under every predefined root, so only a wrong key can miss it.
        for (RegHandle root = kClassesRoot; root <= 0x80000006; ++root) {
            t.registry.put(root, kKey, "Folder", sz("C:\\Jeux"));
        }
        t.registry.put(kCurrentUser, "Software\\QuellixTest\\Verrou", "Folder", sz("C:\\Jeux"));
        t.registry.lock(kCurrentUser, "Software\\QuellixTest\\Verrou");
        size_t keys = t.registry.keyCount();

        EXPECT_EQ(LireValeur(t.os, c.HK, c.key, c.name), "") << c.what;
        EXPECT_EQ(t.registry.keyCount(), keys) << c.what << ": a read created a key";
        EXPECT_EQ(t.registry.openHandles(), 0u) << c.what;
    }
}

TEST(Registry, DonnerValeurStoresTheAnsiTextWithItsTerminator) {
    struct Case {
        const char* what;
        std::string name;
        std::string donnee;
        std::string stored; // ANSI bytes, terminator included
    };
    const std::vector<Case> cases{
        {"text", "URL Protocol", "URL: vx Protocol", std::string("URL: vx Protocol\0", 17)},
        {"empty text", "URL Protocol", "", std::string("\0", 1)},
        {"default value", "", "\"C:\\Quellix\\quellix.exe\" %1",
         std::string("\"C:\\Quellix\\quellix.exe\" %1\0", 28)},
        {"accented", "Dossier", "C:\\Jeux\\Été", std::string("C:\\Jeux\\\xC9t\xE9\0", 12)},
        {"accented name", "Répertoire", "x", std::string("x\0", 2)},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        EXPECT_TRUE(DonnerValeur(t.os, 2, "vx\\shell\\open\\command", c.name, c.donnee)) << c.what;
        const MemoryRegistry::Value* value =
            t.registry.find(kClassesRoot, "vx\\shell\\open\\command", *t.ansi.toAnsi(c.name));
        ASSERT_NE(value, nullptr) << c.what;
        EXPECT_EQ(value->type, kRegSz) << c.what;
        EXPECT_EQ(value->data, c.stored) << c.what;
        EXPECT_TRUE(t.registry.keyExists(kClassesRoot, "vx\\shell")) << c.what;
        EXPECT_EQ(LireValeur(t.os, 2, "vx\\shell\\open\\command", c.name), c.donnee) << c.what;
        EXPECT_EQ(t.registry.openHandles(), 0u) << c.what;
    }
}

TEST(Registry, DonnerValeurWritesNothingWhenItCannot) {
    struct Case {
        const char* what;
        std::int32_t HK;
        std::string key;
        std::string name;
        std::string donnee;
    };
    const std::vector<Case> cases{
        {"root index 5", 5, "software\\vx", "", "URL: vx Protocol"},
        {"root index -1", -1, "software\\vx", "", "URL: vx Protocol"},
        {"missing key under a read-only root", 0, "software\\vx", "", "URL: vx Protocol"},
        {"existing key under a read-only root", 0, "SOFTWARE\\Id", "", "URL: vx Protocol"},
        {"locked key", 1, "Software\\Verrou", "", "URL: vx Protocol"},
        {"data with no ANSI form", 1, "Software\\vx", "", "5 €"},
        {"name with no ANSI form", 1, "Software\\vx", "€", "x"},
        {"path with no ANSI form", 1, "Software\\€", "", "x"},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        t.registry.readOnlyRoots.insert(kLocalMachine);
        t.registry.put(kLocalMachine, "SOFTWARE\\Id", "Autre", sz("garde"));
        t.registry.put(kCurrentUser, "Software\\Verrou", "Autre", sz("garde"));
        t.registry.lock(kCurrentUser, "Software\\Verrou");
        size_t keys = t.registry.keyCount();

        EXPECT_FALSE(DonnerValeur(t.os, c.HK, c.key, c.name, c.donnee)) << c.what;
        EXPECT_TRUE(t.registry.writes.empty()) << c.what;
        EXPECT_EQ(t.registry.keyCount(), keys) << c.what;
        EXPECT_EQ(t.registry.openHandles(), 0u) << c.what;
    }
}

TEST(Registry, SupprValeurRemovesOnlyTheNamedValueOfAnExistingKey) {
    struct Case {
        const char* what;
        std::int32_t HK;
        std::string key;
        std::string name;
        bool folderRemains;
    };
    const std::vector<Case> cases{
        {"named value", 1, kKey, "Folder", false},
        {"name in another case", 1, kKey, "FOLDER", false},
        {"missing value", 1, kKey, "Absent", true},
        {"missing key", 1, kKey + "\\Absent", "Folder", true},
        {"root index 5", 5, kKey, "Folder", true},
        {"read-only root", 0, kKey, "Folder", true},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        t.registry.readOnlyRoots.insert(kLocalMachine);
        for (RegHandle root : {kCurrentUser, kLocalMachine}) {
            t.registry.put(root, kKey, "Folder", sz("C:\\Jeux"));
            t.registry.put(root, kKey, "", sz("défaut"));
        }
        size_t keys = t.registry.keyCount();

        SupprValeur(t.os, c.HK, c.key, c.name);
        EXPECT_EQ(t.registry.find(kCurrentUser, kKey, "Folder") != nullptr, c.folderRemains)
            << c.what;
        EXPECT_NE(t.registry.find(kLocalMachine, kKey, "Folder"), nullptr) << c.what;
        EXPECT_NE(t.registry.find(kCurrentUser, kKey, ""), nullptr) << c.what;
        EXPECT_EQ(t.registry.keyCount(), keys) << c.what << ": a delete created a key";
        EXPECT_EQ(t.registry.openHandles(), 0u) << c.what;
    }
}

TEST(Registry, CreerCleCreatesTheKeyAndItsParents) {
    test::TestSystem t;
    EXPECT_NE(CreerCle(t.os, 2, "vx\\shell\\open\\command"), 0u);
    for (const char* key : {"vx", "vx\\shell", "vx\\shell\\open", "vx\\shell\\open\\command"}) {
        EXPECT_TRUE(t.registry.keyExists(kClassesRoot, key)) << key;
    }
    EXPECT_FALSE(t.registry.keyExists(kLocalMachine, "vx"));
    EXPECT_EQ(t.registry.openHandles(), 0u);

    t.registry.readOnlyRoots.insert(kLocalMachine);
    size_t keys = t.registry.keyCount();
    EXPECT_EQ(CreerCle(t.os, 0, "software\\vx\\shell\\open\\command"), 0u);
    EXPECT_EQ(CreerCle(t.os, 7, "vx"), 0u);
    EXPECT_EQ(t.registry.keyCount(), keys);
    EXPECT_EQ(t.registry.openHandles(), 0u);
}

TEST(Registry, AutostartEntryQuotesTheProgramPath) {
    struct Case {
        std::string folder;
        std::string parametre;
        std::string stored;
    };
    const std::vector<Case> cases{
        {"C:\\Program Files\\Quellix", "-min", "\"C:\\Program Files\\Quellix\\quellix.exe\" -min"},
        {"C:\\Quellix", "", "\"C:\\Quellix\\quellix.exe\" "},
        {"D:\\", "-min", "\"D:\\\\quellix.exe\" -min"},
        {"C:\\Jeux Vorbanix\\Été", "", "\"C:\\Jeux Vorbanix\\\xC9t\xE9\\quellix.exe\" "},
    };
    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    for (const Case& c : cases) {
        test::TestSystem t;
        t.process.folder = c.folder;
        t.registry.put(kLocalMachine, runKey, "Autre", sz("garde"));
        EXPECT_FALSE(IsRun(t.os)) << c.folder;

        quellix::Run(t.os, c.parametre);
        const MemoryRegistry::Value* value = t.registry.find(kLocalMachine, runKey, "quellix");
        ASSERT_NE(value, nullptr) << c.folder;
        EXPECT_EQ(value->data, c.stored + '\0') << c.folder;
        EXPECT_TRUE(IsRun(t.os)) << c.folder;

        DelRun(t.os);
        EXPECT_EQ(t.registry.find(kLocalMachine, runKey, "quellix"), nullptr) << c.folder;
        EXPECT_NE(t.registry.find(kLocalMachine, runKey, "Autre"), nullptr) << c.folder;
        EXPECT_FALSE(IsRun(t.os)) << c.folder;
        EXPECT_EQ(t.registry.openHandles(), 0u) << c.folder;
    }
    // An entry holding the empty text does not count.
    test::TestSystem t;
    t.registry.put(kLocalMachine, runKey, "quellix", sz(""));
    EXPECT_FALSE(IsRun(t.os));
}

} // namespace
} // namespace quellix
