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

// The defaults on a machine with Quake 3 only, plus a comment and an unknown key to keep.
const std::string kInitial =
    "; mes notes\r\n[General]\r\nsansvalidation=1\r\nacceleration=0\r\n"
    "[dod]\r\nPath=\r\npresent=0\r\n[shl]\r\nPath=\r\npresent=0\r\n[scs]\r\nPath=\r\npresent=0\r\n"
    "[stfc]\r\nPath=\r\npresent=0\r\n[ja]\r\nPath= \r\npresent=0\r\n[jo]\r\nPath= \r\npresent=0\r\n"
    "[q3]\r\nPath=D:\\Quake III Arena\\quake3.exe\r\npresent=1\r\n"
    "[UT2003]\r\nPath= \r\npresent=0\r\n[mohaa]\r\nPath= \r\npresent=0\r\nmods=spearhead\r\n"
    "[ut2k4]\r\nPath= \r\npresent=0\r\n[ef2]\r\nPath= \r\npresent=0\r\n"
    "[bf]\r\nPath= \r\npresent=0\r\n[cod]\r\nPath= \r\npresent=0\r\n";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

// The window as start-up leaves it over `ini`.
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
        EXPECT_FALSE(w.controls.enabled(p + "_path") || w.controls.enabled("btn_" + p)) << p;
    }
}

TEST(Commands, ApplyStoresOnlyTheUnlockedRowsInTheirOwnSections) {
    struct Case {
        std::string prefix, text, section, path, present;
        bool locked; // ticked, edited, then locked again by hand
    };
    const std::string kQ3 = "D:\\Quake III Arena\\quake3.exe";
    const Case cases[] = {
        {"moh", "E:\\MOHAA\\MOHAA.exe", "mohaa", "E:\\MOHAA\\MOHAA.exe", "1", false},
        {"ut", "C:\\UT\\UT2003.exe", "UT2003", "C:\\UT\\UT2003.exe", "1", false},
        {"dod", "", "dod", "", "0", false},    // emptied
        {"q3", kQ3, "q3", kQ3, "1", false},    // unchanged, yet rewritten from its text
        {"cod", "   ", "cod", "", "1", false}, // blanks count as a path
        {"bf", "D:\\BF1942\\BF1942.exe", "bf", "", "0", true},
    };
    WindowFixture w;
    const std::string ini =
        replaced(replaced(kInitial, "present=1", "present=0"), "[dod]\r\nPath=\r\npresent=0",
                 "[dod]\r\nPath=C:\\dod.exe\r\npresent=1");
    open(w, ini);
    // Someone else marks ef2 present after the window was filled.
    w.store(replaced(ini, "[ef2]\r\nPath= \r\npresent=0", "[ef2]\r\nPath= \r\npresent=1"));
    w.controls.setValue("accel_chk", 1);
    for (const Case& c : cases) {
        w.controls.userToggles(c.prefix + "_chk");
        w.controls.setText(c.prefix + "_path", c.text);
        if (c.locked) {
            w.controls.userToggles(c.prefix + "_chk");
        }
    }

    w.controls.click("btn_appliquer");

    for (const Case& c : cases) {
        EXPECT_EQ(w.stored(c.section, "path"), c.path) << c.prefix;
        EXPECT_EQ(w.stored(c.section, "present"), c.present) << c.prefix;
        EXPECT_EQ(w.controls.visible(findByControlPrefix(c.prefix)->indicator), c.present == "1")
            << c.prefix;
        EXPECT_EQ(w.controls.text(c.prefix + "_path"), c.text) << "apply reloaded " << c.prefix;
    }
    EXPECT_TRUE(w.controls.visible("valid_ef2"));
    EXPECT_EQ(w.bytes().find("[moh]"), std::string::npos);
    EXPECT_NE(w.bytes().find("[UT2003]\r\nPath=C:\\UT\\UT2003.exe\r\npresent=1\r\n"),
              std::string::npos);
    EXPECT_NE(w.bytes().find("[cod]\r\nPath=   \r\npresent=1\r\n"), std::string::npos);
    EXPECT_NE(w.bytes().find("; mes notes\r\n"), std::string::npos);
    EXPECT_EQ(w.stored("mohaa", "mods"), "spearhead");
    EXPECT_EQ(w.stored("general", "acceleration"), "0") << "apply must not store the options";
    expectEveryRowLocked(w);
    EXPECT_TRUE(w.t.dialogs.messages.empty());
}

TEST(Commands, OptionsStoreZeroOrOneAndNothingElse) {
    struct Case {
        int sansvalid, accel;
        bool fileThere;
    };
    for (const Case& c :
         {Case{0, 1, true}, Case{1, 0, true}, Case{1, 1, false}, Case{0, 0, false}}) {
        WindowFixture w;
        if (c.fileThere) {
            open(w);
        }
        w.controls.userToggles("dod_chk");
        w.controls.setText("dod_path", "C:\\dod.exe");
        w.controls.setValue("sansvalid_chk", c.sansvalid);
        w.controls.setValue("accel_chk", c.accel);
        const std::string before = c.fileThere ? w.bytes() : "";

        w.controls.click("btn_options");

        const std::string expected = "sansvalidation=" + std::to_string(c.sansvalid) +
                                     "\r\nacceleration=" + std::to_string(c.accel);
        EXPECT_NE(w.bytes().find(expected), std::string::npos) << w.bytes();
        EXPECT_EQ(w.controls.value("dod_chk"), 1) << "options must not lock the rows";
        EXPECT_TRUE(w.t.dialogs.messages.empty());
        if (c.fileThere) {
            EXPECT_EQ(w.bytes(), replaced(before, "sansvalidation=1\r\nacceleration=0", expected));
        }
    }
}

TEST(Commands, CancelRestoresEveryPathBoxAndLocksEveryRowOnly) {
    WindowFixture w;
    open(w);
    w.controls.setValue("sansvalid_chk", 0);
    w.controls.setVisible("valid_q3", false);
    for (const GameEntry& game : GameCatalogue) {
        const std::string p(game.controlPrefix);
        if (p.size() % 2 == 0) {
            w.controls.userToggles(p + "_chk");
        }
        w.controls.setText(p + "_path", "non enregistré " + p);
    }

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

TEST(Commands, ResetAsksAndOnlyOkWritesTheDefaultsAndReloadsTheWindow) {
    for (Answer answer : {Answer::Cancel, Answer::Ok}) {
        const bool ok = answer == Answer::Ok;
        WindowFixture w;
        const std::string ini = replaced(kInitial, "acceleration=0", "acceleration=1");
        open(w, ini);
        // Quake 3 has moved.
        w.t.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                         {kRegSz, std::string("E:\\q3.exe") + '\0'});
        w.controls.userToggles("q3_chk");
        w.controls.setText("q3_path", "non enregistré");
        w.controls.setVisible("valid_q3", false);
        w.t.dialogs.answers.push_back(answer);

        w.controls.click("btn_defaut");

        ASSERT_EQ(w.t.dialogs.messages.size(), 1u);
        EXPECT_EQ(w.t.dialogs.messages[0].text, kResetQuestion);
        EXPECT_EQ(w.t.dialogs.messages[0].buttons, Buttons::OkCancel);
        EXPECT_EQ(w.bytes() == ini, !ok);
        EXPECT_EQ(w.controls.text("q3_path"), ok ? "E:\\q3.exe" : "non enregistré");
        EXPECT_EQ(w.controls.value("accel_chk"), ok ? 0 : 1);
        EXPECT_EQ(w.controls.visible("valid_q3"), ok);
        EXPECT_TRUE(w.controls.value("q3_chk") == 1 && w.controls.enabled("q3_path"))
            << "the lock state stays as it was";
    }
}

TEST(Commands, AFailedSaveIsSaidOnceAfterTheCommandHasFinished) {
    struct Case {
        const char* name;
        std::string button;
        bool readOnly;       // the file is read-only
        bool folderReadOnly; // the folder refuses new files
        std::string q3;      // typed into the path box of Quake 3
        size_t questions;    // message boxes before the failure's
    };
    const std::string kTyped = "C:\\nouveau\\quake3.exe";
    const Case cases[] = {
        {"apply, read-only file", "btn_appliquer", true, false, kTyped, 0},
        {"apply, folder without write access", "btn_appliquer", false, true, kTyped, 0},
        {"options, read-only file", "btn_options", true, false, kTyped, 0},
        {"reset, read-only file", "btn_defaut", true, false, kTyped, 1},
        {"reset, folder without write access", "btn_defaut", false, true, kTyped, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowFixture w;
        open(w);
        w.store(kInitial, c.readOnly);
        w.t.files.failWriteNewFile = c.folderReadOnly;
        w.controls.userToggles("q3_chk");
        w.controls.setText("q3_path", c.q3);
        w.controls.setValue("accel_chk", 1);
        w.t.dialogs.answers.push_back(Answer::Ok);

        w.controls.click(c.button);

        EXPECT_EQ(w.bytes(), kInitial);
        ASSERT_EQ(w.t.dialogs.messages.size(), c.questions + 1);
        EXPECT_EQ(w.t.dialogs.messages.back().text,
                  "Les paramètres n'ont pas pu être enregistrés.");
        EXPECT_EQ(w.t.dialogs.messages.back().buttons, Buttons::Ok);
        EXPECT_EQ(w.controls.value("accel_chk"), c.button == "btn_defaut" ? 0 : 1);
        if (c.button == "btn_appliquer") {
            // The other steps ran; the edits stay on screen.
            expectEveryRowLocked(w);
            EXPECT_EQ(w.controls.text("q3_path"), c.q3);
            EXPECT_TRUE(w.controls.visible("valid_q3"));
        }
    }
}

// Stored mangled, the path would start nothing: it is refused before any write, rows left open.
TEST(Commands, ApplyRefusesAPathTheFileCannotHold) {
    WindowFixture w;
    open(w);
    w.controls.userToggles("moh_chk");
    w.controls.setText("moh_path", "E:\\MOHAA\\MOHAA.exe");
    w.controls.userToggles("q3_chk");
    w.controls.setText("q3_path", "C:\\\u30b2\u30fc\u30e0\\quake3.exe");

    w.controls.click("btn_appliquer");

    EXPECT_EQ(w.bytes(), kInitial);
    ASSERT_EQ(w.t.dialogs.messages.size(), 1u);
    EXPECT_EQ(w.t.dialogs.messages[0].text,
              "Ce chemin contient des caractères que config.ini ne peut pas enregistrer ; rien "
              "n'a été enregistré :\nC:\\\u30b2\u30fc\u30e0\\quake3.exe");
    EXPECT_EQ(w.controls.value("q3_chk"), 1);
    EXPECT_TRUE(w.controls.enabled("q3_path"));
}

} // namespace
} // namespace quellix
