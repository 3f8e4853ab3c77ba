// The setup program run silently, as a player's account would (ctest gives it a Wine prefix of its
// own): install, a link through the installed launcher, upgrade, uninstall.

#include "harness.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <array>
#include <cstring>

namespace quellix::wintest {
namespace {

using win::narrow;
using win::widen;

const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quellix Vorbanix";
const std::string kVxKey = "Software\\Classes\\vx";
const std::string kVxCommand = kVxKey + "\\shell\\open\\command";

std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    std::string result = narrow(path);
    CoTaskMemFree(path);
    return result;
}

// A value of the user's key as text, numbers in decimal.
std::string userValue(const std::string& key, const std::string& name) {
    wchar_t data[1024] = L"<none>";
    DWORD size = sizeof(data), type = 0, number = 0;
    RegGetValueW(HKEY_CURRENT_USER, widen(key).c_str(), widen(name).c_str(),
                 RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, data, &size);
    std::memcpy(&number, data, sizeof(number));
    return type == REG_DWORD ? std::to_string(number) : narrow(data);
}

std::string shortcutTarget(const std::string& link) {
    IShellLinkW* shellLink = nullptr;
    IPersistFile* file = nullptr;
    wchar_t target[MAX_PATH] = L"<none>";
    CoInitialize(nullptr);
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&shellLink))) &&
        SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(widen(link).c_str(), STGM_READ))) {
        shellLink->GetPath(target, MAX_PATH, nullptr, 0);
    }
    for (IUnknown* object : {static_cast<IUnknown*>(file), static_cast<IUnknown*>(shellLink)}) {
        if (object != nullptr) {
            object->Release();
        }
    }
    return narrow(target);
}

std::string fileVersion(const std::string& exe) {
    std::string block(GetFileVersionInfoSizeW(widen(exe).c_str(), nullptr), '\0');
    VS_FIXEDFILEINFO* info = nullptr;
    UINT size = 0;
    if (block.empty() ||
        !GetFileVersionInfoW(widen(exe).c_str(), 0, static_cast<DWORD>(block.size()),
                             block.data()) ||
        !VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &size)) {
        return "<none>";
    }
    return std::to_string(HIWORD(info->dwFileVersionMS)) + "." +
           std::to_string(LOWORD(info->dwFileVersionMS)) + "." +
           std::to_string(HIWORD(info->dwFileVersionLS));
}

bool exists(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool setup() {
    return runProgram(buildFolder() + "\\quellix-setup.exe", "/S", buildFolder()) == 0u;
}

// As the uninstaller does when started from its folder: a copy elsewhere, told the folder, so
// that it can delete itself; started directly, that copy would run on after it returned.
bool uninstall(const std::string& folder) {
    const std::string copy = scratchFolder("uninstaller") + "\\uninstall.exe";
    return copyFile(folder + "\\uninstall.exe", copy) &&
           runProgram(copy, "/S _?=" + folder, buildFolder()) == 0u;
}

TEST(Installer, InstallsForTheUserUpgradesAndUninstallsKeepingSettingsAndOtherHandlers) {
    const std::string folder = knownFolder(FOLDERID_LocalAppData) + "\\Programs\\Quellix Vorbanix";
    const std::string exe = folder + "\\quellix.exe", uninstaller = folder + "\\uninstall.exe";
    const std::string shortcut = knownFolder(FOLDERID_Programs) + "\\Quellix Vorbanix.lnk";
    // What a failed earlier run may have left.
    for (const std::string& file : {exe, uninstaller, shortcut, folder + "\\config.ini"}) {
        DeleteFileW(widen(file).c_str());
    }
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kVxKey, 0) &&
                deleteKeyTree(HKEY_CURRENT_USER, kUninstallKey, 0));

    ASSERT_TRUE(setup());
    const std::optional<std::string> built = readBytes(buildFolder() + "\\quellix.exe");
    EXPECT_EQ(readBytes(exe), built);
    EXPECT_TRUE(exists(uninstaller));
    EXPECT_EQ(shortcutTarget(shortcut), exe);
    EXPECT_EQ(fileVersion(exe), QUELLIX_VERSION);
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
        EXPECT_EQ(userValue(key, name), expected) << key << " " << name;
    }

    const std::string game = scratchFolder("installer game") + "\\quake3.exe";
    ASSERT_TRUE(copyFile(buildFolder() + "\\game_probe.exe", game));
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
    ASSERT_TRUE(uninstall(folder));
    for (const std::string& gone : {exe, uninstaller, shortcut}) {
        EXPECT_FALSE(exists(gone)) << gone;
    }
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kVxKey, 0));
    EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, kUninstallKey, 0));
    EXPECT_EQ(readBytes(folder + "\\config.ini"), config);

    // Another program took the vx links: its handler stays; the folder, left empty, goes.
    DeleteFileW(widen(folder + "\\config.ini").c_str());
    ASSERT_TRUE(setup());
    const std::string other = "\"C:\\Autre\\autre.exe\" %1";
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, kVxCommand, "", other, 0));
    ASSERT_TRUE(uninstall(folder));
    EXPECT_EQ(userValue(kVxCommand, ""), other);
    EXPECT_FALSE(exists(folder));
    deleteKeyTree(HKEY_CURRENT_USER, kVxKey, 0);
}

} // namespace
} // namespace quellix::wintest
