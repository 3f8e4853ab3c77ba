// The first and later starts of the real quellix.exe: the vx registration and config.ini.

#include "harness.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

// Where the shell looks handlers up: the 64-bit view.
const std::vector<std::pair<HKEY, std::string>> kProtocolKeys{
    {HKEY_CLASSES_ROOT, "vx"},
    {HKEY_LOCAL_MACHINE, "software\\vx"},
    {HKEY_CURRENT_USER, "Software\\Classes\\vx"}};

void removeRegistration() {
    for (const auto& [root, key] : kProtocolKeys) {
        ASSERT_TRUE(deleteKeyTree(root, key, KEY_WOW64_64KEY)) << key;
    }
}

// A launcher folder of its own holding the program under `fileName`, started with a link whose
// game no row of the catalogue knows: it ends silently after the start-up work.
std::string installAndStart(const std::string& folder, const std::string& fileName,
                            const std::string& config = "<none>") {
    EXPECT_TRUE(makeFolders(folder));
    EXPECT_TRUE(copyFileTo(quellixExe(), folder + "\\" + fileName));
    if (config != "<none>") {
        EXPECT_TRUE(writeBytes(folder + "\\config.ini", config));
    }
    RunResult run = runProgram(folder + "\\" + fileName, "vx://10.0.0.1:27960/inconnu/x", folder);
    EXPECT_TRUE(run.finished && run.exitCode == 0u && run.messages.empty()) << fileName;
    for (const auto& [root, key] : kProtocolKeys) {
        EXPECT_EQ(textValue(root, key, "", KEY_WOW64_64KEY), std::string("URL: vx Protocol"))
            << key;
        EXPECT_EQ(textValue(root, key, "URL Protocol", KEY_WOW64_64KEY), std::string()) << key;
        EXPECT_EQ(textValue(root, key + "\\shell\\open\\command", "", KEY_WOW64_64KEY),
                  "\"" + folder + "\\quellix.exe\" %1")
            << key;
    }
    return readBytes(folder + "\\config.ini").value_or("<missing>");
}

// The registry values the games' installers wrote, in the 32-bit view: Quake 3, and Steam with
// Counter-Strike only (its folder beside the one Steam names).
TEST(StartupEndToEnd, EveryStartRegistersItsFolderAndOnlyTheFirstWritesTheDefaults) {
    removeRegistration();
    const std::string root = scratchFolder("startup");
    const std::string steam = root + "\\Steam\\SteamApps\\joueur\\half-life";
    ASSERT_TRUE(makeFolders(steam) &&
                makeFolders(root + "\\Steam\\SteamApps\\joueur\\counter-strike"));
    const std::string quake = "D:\\Jeux\\Quake III Arena\\quake3.exe";
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                        quake, KEY_WOW64_32KEY,
                        false)); // stored without its terminator: read whole
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "ModInstallPath", steam));
    const std::string absent = "SOFTWARE\\Activision\\Call of Duty";
    ASSERT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, absent));

    // The registered file name is fixed, whatever the name of the running file.
    const std::string config = installAndStart(root + "\\Premier", "Quellix Vorbanix 2.exe");
    const std::string none = "\r\nPath= \r\npresent=0\r\n";
    EXPECT_EQ(config, "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n"
                      "[dod]\r\nPath=\r\npresent=0\r\n"
                      "[shl]\r\nPath=" +
                          steam +
                          "\\hl.exe\r\npresent=1\r\n"
                          "[scs]\r\nPath=" +
                          steam +
                          "\\..\\counter-strike\\hl.exe\r\npresent=1\r\n"
                          "[stfc]\r\nPath=\r\npresent=0\r\n"
                          "[ja]" +
                          none + "[jo]" + none + "[q3]\r\nPath=" + quake +
                          "\r\npresent=1\r\n"
                          "[UT2003]" +
                          none + "[mohaa]" + none + "[ut2k4]" + none + "[ef2]" + none + "[bf]" +
                          none + "[cod]" + none);
    // Detection only reads: no key is left behind for a game that is not installed.
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, absent));

    // Moved to another folder, with a config.ini of the user's and a registration removed.
    const std::string edited = "[general]\nsansvalidation=0\n; à moi\n[q3]\npath=E:\\q3.exe\n";
    ASSERT_TRUE(deleteKeyTree(HKEY_CLASSES_ROOT, "vx", KEY_WOW64_64KEY));
    EXPECT_EQ(installAndStart(root + "\\Apres", "quellix.exe", edited), edited);
    EXPECT_EQ(installAndStart(root + "\\Vide", "quellix.exe", ""), "");
    // A folder name outside the code page is registered whole.
    EXPECT_EQ(installAndStart(root + "\\Łódź", "quellix.exe", ""), "");
    removeRegistration();
    EXPECT_TRUE(deleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena"));
    EXPECT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, "Software\\Valve\\Steam"));
}

} // namespace
} // namespace quellix::wintest
