// The real quellix.exe, end to end. Its first start in a new folder registers vx links where the
// shell looks for them (the 64-bit view) and writes config.ini from what the games' installers
// recorded (the 32-bit view); later links are followed as a browser follows them, handed to the
// shell. Each starts the game probe, standing in for Quake 3 (started in its own folder) and
// Unreal Tournament 2003 (in the launcher's).

#include "harness.h"

#include <shellapi.h>

#include <tuple>

namespace quellix::wintest {
namespace {

TEST(EndToEnd, TheFirstStartRegistersAndFindsTheGamesThenEachLinkStartsItsGame) {
    const std::pair<HKEY, std::string> protocol[] = {{HKEY_CLASSES_ROOT, "vx"},
                                                     {HKEY_LOCAL_MACHINE, "software\\vx"},
                                                     {HKEY_CURRENT_USER, "Software\\Classes\\vx"}};
    for (const auto& [root, key] : protocol) {
        ASSERT_TRUE(deleteKeyTree(root, key, KEY_WOW64_64KEY)) << key;
    }
    const std::string root = scratchFolder("end to end"), games = root + "\\Jeux vidéo\\";
    const std::string quake = games + "Quake III Arena\\quake3.exe";
    const std::string unreal = games + "UT2003\\System\\UT2003.exe";
    // The registered file name is fixed, whatever the name of the running file.
    ASSERT_TRUE(copyFile(buildFolder() + "\\game_probe.exe", quake) &&
                copyFile(buildFolder() + "\\game_probe.exe", unreal) &&
                copyFile(buildFolder() + "\\quellix.exe", root + "\\Quellix\\Quellix 2.exe") &&
                copyFile(buildFolder() + "\\quellix.exe", root + "\\Quellix\\quellix.exe"));
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                        quake, KEY_WOW64_32KEY, false)); // stored without its terminator
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003",
                        "Folder", games + "UT2003"));
    std::string first;
    const std::string password = "a_b.c!d~e*f'g(h)i@j%k-"; // every punctuation mark allowed
    for (const auto& [link, exe, arguments, folder] :
         {std::tuple{"q3", quake, std::string("  +connect 10.0.0.1:27960 +password secret"),
                     games + "Quake III Arena"},
          std::tuple{"ut2003", unreal, std::string("  10.0.0.1:27960?password=secret"), root},
          std::tuple{"q3", quake, "  +connect 10.0.0.1:27960 +password " + password,
                     games + "Quake III Arena"}}) {
        DeleteFileW(widen(exe.substr(0, exe.rfind('.')) + ".log").c_str());
        const std::string url = "vx://10.0.0.1:27960/" + std::string(link) + "/" +
                                (arguments.ends_with("secret") ? "secret" : password);
        if (first.empty()) {
            EXPECT_EQ(runProgram(root + "\\Quellix\\Quellix 2.exe", url, root), 0u);
        } else { // the call a browser makes
            const std::wstring wideUrl = widen(url), wideRoot = widen(root);
            SHELLEXECUTEINFOW info{};
            info.cbSize = sizeof(info);
            info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
            info.lpVerb = L"open";
            info.lpFile = wideUrl.c_str();
            info.lpDirectory = wideRoot.c_str(); // where the launcher starts
            info.nShow = SW_SHOWNORMAL;
            ASSERT_TRUE(ShellExecuteExW(&info)) << url << " error " << GetLastError();
        }
        EXPECT_EQ(probeRecord(exe), "\"" + exe + "\"" + arguments + "\n" + folder + "\n" +
                                        std::to_string(SW_SHOWMINIMIZED) + "\n");
        for (const auto& [hkey, key] : protocol) {
            EXPECT_EQ(regValue(hkey, key, "", KEY_WOW64_64KEY), "URL: vx Protocol");
            EXPECT_EQ(regValue(hkey, key, "URL Protocol", KEY_WOW64_64KEY), "");
            EXPECT_EQ(regValue(hkey, key + "\\shell\\open\\command", "", KEY_WOW64_64KEY),
                      "\"" + root + "\\Quellix\\quellix.exe\" %1");
            if (hkey != HKEY_CLASSES_ROOT) { // each start registers again; the shell reads this one
                EXPECT_TRUE(deleteKeyTree(hkey, key, KEY_WOW64_64KEY));
            }
        }
        const std::string config = readBytes(root + "\\Quellix\\config.ini").value_or("");
        first = first.empty() ? config : first;
        EXPECT_EQ(config, first) << "only the first start writes config.ini";
    }
    std::string ansi = quake; // config.ini holds the 8-bit code page
    ansi.replace(ansi.find("é"), 2, "\xE9");
    EXPECT_NE(first.find("[q3]\r\nPath=" + ansi + "\r\npresent=1\r\n"), std::string::npos) << first;
    EXPECT_TRUE(deleteKeyTree(HKEY_CLASSES_ROOT, "vx", KEY_WOW64_64KEY) &&
                deleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena") &&
                deleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Unreal Technology"));
}

} // namespace
} // namespace quellix::wintest
