// The registry layer and install detection against the real registry of the Wine prefix.

#include "registry_fixture.h"

#include "config/detection.h"
#include "harness.h"
#include "platform/windows/ansi_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/process_win.h"
#include "platform/windows/registry_win.h"
#include "registry/registry.h"
#include "scripted_dialogs.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

const std::string kTestKey = "Software\\QuellixTest";

struct WindowsSystem {
    win::WindowsRegistry registry;
    win::WindowsFiles files;
    win::WindowsProcess process;
    test::ScriptedDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

// The test key of the current user, removed before and after each test.
class RegistryWin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kTestKey)); }
    void TearDown() override {
        EXPECT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kTestKey));
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, kTestKey));
        EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));
    }
    WindowsSystem w;
};

std::string dword(DWORD number) {
    return std::string(reinterpret_cast<const char*>(&number), sizeof(number));
}

TEST_F(RegistryWin, WrittenTextsReadBackAndAreStoredAsStrings) {
    const std::vector<std::string> texts{"C:\\Jeux\\Quake III Arena", "", "x",
                                         "C:\\Jeux\\Été à Noël", std::string(600, 'p')};
    const std::string key = kTestKey + "\\Jeux";
    for (size_t i = 0; i < texts.size(); ++i) {
        const std::string name = "Valeur" + std::to_string(i);
        EXPECT_TRUE(DonnerValeur(w.os, 1, key, name, texts[i])) << texts[i];
        EXPECT_EQ(LireValeur(w.os, 1, key, name), texts[i]);
        std::optional<RawValue> raw = rawValue(HKEY_CURRENT_USER, key, name);
        ASSERT_TRUE(raw) << texts[i];
        EXPECT_EQ(raw->type, static_cast<DWORD>(REG_SZ)) << texts[i];
        EXPECT_EQ(textValue(HKEY_CURRENT_USER, key, name), texts[i]);
    }
    // The default value of the key.
    EXPECT_TRUE(DonnerValeur(w.os, 1, key, "", "URL: vx Protocol"));
    EXPECT_EQ(textValue(HKEY_CURRENT_USER, key, ""), std::string("URL: vx Protocol"));
    EXPECT_EQ(LireValeur(w.os, 1, key, ""), "URL: vx Protocol");
}

TEST_F(RegistryWin, ValuesOfEveryTypeAreReadAsText) {
    struct Case {
        const char* name;
        DWORD type;
        std::string bytes;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"Vide", REG_SZ, std::string(2, '\0'), ""},
        {"Rien", REG_SZ, "", ""},
        {"Lettre", REG_SZ, std::string("q\0\0\0", 4), "q"},
        {"Nombre", REG_DWORD, dword(0x00434241), "ABC"},
        {"Expand", REG_EXPAND_SZ, std::string("%\0W\0I\0N\0%\0\0\0", 12), "%WIN%"},
        {"Binaire", REG_BINARY, "abcd", "abc"},
    };
    RegistryFixture fixture;
    for (const Case& c : cases) {
        ASSERT_TRUE(fixture.set(HKEY_CURRENT_USER, kTestKey, c.name, c.type, c.bytes)) << c.name;
    }
    for (const Case& c : cases) {
        EXPECT_EQ(LireValeur(w.os, 1, kTestKey, c.name), c.expected) << c.name;
    }
}

TEST_F(RegistryWin, ReadsAndDeletesNeverCreateAKey) {
    const std::string missing = kTestKey + "\\Absent\\Plus bas";
    EXPECT_EQ(LireValeur(w.os, 1, missing, "Folder"), "");
    SupprValeur(w.os, 1, missing, "Folder");
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kTestKey));

    RegistryFixture fixture;
    ASSERT_TRUE(fixture.setText(HKEY_CURRENT_USER, kTestKey, "Folder", "C:\\Jeux"));
    ASSERT_TRUE(fixture.setText(HKEY_CURRENT_USER, kTestKey, "Autre", "garde"));
    EXPECT_EQ(LireValeur(w.os, 1, kTestKey, "Absent"), "");
    SupprValeur(w.os, 1, kTestKey, "Absent");
    SupprValeur(w.os, 1, kTestKey, "Folder");
    EXPECT_FALSE(rawValue(HKEY_CURRENT_USER, kTestKey, "Folder"));
    EXPECT_EQ(textValue(HKEY_CURRENT_USER, kTestKey, "Autre"), std::string("garde"));
}

TEST_F(RegistryWin, TheMachineRootIsReachedInThe32BitView) {
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_32KEY));
    ASSERT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));

    EXPECT_NE(CreerCle(w.os, 0, kTestKey + "\\Cle"), 0u);
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, kTestKey + "\\Cle", KEY_WOW64_32KEY));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, kTestKey, KEY_WOW64_64KEY));

    RegistryFixture fixture;
    ASSERT_TRUE(fixture.setText(HKEY_LOCAL_MACHINE, kTestKey, "Vue", "32"));
    ASSERT_TRUE(fixture.setText(HKEY_LOCAL_MACHINE, kTestKey, "Vue", "64", KEY_WOW64_64KEY));
    EXPECT_EQ(LireValeur(w.os, 0, kTestKey, "Vue"), "32");
    EXPECT_TRUE(DonnerValeur(w.os, 0, kTestKey, "Ecrit", "ici"));
    EXPECT_EQ(textValue(HKEY_LOCAL_MACHINE, kTestKey, "Ecrit"), std::string("ici"));
}

// Where the installers of the games that a test machine does not have would write.
const std::vector<std::pair<HKEY, std::string>>& absentGames() {
    static const std::vector<std::pair<HKEY, std::string>> keys{
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Unreal Technology"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\LucasArts"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\LucasArts Entertainment Company LLC"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\MOHAA.exe"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\BF1942.exe"},
        {HKEY_LOCAL_MACHINE, "SOFTWARE\\Activision"},
    };
    return keys;
}

TEST_F(RegistryWin, DetectionFindsTheGamesThatInstallersRegistered) {
    for (const auto& [root, key] : absentGames()) {
        ASSERT_FALSE(keyExists(root, key)) << key << " exists in this prefix already";
    }
    const std::string steam = scratchFolder("detection") + "\\Steam\\SteamApps\\joueur";
    ASSERT_TRUE(makeFolders(steam + "\\half-life"));
    ASSERT_TRUE(makeFolders(steam + "\\counter-strike"));
    const std::string quake = "D:\\Jeux\\Quake III Arena\\quake3.exe";

    RegistryFixture fixture;
    ASSERT_TRUE(fixture.setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena",
                                "INSTALLEXEPATH", quake));
    ASSERT_TRUE(fixture.setText(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "ModInstallPath",
                                steam + "\\half-life"));

    struct Case {
        std::string key;
        std::string expected;
    };
    const std::vector<Case> cases{
        {"q3", quake},
        {"shl", steam + "\\half-life\\hl.exe"},
        {"scs", steam + "\\half-life\\..\\counter-strike\\hl.exe"},
        {"dod", ""},
        {"stfc", ""},
        {"ut", " "},
        {"ja", " "},
        {"jo", " "},
        {"mohaa", " "},
        {"ut2k4", " "},
        {"ef2", " "},
        {"bf", " "},
        {"cod", " "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DetecterJeu(w.os, c.key), c.expected) << c.key;
    }
    for (const auto& [root, key] : absentGames()) {
        EXPECT_FALSE(keyExists(root, key)) << key << " was created by detection";
    }
}

} // namespace
} // namespace quellix::wintest
