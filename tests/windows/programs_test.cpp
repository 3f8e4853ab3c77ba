// The real quellix.exe and its setup program, run as a player runs them; the game probe stands in
// for Quake 3 (started in its own folder) and Unreal Tournament 2003 (in the launcher's).

#include "harness.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>

namespace quellix::wintest {

// Hands `file` to the shell as Explorer or a browser does; true when what it starts in `folder`
// ends within 30 seconds with code 0.
static bool shellOpen(const std::string& file, const std::string& parameters,
                      const std::string& folder) {
    const std::wstring wide[] = {widen(file), widen(parameters), widen(folder)};
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = wide[0].c_str();
    info.lpParameters = wide[1].c_str();
    info.lpDirectory = wide[2].c_str();
    info.nShow = SW_SHOWNORMAL;
    int refused = 0; // a loaded machine's Wine now and then refuses a start for a moment
    while (!ShellExecuteExW(&info) && ++refused < 5) {
        Sleep(500);
    }
    EXPECT_LT(refused, 5) << file << " not started, error " << GetLastError();
    const bool ended = WaitForSingleObject(info.hProcess, 30000) == WAIT_OBJECT_0;
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    TerminateProcess(info.hProcess, 1); // does nothing to one that has ended
    CloseHandle(info.hProcess);
    return ended && code == 0;
}

// The first start registers vx links where the shell reads them (the 64-bit view) and writes
// config.ini from the installers' values (the 32-bit view); later links come through the shell.
TEST(EndToEnd, TheFirstStartRegistersAndFindsTheGamesThenEachLinkStartsItsGame) {
    auto unregister = [] { // in the shell's view, every root the launcher writes
        return deleteKeyTree(HKEY_CLASSES_ROOT, "vx", KEY_WOW64_64KEY) &&
               deleteKeyTree(HKEY_LOCAL_MACHINE, "software\\vx", KEY_WOW64_64KEY) &&
               deleteKeyTree(HKEY_CURRENT_USER, "Software\\Classes\\vx", KEY_WOW64_64KEY);
    };
    ASSERT_TRUE(unregister());
    const std::string root = scratchFolder("end to end"), games = root + "\\Jeux vidéo\\",
                      q3 = games + "Quake III Arena", quellix = root + "\\Quellix\\";
    const std::string quake = q3 + "\\quake3.exe", unreal = games + "UT2003\\System\\UT2003.exe";
    const std::string probe = buildFolder() + "\\game_probe.exe",
                      us = buildFolder() + "\\quellix.exe";
    ASSERT_TRUE(copyFile(probe, quake) && copyFile(probe, unreal) &&
                copyFile(us, quellix + "Quellix 2.exe") && copyFile(us, quellix + "quellix.exe"));
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                        quake, KEY_WOW64_32KEY, false)); // stored without its terminator
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Unreal Technology\\Installed Apps\\UT2003",
                        "Folder", games + "UT2003"));
    const std::string password = "a_b.c!d~e*f'g(h)i@j%k-"; // every punctuation mark allowed
    const std::string connect = "  +connect 10.0.0.1:27960 +password ";
    bool first = true;
    for (const auto& [link, exe, arguments, folder] :
         {std::tuple{std::string("q3/secret"), quake, connect + "secret", q3},
          {"ut2003/secret", unreal, "  10.0.0.1:27960?password=secret", root},
          {"q3/" + password, quake, connect + password, q3}}) {
        const std::string log = exe.substr(0, exe.rfind('.')) + ".log",
                          url = "vx://10.0.0.1:27960/" + link;
        DeleteFileW(widen(log).c_str());
        EXPECT_TRUE(std::exchange(first, false) ? shellOpen(quellix + "Quellix 2.exe", url, root)
                                                : shellOpen(url, "", root));
        std::optional<std::string> record; // command line, current folder, show state
        for (int tries = 0; tries < 200 && std::ranges::count(record.value_or(""), '\n') < 3;
             ++tries, Sleep(50)) {
            record = readBytes(log);
        }
        EXPECT_EQ(record, "\"" + exe + "\"" + arguments + "\n" + folder + "\n" +
                              std::to_string(SW_SHOWMINIMIZED) + "\n");
    }
    // The shell found the handler; it is the fixed file name, whatever the name of the first.
    EXPECT_EQ(regValue(HKEY_CLASSES_ROOT, "vx\\shell\\open\\command", "", KEY_WOW64_64KEY),
              "\"" + quellix + "quellix.exe\" %1");
    const std::string ansi = root + "\\Jeux vid\xE9o\\Quake III Arena\\quake3.exe"; // code page
    EXPECT_TRUE(holds(quellix + "config.ini", "[q3]\r\nPath=" + ansi + "\r\npresent=1\r\n"));
    EXPECT_TRUE(unregister() &&
                deleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena") &&
                deleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Unreal Technology"));
}

const std::string kUninstallKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Quellix Vorbanix";
const std::string kVxKey = "Software\\Classes\\vx", kVxCommand = kVxKey + "\\shell\\open\\command";

static std::string knownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    SHGetKnownFolderPath(id, 0, nullptr, &path);
    const std::string result = narrow(path);
    CoTaskMemFree(path);
    return result;
}

// Silently, as a player's account (in a Wine prefix of its own): install, upgrade, uninstall.
TEST(Installer, InstallsForTheUserUpgradesAndUninstallsKeepingSettingsAndOtherHandlers) {
    const std::string folder = knownFolder(FOLDERID_LocalAppData) + "\\Programs\\Quellix Vorbanix";
    const std::string exe = folder + "\\quellix.exe", uninstaller = folder + "\\uninstall.exe";
    const std::string shortcut = knownFolder(FOLDERID_Programs) + "\\Quellix Vorbanix.lnk";
    auto exists = [](const std::string& path) { return fs::exists(fs::path(widen(path))); };
    const std::string build = buildFolder();
    auto setup = [&] { return shellOpen(build + "\\quellix-setup.exe", "/S", build); };
    // A copy told the folder, as the uninstaller runs itself (run directly, it returns at once).
    auto uninstall = [&](const std::string& options) {
        const std::string copy = scratchFolder("uninstaller") + "\\uninstall.exe";
        return copyFile(uninstaller, copy) &&
               shellOpen(copy, "/S " + options + "_?=" + folder, build);
    };
    // The vx commands a first start writes for the machine (under Wine, any user may), both.
    const std::string machineKeys[] = {kVxCommand, "software\\vx\\shell\\open\\command"};
    auto machine = [&](const std::optional<std::string>& command) {
        return regValue(HKEY_LOCAL_MACHINE, machineKeys[0], "", KEY_WOW64_64KEY) == command &&
               regValue(HKEY_LOCAL_MACHINE, machineKeys[1], "", KEY_WOW64_64KEY) == command;
    };
    std::error_code left; // what a failed earlier run may have left
    fs::remove_all(fs::path(widen(folder)), left);
    ASSERT_TRUE(DeleteFileW(widen(shortcut).c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, kVxKey, 0) &&
                deleteKeyTree(HKEY_CURRENT_USER, kUninstallKey, 0));

    ASSERT_TRUE(setup());
    EXPECT_EQ(readBytes(exe), readBytes(build + "\\quellix.exe"));
    // The link's target, as the shell link format keeps it: the local path in the code page.
    EXPECT_TRUE(holds(shortcut, exe + '\0'));
    const std::string quoted = "\"" + uninstaller + "\"", other = "\"C:\\Autre\\autre.exe\" %1";
    // clang-format off
    const std::vector<std::array<std::string, 3>> values = {
        {kVxKey, "", "URL: vx Protocol"}, {kVxKey, "URL Protocol", ""}, {kVxCommand, "", "\"" + exe + "\" %1"},
        {kUninstallKey, "DisplayName", "Quellix Vorbanix"}, {kUninstallKey, "Publisher", "Vorbanix"},
        {kUninstallKey, "DisplayVersion", QUELLIX_VERSION}, {kUninstallKey, "UninstallString", quoted},
        {kUninstallKey, "QuietUninstallString", quoted + " /S"}, {kUninstallKey, "InstallLocation", folder},
    };
    // clang-format on
    for (const auto& [key, name, expected] : values) {
        EXPECT_EQ(regValue(HKEY_CURRENT_USER, key, name, 0), expected) << key << " " << name;
    }

    const std::string config = "[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=C:\\q3.exe\r\n";
    ASSERT_TRUE(writeBytes(folder + "\\config.ini", config));
    ASSERT_TRUE(setup()); // an upgrade keeps the settings
    EXPECT_EQ(readBytes(folder + "\\config.ini"), config);

    ASSERT_TRUE(shellOpen(exe, "vx://10.0.0.1:27960/aucun/x", folder)); // a first start
    // The handler is this install's whatever the case of its path.
    std::wstring upper = widen("\"" + exe + "\" %1");
    CharUpperW(upper.data());
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, kVxCommand, "", narrow(upper), 0));
    ASSERT_TRUE(uninstall(""));
    for (const std::string& gone : {exe, uninstaller, shortcut}) {
        EXPECT_FALSE(exists(gone)) << gone;
    }
    EXPECT_FALSE(regValue(HKEY_CURRENT_USER, kVxKey, "", 0) ||
                 regValue(HKEY_CURRENT_USER, kUninstallKey, "DisplayName", 0) ||
                 !machine(std::nullopt));
    EXPECT_EQ(readBytes(folder + "\\config.ini"), config);

    // Another program took the vx links: its handlers stay. Our settings, asked to go, go.
    ASSERT_TRUE(setup());
    for (const std::string& key : machineKeys) {
        ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, key, "", other, KEY_WOW64_64KEY));
    }
    ASSERT_TRUE(setText(HKEY_CURRENT_USER, kVxCommand, "", other, 0) && uninstall("/REGLAGES "));
    EXPECT_TRUE(machine(other) && regValue(HKEY_CURRENT_USER, kVxCommand, "", 0) == other);
    EXPECT_FALSE(exists(folder));

    // Another program's config.ini stays, even asked to go.
    ASSERT_TRUE(setup());
    const std::string foreign = "[General]\r\nlangue=fr\r\n[q3]\r\nPath=C:\\q3.exe\r\n";
    ASSERT_TRUE(writeBytes(folder + "\\config.ini", foreign) && uninstall("/REGLAGES "));
    EXPECT_EQ(readBytes(folder + "\\config.ini"), foreign);
}

} // namespace quellix::wintest
