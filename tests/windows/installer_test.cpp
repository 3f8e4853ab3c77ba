// The setup program run silently, as a player's account would (ctest gives it a Wine prefix of its
// own): install, a link through the installed launcher, upgrade, uninstall.

#include "harness.h"

#include <shlobj.h>

#include <array>

namespace quellix::wintest {
namespace {

const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quellix Vorbanix";
const std::string kVxKey = "Software\\Classes\\vx", kVxCommand = kVxKey + "\\shell\\open\\command";

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    const std::string result = narrow(path);
    CoTaskMemFree(path);
    return result;
}

TEST(Installer, InstallsForTheUserUpgradesAndUninstallsKeepingSettingsAndOtherHandlers) {
    const std::string folder = knownFolder(FOLDERID_LocalAppData) + "\\Programs\\Quellix Vorbanix";
    const std::string exe = folder + "\\quellix.exe", uninstaller = folder + "\\uninstall.exe";
    const std::string shortcut = knownFolder(FOLDERID_Programs) + "\\Quellix Vorbanix.lnk";
    auto exists = [](const std::string& path) { return fs::exists(fs::path(widen(path))); };
    const std::string build = buildFolder();
    auto setup = [&] { return runProgram(build + "\\quellix-setup.exe", "/S", build) == 0u; };
    // As the uninstaller does when started from its folder: a copy elsewhere, told the folder, so
    // that it can delete itself; started directly, that copy would run on after it returned.
    auto uninstall = [&] {
        const std::string copy = scratchFolder("uninstaller") + "\\uninstall.exe";
        return copyFile(uninstaller, copy) && runProgram(copy, "/S _?=" + folder, build) == 0u;
    };
    // What a failed earlier run may have left.
    for (const std::string& file : {exe, uninstaller, shortcut, folder + "\\config.ini"}) {
        DeleteFileW(widen(file).c_str());
    }
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kVxKey, 0) &&
                deleteKeyTree(HKEY_CURRENT_USER, kUninstallKey, 0));

    ASSERT_TRUE(setup());
    const std::optional<std::string> built = readBytes(build + "\\quellix.exe");
    EXPECT_EQ(readBytes(exe), built);
    EXPECT_TRUE(exists(uninstaller));
    // The link's target, as the shell link format keeps it: the local path in the code page.
    EXPECT_NE(readBytes(shortcut).value_or("").find(exe + '\0'), std::string::npos);
    std::string version(GetFileVersionInfoSizeW(widen(exe).c_str(), nullptr), '\0');
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(GetFileVersionInfoW(widen(exe).c_str(), 0, static_cast<DWORD>(version.size()),
                                    version.data()) &&
                VerQueryValueW(version.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                  std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                  std::to_string(HIWORD(fixed->dwFileVersionLS)),
              QUELLIX_VERSION);
    const std::string quoted = "\"" + uninstaller + "\"";
    const std::vector<std::array<std::string, 3>> values = {
        {kVxKey, "", "URL: vx Protocol"},
        {kVxKey, "URL Protocol", ""},
        {kVxCommand, "", "\"" + exe + "\" %1"},
        {kUninstallKey, "DisplayName", "Quellix Vorbanix"},
        {kUninstallKey, "Publisher", "Vorbanix"},
        {kUninstallKey, "DisplayVersion", QUELLIX_VERSION},
        {kUninstallKey, "DisplayIcon", exe},
        {kUninstallKey, "InstallLocation", folder},
        {kUninstallKey, "UninstallString", quoted},
        {kUninstallKey, "QuietUninstallString", quoted + " /S"},
        {kUninstallKey, "NoModify", "1"},
        {kUninstallKey, "NoRepair", "1"},
        {kUninstallKey, "EstimatedSize", std::to_string((built->size() + 1023) / 1024)}, // KiB
    };
    for (const auto& [key, name, expected] : values) {
        EXPECT_EQ(regValue(HKEY_CURRENT_USER, key, name, 0), expected) << key << " " << name;
    }

    const std::string game = scratchFolder("installer game") + "\\quake3.exe";
    ASSERT_TRUE(copyFile(build + "\\game_probe.exe", game));
    const std::string config = "[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=" + game + "\r\n";
    ASSERT_TRUE(writeBytes(folder + "\\config.ini", config));
    EXPECT_EQ(runProgram(exe, "vx://127.0.0.1:27960/q3/secret", folder), 0u);
    EXPECT_TRUE(probeRecord(game).has_value());

    ASSERT_TRUE(setup()); // an upgrade keeps the settings
    EXPECT_EQ(readBytes(folder + "\\config.ini"), config);

    // The handler is this install's whatever the case of its path.
    std::wstring upper = widen("\"" + exe + "\" %1");
    CharUpperW(upper.data());
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, kVxCommand, "", narrow(upper), 0));
    ASSERT_TRUE(uninstall());
    for (const std::string& gone : {exe, uninstaller, shortcut}) {
        EXPECT_FALSE(exists(gone)) << gone;
    }
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kVxKey, 0) ||
                 keyExists(HKEY_CURRENT_USER, kUninstallKey, 0));
    EXPECT_EQ(readBytes(folder + "\\config.ini"), config);

    // Another program took the vx links: its handler stays; the folder, left empty, goes.
    DeleteFileW(widen(folder + "\\config.ini").c_str());
    ASSERT_TRUE(setup());
    const std::string other = "\"C:\\Autre\\autre.exe\" %1";
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, kVxCommand, "", other, 0));
    ASSERT_TRUE(uninstall());
    EXPECT_EQ(regValue(HKEY_CURRENT_USER, kVxCommand, "", 0), other);
    EXPECT_FALSE(exists(folder));
    deleteKeyTree(HKEY_CURRENT_USER, kVxKey, 0);
}

} // namespace
} // namespace quellix::wintest
