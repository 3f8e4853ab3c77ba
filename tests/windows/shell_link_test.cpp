// A link followed as a browser follows it: handed to the shell, which finds the launcher through
// the registration of its last start.

#include "harness.h"

#include "windows/wide.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

TEST(ShellLink, TheShellFindsTheLauncherAndTheGameStartsMinimizedInItsFolder) {
    const std::string root = scratchFolder("shell link");
    const std::string folder = root + "\\Quellix Vorbanix";
    const std::string game = root + "\\Jeux\\Quake III Arena\\quake3.exe";
    ASSERT_TRUE(makeFolders(folder) && makeFolders(root + "\\Jeux\\Quake III Arena"));
    ASSERT_TRUE(copyFileTo(quellixExe(), folder + "\\quellix.exe") && copyFileTo(probeExe(), game));
    ASSERT_TRUE(writeBytes(folder + "\\config.ini",
                           "[General]\r\nsansvalidation=1\r\n[q3]\r\nPath=" + game + "\r\n"));
    // One start registers the launcher (a link to no known game ends it silently).
    ASSERT_TRUE(runProgram(folder + "\\quellix.exe", "vx://10.0.0.1:27960/inconnu/x").finished);

    const std::vector<std::pair<std::string, std::string>> cases{
        {"vx://10.0.0.1:27960/q3/pw", " +connect 10.0.0.1:27960 +password pw"},
        {"vx://jeux.vorbanix.fr:27961/q3/a_b.c!d~e*f'g(h)i@j%k-",
         " +connect jeux.vorbanix.fr:27961 +password a_b.c!d~e*f'g(h)i@j%k-"}};
    for (const auto& [link, arguments] : cases) {
        DeleteFileW(win::widen(root + "\\Jeux\\Quake III Arena\\quake3.log").c_str());
        const std::wstring wideLink = win::widen(link);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
        info.lpVerb = L"open";
        info.lpFile = wideLink.c_str();
        info.nShow = SW_SHOWNORMAL;
        ASSERT_TRUE(ShellExecuteExW(&info)) << link << " error " << GetLastError();
        const auto record = probeRecord(game);
        ASSERT_TRUE(record.has_value()) << link;
        EXPECT_EQ(*record, (std::vector<std::string>{"\"" + game + "\" " + arguments,
                                                     root + "\\Jeux\\Quake III Arena", "2"}));
    }
}

} // namespace
} // namespace quellix::wintest
