// The registry layer against the real registry of the Wine prefix: the view it reaches. What it
// stores and reads is compared with the system functions elsewhere.

#include "registry_fixture.h"

#include "registry/registry.h"
#include "scripted_dialogs.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/process_win.h"
#include "windows/registry_win.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix::wintest {
namespace {

const std::string kTestKey = "Software\\QuellixTest";

// The test key, removed before and after each test in both views.
class RegistryWin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kTestKey)); }
    void TearDown() override {
        EXPECT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kTestKey));
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, kTestKey));
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));
    }
    win::WindowsRegistry registry;
    win::WindowsFiles files;
    win::WindowsProcess process;
    test::ScriptedDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

TEST_F(RegistryWin, EachCallReachesTheViewItNames) {
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_32KEY));
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));
    EXPECT_NE(CreerCle(os, 0, kTestKey + "\\Cle"), 0u);
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kTestKey + "\\Cle", KEY_WOW64_32KEY));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));

    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, kTestKey, "Vue", "32"));
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, kTestKey, "Vue", "64", KEY_WOW64_64KEY));
    EXPECT_EQ(LireValeur(os, 0, kTestKey, "Vue"), "32");
    EXPECT_TRUE(DonnerValeur(os, 0, kTestKey, "Ecrit", "ici"));
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, kTestKey, "Ecrit"), std::string("ici"));
    // The shell's view is the 64-bit one.
    EXPECT_TRUE(DonnerValeur(os, 0, kTestKey, "Shell", "64", RegView::Shell));
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, kTestKey, "Shell", KEY_WOW64_64KEY), std::string("64"));
    EXPECT_EQ(LireValeur(os, 0, kTestKey, "Vue", RegView::Shell), "64");
}

} // namespace
} // namespace quellix::wintest
