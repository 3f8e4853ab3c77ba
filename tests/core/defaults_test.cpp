#include "config/defaults.h"

#include "test_system.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace quellix {
namespace {

const std::string kConfig = "C:\\Quellix\\config.ini";
const std::string kQuake = "D:\\Jeux\\Quake III Arena\\quake3.exe";
const std::string kMods = "C:\\Steam\\SteamApps\\joueur\\half-life";

std::string lines(std::initializer_list<std::string> all) {
    std::string text;
    for (const std::string& line : all) {
        text += line + "\r\n";
    }
    return text;
}

// Quake 3 and Steam with Counter-Strike only.
void install(test::TestSystem& t) {
    t.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                   {kRegSz, kQuake + '\0'});
    t.registry.put(0x80000001, "Software\\Valve\\Steam", "ModInstallPath", {kRegSz, kMods + '\0'});
    t.files.folders.insert(kMods + "\\..\\counter-strike");
}

// clang-format off
TEST(Defaults, FreshFileHoldsTheOptionsThenEveryGameInCatalogueOrder) {
    test::TestSystem t;
    install(t);
    t.files.files[kConfig] = {};
    EXPECT_TRUE(CreerConfigDefaut(t.os));
    EXPECT_EQ(t.files.files[kConfig].bytes, lines({
        "[General]", "sansvalidation=1", "acceleration=0",
        "[dod]", "Path=", "present=0",
        "[shl]", "Path=" + kMods + "\\hl.exe", "present=1",
        "[scs]", "Path=" + kMods + "\\..\\counter-strike\\hl.exe", "present=1",
        "[stfc]", "Path=", "present=0", "[ja]", "Path= ", "present=0", "[jo]", "Path= ", "present=0",
        "[q3]", "Path=" + kQuake, "present=1", "[UT2003]", "Path= ", "present=0",
        "[mohaa]", "Path= ", "present=0", "[ut2k4]", "Path= ", "present=0",
        "[ef2]", "Path= ", "present=0", "[bf]", "Path= ", "present=0", "[cod]", "Path= ", "present=0"}));
    EXPECT_EQ(t.files.files.size(), 1u) << "a temporary file was left";
}

// clang-format on

TEST(Defaults, AFileThatCannotBeWrittenIsLeftAsItWasAndReported) {
    for (bool readOnly : {true, false}) {
        test::TestSystem t;
        install(t);
        const std::string before = lines({"[q3]", "path=C:\\Perso\\quake3.exe"});
        t.files.files[kConfig] = {before, readOnly};
        t.files.failReplace = !readOnly;
        EXPECT_FALSE(CreerConfigDefaut(t.os)) << readOnly;
        EXPECT_EQ(t.files.files[kConfig].bytes, before) << readOnly;
        EXPECT_EQ(t.files.files.size(), 1u) << readOnly;
    }
}

} // namespace
} // namespace quellix
