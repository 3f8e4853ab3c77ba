// The first and later starts of the real quellix.exe: the vx registration and config.ini.

#include "harness.h"
#include "registry_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quellix::wintest {
namespace {

// A link whose game no row of the catalogue knows: the start ends silently after registering the
// protocol and making sure config.ini exists.
const std::string kUnknownGameLink = "vx://10.0.0.1:27960/inconnu/secret";
const std::string kQuake = "D:\\Jeux\\Quake III Arena\\quake3.exe";

struct Registration {
    HKEY root;
    std::string protocolKey;
};

const std::vector<Registration>& everyRoot() {
    static const std::vector<Registration> roots{
        {HKEY_CLASSES_ROOT, "vx"},
        {HKEY_LOCAL_MACHINE, "software\\vx"},
        {HKEY_CURRENT_USER, "Software\\Classes\\vx"},
    };
    return roots;
}

void removeRegistration() {
    for (const Registration& r : everyRoot()) {
        ASSERT_TRUE(deleteKeyTree(r.root, r.protocolKey)) << r.protocolKey;
    }
}

void expectRegisteredFor(const std::string& folder) {
    for (const Registration& r : everyRoot()) {
        EXPECT_EQ(textValue(r.root, r.protocolKey, ""), std::string("URL: vx Protocol"))
            << r.protocolKey;
        EXPECT_EQ(textValue(r.root, r.protocolKey, "URL Protocol"), std::string()) << r.protocolKey;
        EXPECT_EQ(textValue(r.root, r.protocolKey + "\\shell\\open\\command", ""),
                  "\"" + folder + "\\quellix.exe\" %1")
            << r.protocolKey;
    }
}

// A machine with Quake 3 and Steam with Counter-Strike, nothing else.
class StartupEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        root = scratchFolder("startup");
        steam = root + "\\Steam\\SteamApps\\joueur";
        ASSERT_TRUE(makeFolders(steam + "\\half-life"));
        ASSERT_TRUE(makeFolders(steam + "\\counter-strike"));
        ASSERT_TRUE(fixture.setText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Id\\Quake III Arena",
                                    "INSTALLEXEPATH", kQuake));
        ASSERT_TRUE(fixture.setText(HKEY_CURRENT_USER, "Software\\Valve\\Steam", "ModInstallPath",
                                    steam + "\\half-life"));
        removeRegistration();
    }
    void TearDown() override { removeRegistration(); }

    // A launcher folder of its own, with the program under the given file name.
    std::string install(const std::string& folderName,
                        const std::string& fileName = "quellix.exe") {
        const std::string folder = root + "\\" + folderName;
        EXPECT_TRUE(makeFolders(folder));
        EXPECT_TRUE(copyFileTo(quellixExe(), folder + "\\" + fileName));
        return folder;
    }
    void startSilently(const std::string& exe) {
        RunResult run = runProgram(exe, kUnknownGameLink, root);
        EXPECT_TRUE(run.finished) << exe;
        EXPECT_EQ(run.exitCode, 0u) << exe;
        EXPECT_TRUE(run.messages.empty()) << exe << ": " << run.messages.front().text;
    }

    RegistryFixture fixture;
    std::string root;
    std::string steam;
};

std::string crlfLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

TEST_F(StartupEndToEnd, FirstStartRegistersAndWritesTheDefaults) {
    const std::string folder = install("Premier");
    startSilently(folder + "\\quellix.exe");

    // clang-format off
    const std::string expected = crlfLines({
        "[General]", "sansvalidation=1", "acceleration=0",
        "[dod]", "Path=", "present=0",
        "[shl]", "Path=" + steam + "\\half-life\\hl.exe", "present=1",
        "[scs]", "Path=" + steam + "\\half-life\\..\\counter-strike\\hl.exe", "present=1",
        "[stfc]", "Path=", "present=0",
        "[ja]", "Path= ", "present=0",
        "[jo]", "Path= ", "present=0",
        "[q3]", "Path=" + kQuake, "present=1",
        "[UT2003]", "Path= ", "present=0",
        "[mohaa]", "Path= ", "present=0",
        "[ut2k4]", "Path= ", "present=0",
        "[ef2]", "Path= ", "present=0",
        "[bf]", "Path= ", "present=0",
        "[cod]", "Path= ", "present=0",
    });
    // clang-format on
    EXPECT_EQ(readBytes(folder + "\\config.ini"), expected);
    expectRegisteredFor(folder);
}

TEST_F(StartupEndToEnd, AProgramFileOfAnotherNameRegistersQuellixExe) {
    const std::string folder = install("Renomme", "Quellix Vorbanix 2.exe");
    startSilently(folder + "\\Quellix Vorbanix 2.exe");
    expectRegisteredFor(folder);
    EXPECT_TRUE(readBytes(folder + "\\config.ini"));
}

TEST_F(StartupEndToEnd, LaterStartsRewriteTheRegistrationAndLeaveConfigAlone) {
    struct Case {
        const char* what;
        std::string config;
    };
    const std::vector<Case> cases{
        {"edited", "[general]\nsansvalidation=0\n; à moi\n[q3]\npath=E:\\Q3\\quake3.exe\n"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        const std::string first = install(std::string("Avant-") + c.what);
        startSilently(first + "\\quellix.exe");
        expectRegisteredFor(first);

        // Moved to another folder, with a config.ini of the user's.
        const std::string second = install(std::string("Apres-") + c.what);
        ASSERT_TRUE(writeBytes(second + "\\config.ini", c.config));
        ASSERT_TRUE(deleteKeyTree(HKEY_CLASSES_ROOT, "vx"));
        startSilently(second + "\\quellix.exe");
        expectRegisteredFor(second);
        EXPECT_EQ(readBytes(second + "\\config.ini"), c.config) << c.what;
    }
}

} // namespace
} // namespace quellix::wintest
