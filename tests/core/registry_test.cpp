#include "registry/registry.h"

#include "test_system.h"

#include <gtest/gtest.h>

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

// A string loses its terminator only when it has one; other types lose their last byte.
TEST(Registry, LireValeurReadsEveryTypeAsText) {
    // clang-format off
    const std::pair<MemoryRegistry::Value, std::string> cases[] = {
        {sz("C:\\Jeux\\Quake III Arena"), "C:\\Jeux\\Quake III Arena"}, {sz(""), ""}, {{kRegSz, ""}, ""},
        {sz("x"), "x"}, {sz("C:\\Jeux\\\xC9t\xE9"), "C:\\Jeux\\Été"}, {{kRegDword, "ABCD"}, "ABC"},
        {{kRegSz, std::string("a\0b\0", 4)}, std::string("a\0b", 3)}, {{kRegSz, "abc"}, "abc"}, {{kRegExpandSz, "x"}, "x"}, {{kRegMultiSz, "a"}, "a"},
        {sz(std::string(1000, 'p')), std::string(1000, 'p')}};
    // clang-format on
    for (const auto& [stored, expected] : cases) {
        for (bool overstated : {false, true}) {
            test::TestSystem t;
            t.registry.overstateSizeQueries = overstated;
            t.registry.put(kCurrentUser, kKey, "R\xE9pertoire", stored); // stored in ANSI
            EXPECT_EQ(LireValeur(t.os, 1, kKey, "RéPERTOIRE"), expected) << overstated;
            EXPECT_EQ(t.registry.openHandles(), 0u);
        }
    }
}

// Every root holds the same value; the local machine's is read-only, as for a standard user.
struct Filled {
    test::TestSystem t;
    Filled() {
        t.registry.readOnlyRoots.insert(kLocalMachine);
        for (RegHandle root = kClassesRoot; root <= 0x80000006; ++root) {
            t.registry.put(root, kKey, "Folder", sz("C:\\Jeux"));
            t.registry.put(root, kKey, "", sz("défaut"));
        }
        keys = t.registry.keyCount();
    }
    size_t keys = 0;
    bool untouched() const {
        for (RegHandle root = kClassesRoot; root <= 0x80000006; ++root) {
            if (t.registry.find(root, kKey, "Folder") == nullptr ||
                t.registry.find(root, kKey, "") == nullptr) {
                return false;
            }
        }
        return t.registry.writes.empty() && t.registry.keyCount() == keys &&
               t.registry.openHandles() == 0;
    }
};

TEST(Registry, NothingIsWrittenRemovedOrCreatedWhereItCannotBe) {
    struct Case {
        std::int32_t HK;
        std::string key;
        std::string name;
        std::string read;
        bool writable; // a write would succeed, so only the read and the removal are tried
    };
    // clang-format off
    const std::vector<Case> cases{
        {5, kKey, "Folder", "", false}, {1, kKey, "Folder€", "", false}, {1, kKey + "\\€", "Folder", "", false},
        {0, kKey + "\\Absent", "Folder", "", false}, {0, kKey, "Folder", "C:\\Jeux", false},
        {1, kKey + "\\Absent", "Folder", "", true}, {1, kKey, "Absent", "", true}};
    // clang-format on
    for (const Case& c : cases) {
        Filled f;
        ASSERT_TRUE(f.untouched());
        EXPECT_EQ(LireValeur(f.t.os, c.HK, c.key, c.name), c.read)
            << c.HK << " " << c.key << " " << c.name;
        EXPECT_TRUE(c.writable || !DonnerValeur(f.t.os, c.HK, c.key, c.name, "x"));
        SupprValeur(f.t.os, c.HK, c.key, c.name);
        EXPECT_TRUE(f.untouched()) << c.HK << " " << c.key << " " << c.name;
    }
    Filled f; // a text that the ANSI code page cannot hold goes whole, in Unicode
    EXPECT_TRUE(DonnerValeur(f.t.os, 1, kKey, "Folder", "5 €"));
    EXPECT_EQ(f.t.registry.find(kCurrentUser, kKey, "Folder")->data, "5 €" + std::string(1, '\0'));
    EXPECT_TRUE(f.t.registry.find(kCurrentUser, kKey, "Folder")->unicode);
    // Only the value named, in any case, of that root goes.
    SupprValeur(f.t.os, 1, kKey, "FOLDER");
    EXPECT_EQ(f.t.registry.find(kCurrentUser, kKey, "Folder"), nullptr);
    EXPECT_NE(f.t.registry.find(kCurrentUser, kKey, ""), nullptr);
    EXPECT_NE(f.t.registry.find(kLocalMachine, kKey, "Folder"), nullptr);
}

TEST(Registry, AutostartEntryQuotesTheProgramPath) {
    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    test::TestSystem t;
    t.process.folder = "C:\\Program Files\\Quellix";
    t.registry.put(kLocalMachine, runKey, "Autre", sz("garde"));
    quellix::Run(t.os, "-min");
    EXPECT_EQ(LireValeur(t.os, 0, runKey, "quellix"),
              "\"C:\\Program Files\\Quellix\\quellix.exe\" -min");
    EXPECT_TRUE(IsRun(t.os));
    DelRun(t.os);
    EXPECT_FALSE(IsRun(t.os));
    EXPECT_NE(t.registry.find(kLocalMachine, runKey, "Autre"), nullptr);
    t.registry.put(kLocalMachine, runKey, "quellix", sz("")); // the empty text does not count
    EXPECT_FALSE(IsRun(t.os));
}

} // namespace
} // namespace quellix
