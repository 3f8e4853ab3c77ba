// The real quellix.exe and its setup program, run as a player runs them; the game probe stands in
// for Quake 3 (started in its own folder) and Unreal Tournament 2003 (in the launcher's).

#include "harness.h"

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <array>

namespace quellix::wintest {

// Hands `file` to the shell as Explorer or a browser does; the process it starts in `folder`.
static HANDLE shellStart(const std::string& file, const std::string& parameters,
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
    return info.hProcess;
}

// Ends `process` if it runs past `ms` milliseconds (with code 99); its exit code.
static DWORD exitCode(HANDLE process, DWORD ms) {
    WaitForSingleObject(process, ms);
    TerminateProcess(process, 99); // does nothing to one that has ended
    WaitForSingleObject(process, 5000);
    DWORD code = 99;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

// True when what the shell starts ends within 30 seconds with code 0.
static bool shellOpen(const std::string& file, const std::string& parameters,
                      const std::string& folder) {
    return exitCode(shellStart(file, parameters, folder), 30000) == 0;
}

// Hands `link` to the shell (none: starts `exe`), answers each message box of what it starts with
// `answer` and closes its window once shown; what it showed, then how it ended.
static std::string runAnswering(const std::string& exe, const std::string& link, int answer) {
    const HANDLE process =
        shellStart(link.empty() ? exe : link, "", exe.substr(0, exe.rfind('\\')));
    std::string shown;
    wchar_t text[256] = {};
    for (int tries = 0; tries < 300 && WaitForSingleObject(process, 50); ++tries) {
        if (HWND box = FindWindowW(L"#32770", L"quellix"); IsWindowVisible(box)) {
            GetDlgItemTextW(box, 0xFFFF, text, 256); // a message box's text
            shown += narrow(text) + "|";
            PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(answer), 0);
        } else if (HWND form = FindWindowW(L"Form1", nullptr); IsWindowVisible(form)) {
            shown += "window|";
            PostMessageW(form, WM_CLOSE, 0, 0);
        }
        Sleep(100); // an answered box or a closed window is gone before the next look
    }
    return shown + "exit " + std::to_string(exitCode(process, 0));
}

// The first start registers vx links where the shell reads them (the 64-bit view) and writes
// config.ini from the installers' values (the 32-bit view); later links come through the shell,
// and each message a link shows is answered.
TEST(EndToEnd, TheFirstStartRegistersAndFindsTheGamesThenEachLinkStartsItsGame) {
    auto unregister = [] { // in the shell's view, every root the launcher writes
        return deleteKeyTree(HKEY_CLASSES_ROOT, "vx", KEY_WOW64_64KEY) &&
               deleteKeyTree(HKEY_LOCAL_MACHINE, "software\\vx", KEY_WOW64_64KEY) &&
               deleteKeyTree(HKEY_CURRENT_USER, "Software\\Classes\\vx", KEY_WOW64_64KEY);
    };
    ASSERT_TRUE(unregister());
    const std::string root = scratchFolder("end to end"), games = root + "\\Jeux vidéo\\",
                      q3 = games + "Quake III Arena",
                      quellix = root + "\\Quellix Łódź\\"; // beyond the code page
    const std::string quake = q3 + "\\quake3.exe", unreal = games + "UT2003\\System\\UT2003.exe";
    const std::string probe = buildFolder() + "\\game_probe.exe",
                      us = buildFolder() + "\\quellix.exe";
    ASSERT_TRUE(copyFile(probe, quake) && copyFile(probe, unreal) &&
                copyFile(us, quellix + "Quellix 2.exe") && copyFile(us, quellix + "quellix.exe"));
    // Where 32-bit installers' values land on a 64-bit system, written as a 64-bit tool sees them.
    const std::string installers = "SOFTWARE\\Wow6432Node\\";
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE, installers + "Id\\Quake III Arena", "INSTALLEXEPATH",
                        quake, KEY_WOW64_64KEY, false)); // stored without its terminator
    ASSERT_TRUE(setText(HKEY_LOCAL_MACHINE,
                        installers + "Unreal Technology\\Installed Apps\\UT2003", "Folder",
                        games + "UT2003", KEY_WOW64_64KEY));
    // Today's Steam: Half-Life in its own folder, Call of Duty in a second library.
    const std::string steam = root + "\\Steam", library = root + "\\Bibliothèque",
                      apps = "\\steamapps\\", hl = steam + apps + "common\\Half-Life\\hl.exe";
    std::string list = "libraryfolders{0{path \"" + steam + "\"}1{path \"" + library + "\"}}";
    std::ranges::replace(list, '\\', '/');
    ASSERT_TRUE(
        setText(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "SteamPath", steam) &&
        writeBytes(steam + apps + "libraryfolders.vdf", list) &&
        writeBytes(steam + apps + "appmanifest_70.acf", "AppState { installdir Half-Life }") &&
        writeBytes(hl, "") &&
        writeBytes(library + apps + "appmanifest_2620.acf", "AppState{installdir \"Co D\"}") &&
        writeBytes(library + apps + "common\\Co D\\CoDMP.exe", ""));
    // The first link is handed to a copy under another name; the next one goes through the shell,
    // called by a program of the other kind (32 or 64 bits); the messages' by this test's own.
#ifdef _WIN64
    const std::string otherKind = "C:\\windows\\syswow64\\rundll32.exe";
#else
    const std::string otherKind = "C:\\windows\\sysnative\\rundll32.exe";
#endif
    for (const auto& [file, link, exe, arguments, folder] :
         {std::tuple{quellix + "Quellix 2.exe", std::string("q3/secret"), quake,
                     std::string("  +connect 10.0.0.1:27960 +password secret"), q3},
          {otherKind, "ut2003/secret", unreal, "  10.0.0.1:27960?password=secret", root}}) {
        const std::string log = exe.substr(0, exe.rfind('.')) + ".log",
                          url = "vx://10.0.0.1:27960/" + link;
        DeleteFileW(widen(log).c_str());
        EXPECT_TRUE(
            shellOpen(file, (file == otherKind ? "url.dll,FileProtocolHandler " : "") + url, root))
            << url;
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
    EXPECT_TRUE(holds(quellix + "config.ini", "[shl]\r\nPath=" + hl + "\r\npresent=1\r\n") &&
                holds(quellix + "config.ini", "[cod]\r\nPath=" + root + "\\Biblioth\xE8que" + apps +
                                                  "common\\Co D\\CoDMP.exe\r\npresent=1"));
    // Every message a link can show, the question answered either way, and the window: each shown
    // and answered, the program then ending normally.
    ASSERT_TRUE(
        writeBytes(quellix + "config.ini", "[General]\r\nsansvalidation=0\r\n[q3]\r\nPath=" + ansi +
                                               "\r\n[ef2]\r\nPath=C:\\EF2.exe\r\n"));
    const std::string log = q3 + "\\quake3.log", link = "vx://10.0.0.1:27960/";
    for (const auto& [arguments, answer, shown, started] : {
             std::tuple{std::string(), IDOK, std::string("window"), false},
             {link + "q3/secret", IDCANCEL, "Voulez vous lancer q3 ?", false},
             {link + "q3/secret", IDOK, "Voulez vous lancer q3 ?", true},
             {link + "ut2k4/x", IDOK, "ut2k4 n'est pas installé sur cette machine", false},
             {link + "ef2/x", IDOK, "Le Quellix Vorbanix n'a pas trouvé l'exécutable", false},
             {link + "q3/a+b", IDOK, "Ce lien de lancement n'est pas valide.", false},
         }) {
        DeleteFileW(widen(log).c_str());
        EXPECT_EQ(runAnswering(quellix + "quellix.exe", arguments, answer), shown + "|exit 0")
            << arguments;
        for (int tries = 0; started && tries < 100 && !holds(log, "\n"); ++tries) {
            Sleep(50);
        }
        EXPECT_EQ(holds(log, "+connect 10.0.0.1:27960 +password secret"), started) << arguments;
    }
    EXPECT_TRUE(
        unregister() && deleteKeyTree(HKEY_CURRENT_USER, "Software\\Valve") &&
        deleteKeyTree(HKEY_LOCAL_MACHINE, installers + "Id", KEY_WOW64_64KEY) &&
        deleteKeyTree(HKEY_LOCAL_MACHINE, installers + "Unreal Technology", KEY_WOW64_64KEY));
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
