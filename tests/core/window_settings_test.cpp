#include "config/catalogue.h"
#include "config/window_settings.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

using test::WindowFixture;

TEST(WindowSettings, TicksFollowThePresentFlagOfEveryGame) {
    struct Case {
        std::string section; // as written in the file
        std::string present; // "<none>": no present key
        std::string indicator;
        bool shown;
    };
    const Case cases[] = {
        {"dod", "0", "valid_dod", false},     {"shl", "1", "valid_shl", true},
        {"scs", "<none>", "valid_scs", true}, {"stfc", "00", "valid_stfc", true},
        {"ja", "0   ", "valid_ja", false},    {"jo", "", "valid_jo", true},
        {"q3", "0", "valid_q3", false},       {"ut2003", "0", "valid_ut2003", false},
        {"MOHAA", "0", "valid_mohaa", false}, {"ut2k4", "oui", "valid_ut2k4", true},
        {"ef2", "0", "valid_ef2", false},     {"bf", "1", "valid_bf", true},
        {"cod", "0", "valid_cod", false},
    };
    WindowFixture w;
    std::string ini;
    for (const Case& c : cases) {
        ini += "[" + c.section + "]\r\nPath=C:\\x.exe\r\n";
        if (c.present != "<none>") {
            ini += "present=" + c.present + "\r\n";
        }
    }
    w.store(ini);
    // Start from the opposite of what is expected, so that every game must be set.
    for (const Case& c : cases) {
        w.controls.setVisible(c.indicator, !c.shown);
    }
    AfficherJeuxInstalles(w.t.os, w.controls);
    for (const Case& c : cases) {
        EXPECT_EQ(w.controls.visible(c.indicator), c.shown) << c.section << " " << c.present;
    }
}

TEST(WindowSettings, EveryTickShowsWhenTheFileIsMissingOrSaysNothing) {
    for (bool fileThere : {false, true}) {
        WindowFixture w;
        if (fileThere) {
            w.store("[General]\r\nsansvalidation=1\r\n");
        }
        AfficherJeuxInstalles(w.t.os, w.controls);
        for (const GameEntry& game : GameCatalogue) {
            EXPECT_TRUE(w.controls.visible(game.indicator)) << game.indicator;
        }
    }
}

TEST(WindowSettings, PathBoxesShowTheStoredPathOfTheirOwnSection) {
    struct Case {
        std::string box;
        std::string expected;
    };
    // Every path is different so that a box filled from another game's section is caught.
    WindowFixture w;
    w.store("[dod]\r\nPath=C:\\dod\\hl.exe\r\n"
            "[SHL]\r\npath=C:\\shl\\hl.exe\r\n"
            "[scs]\r\nPath= \r\n"
            "[stfc]\r\nPath=  C:\\stfc\\hl.exe  \r\n"
            "[ja]\r\nPath=C:\\Jeux vid\xe9o\\jamp.exe\r\n"
            "[q3]\r\nPath=D:\\Quake III Arena\\quake3.exe\r\n"
            "[UT2003]\r\nPath=C:\\UT2003\\System\\UT2003.exe\r\n"
            "[mohaa]\r\nPath=D:\\MOHAA\\MOHAA.exe\r\n"
            "[ut2k4]\r\nPath=C:\\UT2004\\System\\UT2004.exe\r\n"
            "[ef2]\r\nPath=D:\\EF2\\EF2.exe\r\n"
            "[bf]\r\nPath=D:\\BF1942\\BF1942.exe\r\n"
            "[cod]\r\npresent=1\r\n");
    const Case cases[] = {
        {"dod_path", "C:\\dod\\hl.exe"},
        {"shl_path", "C:\\shl\\hl.exe"},
        {"scs_path", ""},
        {"stfc_path", "C:\\stfc\\hl.exe"},
        {"ja_path", "C:\\Jeux vidéo\\jamp.exe"},
        {"jo_path", ""},
        {"q3_path", "D:\\Quake III Arena\\quake3.exe"},
        {"ut_path", "C:\\UT2003\\System\\UT2003.exe"},
        {"moh_path", "D:\\MOHAA\\MOHAA.exe"},
        {"ut2k4_path", "C:\\UT2004\\System\\UT2004.exe"},
        {"ef2_path", "D:\\EF2\\EF2.exe"},
        {"bf_path", "D:\\BF1942\\BF1942.exe"},
        {"cod_path", ""},
    };
    for (const Case& c : cases) {
        w.controls.setText(c.box, "texte non enregistré");
    }
    AfficherChemins(w.t.os, w.controls);
    for (const Case& c : cases) {
        EXPECT_EQ(w.controls.text(c.box), c.expected) << c.box;
        EXPECT_FALSE(w.controls.enabled(c.box)) << "loading must not unlock " << c.box;
    }
}

TEST(WindowSettings, OnlyOneTicksAnOptionBox) {
    struct Case {
        const char* file; // nullptr: no config.ini
        int sansvalid;
        int accel;
    };
    const Case cases[] = {
        {"[General]\r\nsansvalidation=1\r\nacceleration=0\r\n", 1, 0},
        {"[general]\r\nSansValidation=0\r\nACCELERATION=1\r\n", 0, 1},
        {"[General]\r\nsansvalidation= 1 \r\nacceleration=\r\n", 1, 0},
        {"[General]\r\nsansvalidation=2\r\nacceleration=oui\r\n", 0, 0},
        {"[General]\r\nsansvalidation=01\r\nacceleration=-1\r\n", 0, 0},
        {"[General]\r\n", 0, 0},
        {nullptr, 0, 0},
    };
    for (const Case& c : cases) {
        for (int before : {0, 1}) {
            WindowFixture w;
            if (c.file != nullptr) {
                w.store(c.file);
            }
            w.controls.setValue("sansvalid_chk", before);
            w.controls.setValue("accel_chk", before);
            AfficherOptions(w.t.os, w.controls);
            const std::string what = c.file == nullptr ? "no file" : c.file;
            EXPECT_EQ(w.controls.value("sansvalid_chk"), c.sansvalid) << what;
            EXPECT_EQ(w.controls.value("accel_chk"), c.accel) << what;
        }
    }
}

TEST(WindowSettings, LoadingNeverWritesTheFile) {
    WindowFixture w;
    const std::string ini = "; notes\r\n[q3]\r\nPath=D:\\q3.exe\r\npresent=1\r\n";
    w.store(ini);
    AfficherJeuxInstalles(w.t.os, w.controls);
    AfficherChemins(w.t.os, w.controls);
    AfficherOptions(w.t.os, w.controls);
    EXPECT_EQ(w.bytes(), ini);
    EXPECT_EQ(w.t.files.files.size(), 1u);
}

} // namespace
} // namespace quellix
