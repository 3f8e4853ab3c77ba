#include "config/catalogue.h"
#include "config/window_settings.h"
#include "window_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

using test::WindowFixture;

// Every game's tick and path box come from its own section: each section holds other values, so
// that a control filled from another game's section is caught. Loading writes nothing.
TEST(WindowSettings, TicksAndPathBoxesFollowTheirOwnSection) {
    struct Case {
        std::string section; // as written in the file
        std::string stored;  // the path line; none when empty
        std::string present;
        std::string prefix;
        std::string shown;
    };
    const Case cases[] = {
        {"dod", "Path=C:\\dod\\hl.exe", "0", "dod", "C:\\dod\\hl.exe"},
        {"SHL", "path=C:\\shl\\hl.exe", "1", "shl", "C:\\shl\\hl.exe"},
        {"scs", "Path= ", "0", "scs", ""},
        {"stfc", "Path=  C:\\stfc\\hl.exe  ", "1", "stfc", "C:\\stfc\\hl.exe"},
        {"ja", "Path=C:\\Jeux vid\xe9o\\jamp.exe", "0", "ja", "C:\\Jeux vidéo\\jamp.exe"},
        {"jo", "", "1", "jo", ""},
        {"q3", "Path=D:\\Quake III Arena\\quake3.exe", "0", "q3",
         "D:\\Quake III Arena\\quake3.exe"},
        {"ut2003", "Path=C:\\UT2003\\UT2003.exe", "1", "ut", "C:\\UT2003\\UT2003.exe"},
        {"MOHAA", "Path=D:\\MOHAA\\MOHAA.exe", "0", "moh", "D:\\MOHAA\\MOHAA.exe"},
        {"ut2k4", "Path=C:\\UT2004\\UT2004.exe", "1", "ut2k4", "C:\\UT2004\\UT2004.exe"},
        {"ef2", "Path=D:\\EF2\\EF2.exe", "0", "ef2", "D:\\EF2\\EF2.exe"},
        {"bf", "Path=D:\\BF1942\\BF1942.exe", "1", "bf", "D:\\BF1942\\BF1942.exe"},
        {"cod", "", "0", "cod", ""},
    };
    for (bool flipped : {false, true}) {
        WindowFixture w;
        std::string ini = "; notes\r\n";
        for (const Case& c : cases) {
            const bool present = (c.present == "1") != flipped;
            ini += "[" + c.section + "]\r\n" + (c.stored.empty() ? "" : c.stored + "\r\n") +
                   "present=" + (present ? "1" : "0") + "\r\n";
        }
        w.store(ini);
        for (const Case& c : cases) {
            w.controls.setText(c.prefix + "_path", "texte non enregistré");
        }
        AfficherJeuxInstalles(w.t.os, w.controls);
        AfficherChemins(w.t.os, w.controls);
        AfficherOptions(w.t.os, w.controls);
        for (const Case& c : cases) {
            const GameEntry* game = findByControlPrefix(c.prefix);
            ASSERT_NE(game, nullptr) << c.prefix;
            EXPECT_EQ(w.controls.visible(game->indicator), (c.present == "1") != flipped)
                << c.section;
            EXPECT_EQ(w.controls.text(c.prefix + "_path"), c.shown) << c.section;
            EXPECT_FALSE(w.controls.enabled(c.prefix + "_path")) << "loading unlocked " << c.prefix;
        }
        EXPECT_EQ(w.bytes(), ini);
        EXPECT_EQ(w.t.files.files.size(), 1u);
    }
}

TEST(WindowSettings, OnlyOneTicksAnOptionBox) {
    struct Case {
        const char* file; // nullptr: no config.ini
        int sansvalid, accel;
    };
    const Case cases[] = {
        {"[General]\r\nsansvalidation=1\r\nacceleration=0\r\n", 1, 0},
        {"[general]\r\nSansValidation=0\r\nACCELERATION=1\r\n", 0, 1},
        {"[General]\r\nsansvalidation= 1 \r\nacceleration=\r\n", 1, 0},
        {"[General]\r\nsansvalidation=2\r\nacceleration=oui\r\n", 0, 0},
        {"[General]\r\nsansvalidation=01\r\nacceleration=-1\r\n", 0, 0},
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

} // namespace
} // namespace quellix
