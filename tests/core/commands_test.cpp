#include "config/catalogue.h"
#include "config/window_settings.h"
#include "ui/commands.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

using test::WindowFixture;

constexpr RegHandle kLocalMachine = 0x80000002;

// A configuration as the defaults leave it on a machine with Quake 3 only, plus a comment and an
// unknown key that every command must keep.
const std::string kInitial = "; mes notes\r\n"
                             "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n"
                             "[dod]\r\nPath=\r\npresent=0\r\n"
                             "[shl]\r\nPath=\r\npresent=0\r\n"
                             "[scs]\r\nPath=\r\npresent=0\r\n"
                             "[stfc]\r\nPath=\r\npresent=0\r\n"
                             "[ja]\r\nPath= \r\npresent=0\r\n"
                             "[jo]\r\nPath= \r\npresent=0\r\n"
                             "[q3]\r\nPath=D:\\Quake III Arena\\quake3.exe\r\npresent=1\r\n"
                             "[UT2003]\r\nPath= \r\npresent=0\r\n"
                             "[mohaa]\r\nPath= \r\npresent=0\r\nmods=spearhead\r\n"
                             "[ut2k4]\r\nPath= \r\npresent=0\r\n"
                             "[ef2]\r\nPath= \r\npresent=0\r\n"
                             "[bf]\r\nPath= \r\npresent=0\r\n"
                             "[cod]\r\nPath= \r\npresent=0\r\n";

// The window as start-up leaves it over `kInitial`.
void open(WindowFixture& w, const std::string& ini = kInitial) {
    w.store(ini);
    AfficherJeuxInstalles(w.t.os, w.controls);
    AfficherChemins(w.t.os, w.controls);
    AfficherOptions(w.t.os, w.controls);
}

void expectEveryRowLocked(WindowFixture& w) {
    for (const GameEntry& game : GameCatalogue) {
        const std::string p(game.controlPrefix);
        EXPECT_EQ(w.controls.value(p + "_chk"), 0) << p;
        EXPECT_FALSE(w.controls.enabled(p + "_path")) << p;
        EXPECT_FALSE(w.controls.enabled("btn_" + p)) << p;
    }
}

TEST(Commands, ApplyStoresTheUnlockedRowsInTheirOwnSections) {
    struct Case {
        std::string prefix;
        std::string text;    // typed into the path box
        std::string section; // where it must land
        std::string path;    // "path" as read back
        std::string present; // "present" as read back
        bool tick;
    };
    const Case cases[] = {
        {"moh", "E:\\MOHAA\\MOHAA.exe", "mohaa", "E:\\MOHAA\\MOHAA.exe", "1", true},
        {"ut", "C:\\UT2003\\System\\UT2003.exe", "UT2003", "C:\\UT2003\\System\\UT2003.exe", "1",
         true},
        {"q3", "", "q3", "", "0", false},     // emptied
        {"cod", "   ", "cod", "", "1", true}, // blanks count as a path
        {"ja", "C:\\Jeux vidéo\\jamp.exe", "ja", "C:\\Jeux vidéo\\jamp.exe", "1", true},
    };
    WindowFixture w;
    open(w);
    for (const Case& c : cases) {
        w.controls.userToggles(c.prefix + "_chk");
        w.controls.setText(c.prefix + "_path", c.text);
    }

    w.controls.click("btn_appliquer");

    for (const Case& c : cases) {
        EXPECT_EQ(w.stored(c.section, "path"), c.path) << c.prefix;
        EXPECT_EQ(w.stored(c.section, "present"), c.present) << c.prefix;
        const GameEntry* game = findByControlPrefix(c.prefix);
        EXPECT_EQ(w.controls.visible(game->indicator), c.tick) << c.prefix;
        EXPECT_EQ(w.controls.text(c.prefix + "_path"), c.text) << "apply reloaded " << c.prefix;
    }
    // The rows are written into the existing sections, never into sections named by the prefix.
    EXPECT_EQ(w.bytes().find("[moh]"), std::string::npos);
    EXPECT_EQ(w.bytes().find("[ut]"), std::string::npos);
    EXPECT_NE(w.bytes().find("[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\npresent=1\r\n"),
              std::string::npos);
    EXPECT_NE(w.bytes().find("[cod]\r\nPath=   \r\npresent=1\r\n"), std::string::npos);
    EXPECT_NE(w.bytes().find("; mes notes\r\n"), std::string::npos);
    EXPECT_EQ(w.stored("mohaa", "mods"), "spearhead");
    expectEveryRowLocked(w);
    EXPECT_TRUE(w.t.dialogs.messages.empty());
}

TEST(Commands, ApplyRewritesAnUnchangedRowAndItsPresenceFollowsTheText) {
    WindowFixture w;
    std::string ini = kInitial;
    ini.replace(ini.find("quake3.exe\r\npresent=1"), 21, "quake3.exe\r\npresent=0");
    open(w, ini);
    ASSERT_FALSE(w.controls.visible("valid_q3"));
    w.controls.userToggles("q3_chk");

    w.controls.click("btn_appliquer");

    EXPECT_EQ(w.stored("q3", "path"), "D:\\Quake III Arena\\quake3.exe");
    EXPECT_EQ(w.stored("q3", "present"), "1");
    EXPECT_TRUE(w.controls.visible("valid_q3"));
}

TEST(Commands, ApplyIgnoresLockedRowsYetRefreshesTheTicks) {
    WindowFixture w;
    open(w);
    // An edit made while unlocked, then locked again by hand, is not stored.
    w.controls.userToggles("bf_chk");
    w.controls.setText("bf_path", "D:\\BF1942\\BF1942.exe");
    w.controls.userToggles("bf_chk");
    // Someone else changed the file since the window was filled.
    std::string changed = kInitial;
    changed.replace(changed.find("[ef2]\r\nPath= \r\npresent=0"), 25,
                    "[ef2]\r\nPath= \r\npresent=1");
    w.store(changed);

    w.controls.click("btn_appliquer");

    EXPECT_EQ(w.bytes(), changed) << "nothing was unlocked, nothing may be written";
    EXPECT_TRUE(w.controls.visible("valid_ef2"));
    EXPECT_FALSE(w.controls.visible("valid_bf"));
    EXPECT_EQ(w.controls.text("bf_path"), "D:\\BF1942\\BF1942.exe");
    EXPECT_TRUE(w.t.dialogs.messages.empty());
}

TEST(Commands, ApplyNeverWritesTheOptionsNorOptionsTheGames) {
    WindowFixture w;
    open(w);
    w.controls.setValue("sansvalid_chk", 0);
    w.controls.setValue("accel_chk", 1);
    w.controls.userToggles("q3_chk");
    w.controls.setText("q3_path", "C:\\q3.exe");

    w.controls.click("btn_appliquer");
    EXPECT_EQ(w.stored("general", "sansvalidation"), "1");
    EXPECT_EQ(w.stored("general", "acceleration"), "0");

    const std::string afterApply = w.bytes();
    w.controls.userToggles("dod_chk");
    w.controls.setText("dod_path", "C:\\dod.exe");
    w.controls.click("btn_options");
    EXPECT_EQ(w.stored("dod", "path"), "");
    EXPECT_EQ(w.stored("q3", "path"), "C:\\q3.exe");
    EXPECT_EQ(w.controls.value("dod_chk"), 1) << "the options command must not lock the rows";
    std::string expected = afterApply;
    expected.replace(expected.find("sansvalidation=1\r\nacceleration=0"), 32,
                     "sansvalidation=0\r\nacceleration=1");
    EXPECT_EQ(w.bytes(), expected);
}

TEST(Commands, OptionsAreStoredAsZeroOrOne) {
    struct Case {
        int sansvalid;
        int accel;
        std::string storedSansvalid;
        std::string storedAccel;
    };
    for (const Case& c :
         {Case{0, 0, "0", "0"}, Case{1, 0, "1", "0"}, Case{0, 1, "0", "1"}, Case{1, 1, "1", "1"}}) {
        for (bool fileThere : {true, false}) {
            WindowFixture w;
            if (fileThere) {
                open(w);
            }
            w.controls.setValue("sansvalid_chk", c.sansvalid);
            w.controls.setValue("accel_chk", c.accel);
            w.controls.click("btn_options");
            EXPECT_EQ(w.stored("General", "sansvalidation"), c.storedSansvalid);
            EXPECT_EQ(w.stored("General", "acceleration"), c.storedAccel);
            EXPECT_TRUE(w.t.dialogs.messages.empty());
        }
    }
}

TEST(Commands, CancelRestoresEveryPathBoxAndLocksEveryRow) {
    WindowFixture w;
    open(w);
    w.controls.setValue("sansvalid_chk", 0); // on screen only
    for (const GameEntry& game : GameCatalogue) {
        const std::string p(game.controlPrefix);
        if (p.size() % 2 == 0) {
            w.controls.userToggles(p + "_chk");
        }
        w.controls.setText(p + "_path", "non enregistré " + p);
    }
    w.controls.setVisible("valid_q3", false);

    w.controls.click("btn_annuler");

    for (const GameEntry& game : GameCatalogue) {
        EXPECT_EQ(w.controls.text(std::string(game.controlPrefix) + "_path"),
                  w.stored(game.section, "path"))
            << game.controlPrefix;
    }
    EXPECT_EQ(w.controls.text("q3_path"), "D:\\Quake III Arena\\quake3.exe");
    expectEveryRowLocked(w);
    EXPECT_EQ(w.controls.value("sansvalid_chk"), 0) << "cancel must leave the options alone";
    EXPECT_FALSE(w.controls.visible("valid_q3")) << "cancel must leave the ticks alone";
    EXPECT_EQ(w.bytes(), kInitial);
}

TEST(Commands, ResetAnsweredOkWritesTheDefaultsAndReloadsTheWindow) {
    WindowFixture w;
    std::string ini = kInitial;
    ini.replace(ini.find("sansvalidation=1\r\nacceleration=0"), 32,
                "sansvalidation=0\r\nacceleration=1");
    open(w, ini);
    // Quake 3 has moved; Call Of Duty is now installed.
    w.t.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                     {kRegSz, std::string("E:\\Quake3\\quake3.exe") + '\0'});
    w.t.registry.put(kLocalMachine, "SOFTWARE\\Activision\\Call of Duty", "InstallPath",
                     {kRegSz, std::string("D:\\CoD") + '\0'});
    w.controls.userToggles("q3_chk");
    w.controls.setText("q3_path", "non enregistré");
    w.controls.setText("bf_path", "non enregistré");
    w.t.dialogs.answers.push_back(Answer::Ok);

    w.controls.click("btn_defaut");

    ASSERT_EQ(w.t.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.t.dialogs.messages[0].text,
              "Voulez vous vraiment réinitialiser tous les paramètres ?");
    EXPECT_EQ(w.t.dialogs.messages[0].buttons, Buttons::OkCancel);
    EXPECT_EQ(w.stored("General", "sansvalidation"), "1");
    EXPECT_EQ(w.stored("General", "acceleration"), "0");
    EXPECT_EQ(w.stored("q3", "path"), "E:\\Quake3\\quake3.exe");
    EXPECT_EQ(w.stored("cod", "present"), "1");
    EXPECT_EQ(w.stored("mohaa", "mods"), "spearhead");
    EXPECT_EQ(w.controls.text("q3_path"), "E:\\Quake3\\quake3.exe");
    EXPECT_EQ(w.controls.text("cod_path"), "D:\\CoD\\CoDMP.exe");
    EXPECT_EQ(w.controls.text("bf_path"), "");
    EXPECT_EQ(w.controls.value("sansvalid_chk"), 1);
    EXPECT_EQ(w.controls.value("accel_chk"), 0);
    EXPECT_TRUE(w.controls.visible("valid_cod"));
    EXPECT_TRUE(w.controls.visible("valid_q3"));
    EXPECT_FALSE(w.controls.visible("valid_bf"));
    // The lock state stays as it was.
    EXPECT_EQ(w.controls.value("q3_chk"), 1);
    EXPECT_TRUE(w.controls.enabled("q3_path"));
    EXPECT_FALSE(w.controls.enabled("bf_path"));
}

TEST(Commands, ResetAnsweredCancelChangesNothing) {
    WindowFixture w;
    open(w);
    w.controls.userToggles("ja_chk");
    w.controls.setText("ja_path", "non enregistré");
    w.controls.setValue("accel_chk", 1);
    w.controls.setVisible("valid_q3", false);
    w.t.registry.put(kLocalMachine, "SOFTWARE\\Activision\\Call of Duty", "InstallPath",
                     {kRegSz, std::string("D:\\CoD") + '\0'});
    w.t.dialogs.answers.push_back(Answer::Cancel);

    w.controls.click("btn_defaut");

    EXPECT_EQ(w.t.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.bytes(), kInitial);
    EXPECT_EQ(w.controls.text("ja_path"), "non enregistré");
    EXPECT_EQ(w.controls.text("cod_path"), "");
    EXPECT_EQ(w.controls.value("accel_chk"), 1);
    EXPECT_EQ(w.controls.value("ja_chk"), 1);
    EXPECT_FALSE(w.controls.visible("valid_q3"));
}

TEST(Commands, AFailedSaveIsSaidOnceAfterTheCommandHasFinished) {
    struct Case {
        const char* name;
        const char* button;
        bool readOnly;       // the file is read-only
        bool folderReadOnly; // the folder refuses new files
        std::string q3;      // typed into the path box of Quake 3
        size_t questions;    // message boxes before the failure's
    };
    const std::string kTyped = "C:\\nouveau\\quake3.exe";
    // The code page of the file has no form for these characters: only that one write fails.
    const std::string kForeign = "C:\\\u30b2\u30fc\u30e0\\quake3.exe";
    const Case cases[] = {
        {"apply, read-only file", "btn_appliquer", true, false, kTyped, 0},
        {"apply, folder without write access", "btn_appliquer", false, true, kTyped, 0},
        {"apply, a path the code page cannot hold", "btn_appliquer", false, false, kForeign, 0},
        {"options, read-only file", "btn_options", true, false, kTyped, 0},
        {"reset, read-only file", "btn_defaut", true, false, kTyped, 1},
        {"reset, folder without write access", "btn_defaut", false, true, kTyped, 1},
    };
    for (const Case& c : cases) {
        WindowFixture w;
        open(w);
        w.store(kInitial, c.readOnly);
        w.t.files.failWriteNewFile = c.folderReadOnly;
        w.controls.userToggles("q3_chk");
        w.controls.setText("q3_path", c.q3);
        w.controls.userToggles("dod_chk");
        w.controls.setText("dod_path", "");
        w.controls.setValue("accel_chk", 1);
        w.t.dialogs.answers.push_back(Answer::Ok);

        w.controls.click(c.button);

        if (c.readOnly || c.folderReadOnly) {
            EXPECT_EQ(w.bytes(), kInitial) << c.name;
        } else {
            EXPECT_EQ(w.stored("q3", "path"), "D:\\Quake III Arena\\quake3.exe") << c.name;
            EXPECT_EQ(w.stored("dod", "present"), "0") << c.name;
        }
        ASSERT_EQ(w.t.dialogs.messages.size(), c.questions + 1) << c.name;
        EXPECT_EQ(w.t.dialogs.messages.back().text, "Les paramètres n'ont pas pu être enregistrés.")
            << c.name;
        EXPECT_EQ(w.t.dialogs.messages.back().buttons, Buttons::Ok) << c.name;
        if (std::string(c.button) == "btn_appliquer") {
            // The other steps ran; the edits stay on screen.
            expectEveryRowLocked(w);
            EXPECT_EQ(w.controls.text("q3_path"), c.q3);
            EXPECT_TRUE(w.controls.visible("valid_q3"));
        }
        if (std::string(c.button) == "btn_options") {
            EXPECT_EQ(w.controls.value("accel_chk"), 1);
        }
    }
}

TEST(Commands, QuitEndsWithoutSavingOrAsking) {
    WindowFixture w;
    open(w);
    w.controls.userToggles("q3_chk");
    w.controls.setText("q3_path", "non enregistré");
    w.controls.click("btn_quitter");
    EXPECT_EQ(w.endRequests, 1);
    EXPECT_EQ(w.bytes(), kInitial);
    EXPECT_TRUE(w.t.dialogs.messages.empty());
}

} // namespace
} // namespace quellix
