// The window's handlers over in-memory controls: what each game row shows and saves, what each
// command button does, and the settings copied into the window.

#include "config/catalogue.h"
#include "config/settings.h"
#include "config/window_settings.h"
#include "test_system.h"
#include "ui/banner_download.h"
#include "ui/bindings.h"
#include "ui/commands.h"
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quellix {
namespace {

// The controls as the layout table creates them; a name the window does not have throws.
class MemoryControls : public Controls {
public:
    MemoryControls() {
        for (const layout::ControlRow& row : layout::rows()) {
            states_[std::string(row.name)] = {std::string(row.name), std::string(row.caption),
                                              row.enabled, row.visible};
        }
    }
    std::string text(std::string_view name) const override { return at(name).text; }
    void setText(std::string_view name, const std::string& text) override { at(name).text = text; }
    bool enabled(std::string_view name) const override { return at(name).enabled; }
    void setEnabled(std::string_view name, bool on) override { at(name).enabled = on; }
    bool visible(std::string_view name) const override { return at(name).visible; }
    void setVisible(std::string_view name, bool on) override { at(name).visible = on; }
    int value(std::string_view name) const override { return at(name).value; }
    // A user's click on a button of the window: one the layout does not have throws.
    void press(std::string_view name) { click(at(name).name); }

protected:
    void storeValue(std::string_view name, int value) override { at(name).value = value; }

private:
    struct State {
        std::string name, text;
        bool enabled = true, visible = true;
        int value = 0;
    };
    State& at(std::string_view name) const {
        auto it = states_.find(name);
        return it != states_.end() ? it->second : throw std::out_of_range(std::string(name));
    }
    mutable std::map<std::string, State, std::less<>> states_;
};

// The window as start-up leaves it over a config.ini holding `ini` (none when empty).
struct Window {
    test::TestSystem t;
    MemoryControls c;
    int quits = 0;
    explicit Window(const std::string& ini) {
        if (!ini.empty()) {
            t.files.files[t.config].bytes = ini;
        }
        bindHandlers(t.os, c, [this] { ++quits; });
        AfficherJeuxInstalles(t.os, c);
        AfficherChemins(t.os, c);
        AfficherOptions(t.os, c);
    }
    std::string& bytes() { return t.files.files[t.config].bytes; }
    // A game row's box, path box and browse button: "111" ticked and unlocked, "000" locked.
    std::string row(std::string_view prefix) {
        const std::string p(prefix);
        return std::to_string(c.value(p + "_chk")) + std::to_string(c.enabled(p + "_path")) +
               std::to_string(c.enabled("btn_" + p));
    }
};

const std::string kBrowse =
    "Chercher un executable|Fichiers Exe (*.exe)|*.exe|Tous les fichiers |*.*";

TEST(WindowRows, EachRowShowsUnlocksBrowsesAndSavesItsOwnGame) {
    for (const GameEntry& r : GameCatalogue) {
        const std::string p(r.controlPrefix);
        SCOPED_TRACE(p);
        std::string ini = "; notes\r\n";
        for (const GameEntry& o : GameCatalogue) {
            ini += "[" + std::string(o.section) +
                   "]\r\nPath=" + (&o == &r ? " C:\\avant.exe " : "") +
                   "\r\npresent=" + (&o == &r ? "1" : "0") + "\r\n";
        }
        Window w(ini);
        for (const GameEntry& o : GameCatalogue) {
            const std::string q(o.controlPrefix);
            EXPECT_EQ(w.c.visible(o.indicator), &o == &r) << q;
            EXPECT_TRUE(w.c.visible(q + "_chk")) << q;
            EXPECT_EQ(w.c.text(q + "_path"), &o == &r ? "C:\\avant.exe" : "") << q;
            EXPECT_EQ(w.row(q), "000") << q;
        }
        w.c.setValue(p + "_chk", 1);
        for (const GameEntry& o : GameCatalogue) {
            EXPECT_EQ(w.row(o.controlPrefix), &o == &r ? "111" : "000") << o.controlPrefix;
        }
        w.c.setValue(p + "_chk", 2); // greyed counts as clear
        EXPECT_EQ(w.row(p), "200");
        w.c.setValue(p + "_chk", 1);
        w.c.press("btn_" + p); // nothing chosen: the row stays as it was
        w.t.dialogs.files = {"D:\\Jeux vidéo\\nouveau.exe"};
        w.c.press("btn_" + p);
        EXPECT_EQ(w.t.dialogs.shown, (std::vector{kBrowse, kBrowse}));
        EXPECT_EQ(w.c.text(p + "_path"), "D:\\Jeux vidéo\\nouveau.exe");
        EXPECT_EQ(w.bytes(), ini) << "browsing wrote";
        w.c.press("btn_appliquer");
        ini.replace(ini.find(" C:\\avant.exe "), 14, "D:\\Jeux vid\xE9o\\nouveau.exe");
        EXPECT_EQ(w.bytes(), ini);
        for (const GameEntry& o : GameCatalogue) {
            EXPECT_EQ(w.row(o.controlPrefix), "000") << o.controlPrefix;
        }
    }
}

const std::string kIni = "[General]\r\nsansvalidation= 1 \r\nacceleration=2\r\n"
                         "[q3]\r\nPath=D:\\q3.exe\r\npresent=1\r\n[bf]\r\nPath=\r\npresent=0\r\n"
                         "[cod]\r\nPath=\r\npresent=0\r\n[ef2]\r\nPath=\r\npresent=0\r\n";

TEST(WindowCommands, ApplyOptionsCancelResetAndQuitEachDoTheirPartOnly) {
    Window w(kIni);
    EXPECT_EQ(w.c.value("sansvalid_chk") * 10 + w.c.value("accel_chk"), 10) << "only 1 ticks";
    auto ticks = [&w] {
        std::string shown;
        for (const char* game : {"q3", "bf", "cod", "ef2", "ja"}) {
            shown += std::to_string(w.c.visible(std::string("valid_") + game));
        }
        return shown;
    };
    for (const char* p : {"q3_chk", "cod_chk", "bf_chk"}) {
        w.c.setValue(p, 1);
    }
    w.c.setText("q3_path", "");     // emptied: not present
    w.c.setText("cod_path", "   "); // blanks count as a path
    w.c.setText("bf_path", "D:\\bf.exe");
    w.c.setValue("bf_chk", 0); // locked again: not saved
    w.c.setValue("accel_chk", 1);
    w.bytes().replace(w.bytes().rfind("present=0"), 9, "present=1"); // ef2, behind its back
    w.c.press("btn_appliquer");
    std::string file =
        "[General]\r\nsansvalidation= 1 \r\nacceleration=2\r\n[q3]\r\nPath=\r\n"
        "present=0\r\n[bf]\r\nPath=\r\npresent=0\r\n[cod]\r\nPath=   \r\npresent=1\r\n"
        "[ef2]\r\nPath=\r\npresent=1\r\n";
    EXPECT_EQ(w.bytes(), file);
    EXPECT_EQ(ticks(), "00111");
    EXPECT_EQ(w.c.text("bf_path") + w.row("bf") + w.row("q3"), "D:\\bf.exe000000");

    w.c.setValue("dod_chk", 1);
    w.c.setValue("sansvalid_chk", 0);
    w.c.press("btn_options");
    file.replace(11, 36, "sansvalidation=0\r\nacceleration=1\r\n");
    EXPECT_EQ(w.bytes(), file);
    EXPECT_EQ(w.row("dod"), "111") << "options leave the rows";

    w.c.setText("cod_path", "non enregistré");
    w.c.setVisible("valid_q3", true);
    w.c.press("btn_annuler");
    EXPECT_EQ(w.c.text("cod_path") + "|" + w.c.text("bf_path") + "|" + w.row("dod"), "||000");
    EXPECT_EQ(std::to_string(w.c.value("accel_chk")) + ticks(), "110111") << "cancel left them";
    EXPECT_EQ(w.bytes(), file);

    w.t.registry.put(0x80000002, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                     test::sz("E:\\q3.exe"));
    w.c.setValue("cod_chk", 1);
    w.t.dialogs.answers = {Answer::Cancel, Answer::Ok};
    w.c.press("btn_defaut");
    EXPECT_EQ(w.bytes(), file);
    w.c.press("btn_defaut");
    EXPECT_EQ(w.t.dialogs.shown,
              std::vector<std::string>(2, std::string(kResetQuestion) + " [OK|Annuler]"));
    EXPECT_EQ(LireIni(w.t.os, "q3", "path", w.t.config, "") + w.c.text("q3_path"),
              "E:\\q3.exeE:\\q3.exe");
    EXPECT_EQ(std::to_string(w.c.value("accel_chk")) + ticks() + w.row("cod"), "010000111")
        << "the defaults reloaded; the lock state as it was";
    file = w.bytes();
    w.c.press("btn_quitter");
    EXPECT_EQ(w.quits, 1);
    EXPECT_EQ(w.bytes(), file);
}

// A failed save is said once, after the command's other steps; a path that config.ini cannot hold
// (stored mangled, it would start nothing) is refused before any write, its row left open.
TEST(WindowCommands, AFailedOrRefusedSaveIsSaidOnceAfterTheCommandHasDoneItsOtherSteps) {
    struct Case {
        std::string button;
        bool readOnly, failWrite;
        size_t questions;          // message boxes before the failure's
        size_t changes = SIZE_MAX; // changes of files that can be made
        std::string typed = "C:\\q.exe";
    };
    const std::string foreign = "C:\\\u30b2\u30fc\u30e0\\quake3.exe";
    // clang-format off
    const Case cases[] = {
        {"btn_appliquer", true, false, 0}, {"btn_appliquer", false, true, 0}, {"btn_defaut", true, false, 1},
        {"btn_options", false, false, 0, 2}, // one option written
        {"btn_appliquer", false, false, 0, SIZE_MAX, foreign}};
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button + c.typed);
        Window w(kIni);
        w.t.files.files[w.t.config].readOnly = c.readOnly;
        w.t.files.failWrite = c.failWrite;
        w.t.files.changesLeft = c.changes;
        w.c.setValue("q3_chk", 1);
        w.c.setText("q3_path", c.typed);
        w.c.setValue("accel_chk", 1);
        w.c.press(c.button);
        EXPECT_EQ(LireIni(w.t.os, "q3", "path", w.t.config, ""), "D:\\q3.exe");
        ASSERT_EQ(w.t.dialogs.shown.size(), c.questions + 1);
        EXPECT_EQ(w.t.dialogs.shown.back(),
                  c.typed == foreign ? "Ce chemin contient des caractères que config.ini ne peut "
                                       "pas enregistrer ; rien n'a été enregistré :\n" +
                                           foreign
                                     : "Les paramètres n'ont pas pu être enregistrés.");
        EXPECT_EQ(w.c.value("accel_chk"), c.button == "btn_defaut" ? 0 : 1);
        if (c.button == "btn_appliquer") { // the edit stays on screen; locked once tried
            EXPECT_EQ(w.row("q3"), c.typed == foreign ? "111" : "000");
            EXPECT_EQ(w.c.text("q3_path"), c.typed);
        }
    }
}

TEST(WindowLayout, EachControlIsNamedOnceAndLiesInsideItsContainerUnderItsTab) {
    std::string tabs;
    for (const char* page : {"tab_jeux1", "tab_jeux2", "tab_configuration", "tab_presentation"}) {
        tabs += std::string(layout::find(page)->caption) + "|";
    }
    EXPECT_EQ(tabs, "Jeux - Part I|Jeux - Part II|Configuration|?|");
    std::set<std::string_view> seen;
    for (const layout::ControlRow& row : layout::rows()) {
        EXPECT_TRUE(seen.contains(row.container) || row.kind == layout::Kind::Window) << row.name;
        EXPECT_TRUE(seen.insert(row.name).second) << row.name;
        const layout::ControlRow* parent = layout::find(layout::geometryParent(row));
        const layout::Rect& r = row.rect;
        EXPECT_TRUE(row.kind == layout::Kind::Page || row.kind == layout::Kind::FileDialog ||
                    row.kind == layout::Kind::Window ||
                    (parent != nullptr && r.left >= 0 && r.top >= 0 &&
                     r.left + r.width <= parent->rect.width &&
                     r.top + r.height <= parent->rect.height))
            << row.name;
    }
}

// The controls of each game carry the catalogue's names: the label level with its tick its display
// name, the label before its path box its short name.
TEST(WindowLayout, EachGameHasItsTickAndALockedPathRowNamedFromTheCatalogue) {
    using layout::Kind;
    for (const GameEntry& game : GameCatalogue) {
        const std::string p(game.controlPrefix);
        const layout::ControlRow *tick = layout::find(game.indicator),
                                 *path = layout::find(p + "_path"),
                                 *browse = layout::find("btn_" + p),
                                 *box = layout::find(p + "_chk");
        ASSERT_TRUE(tick && path && browse && box) << p;
        // Hidden and locked until the settings say otherwise; the box unlocks its row.
        EXPECT_TRUE(tick->kind == Kind::Picture && !tick->visible && !path->enabled &&
                    !browse->enabled && box->kind == Kind::CheckBox && box->enabled)
            << p;
        std::string labels;
        for (const layout::ControlRow& r : layout::rows()) {
            const bool byTick = r.container == tick->container && r.rect.top == tick->rect.top &&
                                r.rect.left > tick->rect.left;
            const bool byPath = r.container == path->container && r.rect.left < path->rect.left &&
                                r.rect.left + 1200 > path->rect.left &&
                                r.rect.top >= path->rect.top &&
                                r.rect.top < path->rect.top + path->rect.height;
            labels +=
                r.kind == Kind::Label && (byTick || byPath) ? std::string(r.caption) + "|" : "";
        }
        EXPECT_EQ(labels, std::string(game.displayName) + "|" + std::string(game.shortLabel) + "|");
    }
}

// What is kept of the banner's reply, then the server's close, within 48 bytes.
TEST(BannerDownload, TheReplyIsKeptOnlyWhenWholeAndWithinTheLimit) {
    const std::string ok = "HTTP/1.0 200 OK\r\n";
    for (const auto& [bytes, expected] : {
             std::pair<std::string, std::string>{ok + "\r\nGIF", "GIF"}, // at the close
             {ok + "\r\n" + std::string(29, 'x'), std::string(29, 'x')}, // 48 bytes in all
             {ok + "\r\n" + std::string(30, 'x'), "refused"},            // 49
             {"HTTP/1.0 404 Not Found\r\n\r\nGIF", "refused"},
             {ok + "Content-Length: 5\r\n\r\nGIF", "refused"}, // cut short
             {ok, "refused"},                                  // headers never end
         }) {
        HttpReply reply;
        Reception outcome = receive(reply, bytes, 48);
        outcome = outcome == Reception::More ? receive(reply, "", 48) : outcome; // the close
        EXPECT_EQ(outcome == Reception::Complete ? bodyOf(reply) : "refused", expected) << bytes;
    }
}

} // namespace
} // namespace quellix
