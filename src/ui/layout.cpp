#include "ui/layout.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace quellix::layout {
namespace {

// --- Row makers: one per kind of control that the window repeats ---------------------------------

constexpr ControlRow frame(std::string_view name, std::string_view container, Rect rect,
                           std::string_view caption) {
    return {.name = name,
            .kind = Kind::Frame,
            .container = container,
            .rect = rect,
            .caption = caption,
            .back = Colour::ActiveBorder};
}

constexpr ControlRow label(std::string_view name, std::string_view container, Rect rect,
                           std::string_view caption) {
    return {.name = name,
            .kind = Kind::Label,
            .container = container,
            .rect = rect,
            .caption = caption};
}

constexpr ControlRow centred(ControlRow row) {
    row.align = Align::Centre;
    return row;
}

constexpr ControlRow button(std::string_view name, std::string_view container, Rect rect,
                            std::string_view caption) {
    return {.name = name,
            .kind = Kind::Button,
            .container = container,
            .rect = rect,
            .caption = caption};
}

constexpr ControlRow checkBox(std::string_view name, std::string_view container, Rect rect,
                              std::string_view caption) {
    return {.name = name,
            .kind = Kind::CheckBox,
            .container = container,
            .rect = rect,
            .caption = caption};
}

constexpr ControlRow banner(std::string_view name, std::string_view container) {
    return {.name = name,
            .kind = Kind::Banner,
            .container = container,
            .rect = {5640, 4260, 3855, 3615},
            .back = Colour::Black};
}

// A presence tick of a game tab: hidden until the settings say the game is there.
constexpr ControlRow tick(std::string_view name, std::string_view frameName, int left, int top) {
    return {.name = name,
            .kind = Kind::Picture,
            .container = frameName,
            .rect = {left, top, 150, 150},
            .visible = false,
            .picture = "tick"};
}

constexpr ControlRow icon(std::string_view name, std::string_view container, int left, int top,
                          std::string_view picture) {
    return {.name = name,
            .kind = Kind::Picture,
            .container = container,
            .rect = {left, top, 480, 480},
            .picture = picture};
}

// The path rows of "Configuration Avancée": locked (box and button disabled) until ticked.
constexpr ControlRow pathBox(std::string_view name, int left, int top) {
    return {.name = name,
            .kind = Kind::Edit,
            .container = "hl_exe",
            .rect = {left, top, 1815, 375},
            .enabled = false};
}

constexpr ControlRow browseButton(std::string_view name, int left, int top) {
    return {.name = name,
            .kind = Kind::Button,
            .container = "hl_exe",
            .rect = {left, top, 375, 375},
            .caption = "...",
            .enabled = false};
}

constexpr ControlRow rowBox(std::string_view name, int left, int top) {
    return checkBox(name, "hl_exe", {left, top, 255, 255}, "");
}

// The presentation of the platform, on tab "?".
constexpr ControlRow presentation(std::string_view name, Rect rect, std::string_view caption) {
    return {.name = name,
            .kind = Kind::Label,
            .container = "tab_presentation",
            .rect = rect,
            .caption = caption,
            .font = Font::Bold,
            .text = Colour::WindowText};
}

constexpr std::string_view kPage1 = "tab_jeux1";
constexpr std::string_view kPage2 = "tab_jeux2";
constexpr std::string_view kPage3 = "tab_configuration";
constexpr std::string_view kPage4 = "tab_presentation";

constexpr std::array<std::string_view, 4> kTabCaptions{"Jeux - Part I", "Jeux - Part II",
                                                       "Configuration", "?"};

// clang-format off
constexpr ControlRow kRows[] = {
    {.name = "Form1", .kind = Kind::Window, .rect = {0, 0, 10125, 9150},
     .caption = "Quellix Vorbanix", .back = Colour::ActiveBorder},
    {.name = "SSTab1", .kind = Kind::Tabs, .container = "Form1", .rect = {105, 240, 9855, 8175},
     .back = Colour::ButtonFace},

    // Tab 1, "Jeux - Part I".
    {.name = kPage1, .kind = Kind::Page, .container = "SSTab1", .caption = kTabCaptions[0]},
    frame("Frame1", kPage1, {240, 780, 5175, 7095}, "Jeux compatibles"),
    //   presence tick                            icon                                 display name
    tick("valid_shl",    "Frame1", 960,  690),  icon("Image3",  "Frame1", 1335,  510, "hl"),
        label("Label3",  "Frame1", {2010,  690, 1215, 255}, "Steam Half-Life"),
    tick("valid_scs",    "Frame1", 960, 1410),  icon("Image17", "Frame1", 1335, 1245, "cs"),
        label("Label5",  "Frame1", {2010, 1410, 1815, 255}, "Steam Counter Strike"),
    tick("valid_dod",    "Frame1", 960, 2130),  icon("Image12", "Frame1", 1335, 1965, "dod"),
        label("Label20", "Frame1", {2010, 2130, 1815, 255}, "Steam Day Of Defeat"),
    tick("valid_stfc",   "Frame1", 960, 2850),  icon("Image18", "Frame1", 1335, 2685, "tfc"),
        label("Label21", "Frame1", {2010, 2850, 2175, 255}, "SteamTeam Fortress Classic"),
    tick("valid_q3",     "Frame1", 960, 3570),  icon("Image8",  "Frame1", 1335, 3405, "q3"),
        label("Label6",  "Frame1", {2010, 3570, 1455, 255}, "Quake 3"),
    tick("valid_ja",     "Frame1", 960, 4290),  icon("Image7",  "Frame1", 1335, 4125, "jedi"),
        label("Label7",  "Frame1", {2010, 4290, 1455, 255}, "Jedi Academy"),
    tick("valid_jo",     "Frame1", 960, 5010),  icon("Image22", "Frame1", 1335, 4845, "jedi"),
        label("Label24", "Frame1", {2010, 5010, 1455, 255}, "Jedi Outcast"),
    tick("valid_mohaa",  "Frame1", 960, 5730),  icon("Image6",  "Frame1", 1335, 5565, "moh"),
        label("Label8",  "Frame1", {1995, 5730, 1455, 255}, "Medal Of Honor"),
    tick("valid_ut2003", "Frame1", 960, 6450),  icon("Image5",  "Frame1", 1335, 6285, "unreal"),
        label("Label9",  "Frame1", {2010, 6450, 1800, 255}, "Unreal Tournament 2003"),

    frame("Frame2", kPage1, {5640, 780, 3855, 3255}, "Options"),
    checkBox("sansvalid_chk", "Frame2", {480, 480, 2775, 255}, " Lancement sans validation"),
    checkBox("accel_chk", "Frame2", {480, 1080, 2895, 495}, " Acceleration de la souris"),
    {.name = "Label1", .kind = Kind::Label, .container = "Frame2", .rect = {600, 1680, 2655, 735},
     .caption = "Avec Windows Xp, l'acceleration de la souris peut gêner les performances dans HL/CS",
     .align = Align::Centre, .text = Colour::DarkRed, .back = Colour::Menu},
    button("btn_options", "Frame2", {2280, 2640, 1335, 375}, "&Appliquer"),
    banner("ShockwaveFlash1", kPage1),

    // Tab 2, "Jeux - Part II".
    {.name = kPage2, .kind = Kind::Page, .container = "SSTab1", .caption = kTabCaptions[1]},
    frame("Frame3", kPage2, {240, 780, 5175, 7095}, "Jeux compatibles"),
    tick("valid_ut2k4",  "Frame3", 960,  690),  icon("Image25", "Frame3", 1335,  510, "unreal"),
        label("Label35", "Frame3", {2010,  690, 1845, 255}, "Unreal Tournament  2004"),
    tick("valid_ef2",    "Frame3", 960, 1410),  icon("Image2",  "Frame3", 1335, 1245, "ef2"),
        label("Label13", "Frame3", {2010, 1410, 1815, 255}, "Elite Force 2"),
    tick("valid_bf",     "Frame3", 960, 2130),  icon("Image13", "Frame3", 1335, 1965, "bf"),
        label("Label4",  "Frame3", {2010, 2130, 1815, 255}, "Battlefield 1942"),
    tick("valid_cod",    "Frame3", 975, 2820),  icon("Image26", "Frame3", 1350, 2655, "cod"),
        label("Label2",  "Frame3", {2025, 2820, 1815, 255}, "Call Of Duty"),
    banner("ShockwaveFlash2", kPage2),

    // Tab 3, "Configuration".
    {.name = kPage3, .kind = Kind::Page, .container = "SSTab1", .caption = kTabCaptions[2]},
    {.name = "Frame4", .kind = Kind::Frame, .container = kPage3, .rect = {240, 720, 9255, 1335},
     .caption = "Réinitialisation"},
    centred(label("Label11", "Frame4", {1200, 600, 3735, 255},
                  "Réinitialisation des paramètres par défaut")),
    button("btn_defaut", "Frame4", {7200, 480, 1575, 375}, "&Défaut"),
    {.name = "hl_exe", .kind = Kind::Frame, .container = kPage3, .rect = {240, 2280, 9255, 5535},
     .caption = "Configuration Avancée"},
    // Left column: icon 360, label 960, check box 4200, path box 1560, button 3600.
    icon("Image19", "hl_exe", 360,  480, "hl"),
        label("Label18", "hl_exe", {960,  720, 375, 255}, "SHL"),
        rowBox("shl_chk", 4200,  720), pathBox("shl_path", 1560,  600), browseButton("btn_shl", 3600,  600),
    icon("Image23", "hl_exe", 360, 1200, "cs"),
        label("Label19", "hl_exe", {960, 1440, 375, 255}, "SCS"),
        rowBox("scs_chk", 4200, 1440), pathBox("scs_path", 1560, 1320), browseButton("btn_scs", 3600, 1320),
    icon("Image9",  "hl_exe", 360, 1920, "q3"),
        label("Label14", "hl_exe", {960, 2160, 255, 255}, "Q3"),
        rowBox("q3_chk",  4200, 2160), pathBox("q3_path",  1560, 2040), browseButton("btn_q3",  3600, 2040),
    icon("Image4",  "hl_exe", 360, 2625, "jedi"),
        label("Label15", "hl_exe", {960, 2880, 255, 255}, "JA"),
        rowBox("ja_chk",  4200, 2880), pathBox("ja_path",  1560, 2760), browseButton("btn_ja",  3600, 2760),
    icon("Image10", "hl_exe", 360, 3360, "jedi"),
        label("Label25", "hl_exe", {960, 3600, 255, 255}, "JO"),
        rowBox("jo_chk",  4200, 3600), pathBox("jo_path",  1560, 3480), browseButton("btn_jo",  3600, 3480),
    icon("Image11", "hl_exe", 360, 4080, "moh"),
        label("Label16", "hl_exe", {960, 4320, 375, 255}, "MOH"),
        rowBox("moh_chk", 4200, 4320), pathBox("moh_path", 1560, 4200), browseButton("btn_moh", 3600, 4200),
    icon("Image16", "hl_exe", 360, 4800, "unreal"),
        label("Label17", "hl_exe", {960, 4920, 615, 255}, "UT2K3"),
        rowBox("ut_chk",  4200, 5040), pathBox("ut_path",  1560, 4920), browseButton("btn_ut",  3600, 4920),
    // Right column: icon 4800, label 5400, check box 8640, path box 6000, button 8040.
    icon("Image20", "hl_exe", 4800,  480, "tfc"),
        label("Label23", "hl_exe", {5400,  720, 495, 255}, "STFC"),
        rowBox("stfc_chk",  8640,  720), pathBox("stfc_path",  6000,  600), browseButton("btn_stfc",  8040,  600),
    icon("Image21", "hl_exe", 4800, 1200, "dod"),
        label("Label22", "hl_exe", {5400, 1440, 495, 255}, "DoD"),
        rowBox("dod_chk",   8640, 1440), pathBox("dod_path",   6000, 1320), browseButton("btn_dod",   8040, 1320),
    icon("Image15", "hl_exe", 4815, 1920, "unreal"),
        label("Label37", "hl_exe", {5400, 2160, 615, 255}, "UT2K4"),
        rowBox("ut2k4_chk", 8670, 2130), pathBox("ut2k4_path", 6030, 2010), browseButton("btn_ut2k4", 8070, 2010),
    icon("Image1",  "hl_exe", 4815, 2625, "ef2"),
        label("Label36", "hl_exe", {5400, 2880, 375, 255}, "EF2"),
        rowBox("ef2_chk",   8685, 2850), pathBox("ef2_path",   6030, 2730), browseButton("btn_ef2",   8070, 2730),
    icon("Image14", "hl_exe", 4815, 3360, "bf"),
        label("Label38", "hl_exe", {5400, 3600, 255, 255}, "BF"),
        rowBox("bf_chk",    8685, 3510), pathBox("bf_path",    6030, 3450), browseButton("btn_bf",    8070, 3450),
    icon("Image24", "hl_exe", 4845, 4035, "cod"),
        label("Label12", "hl_exe", {5430, 4275, 375, 255}, "CoD"),
        rowBox("cod_chk",   8685, 4230), pathBox("cod_path",   6060, 4125), browseButton("btn_cod",   8100, 4125),
    button("btn_annuler",   "hl_exe", {6000, 4920, 1335, 375}, "&Annuler"),
    button("btn_appliquer", "hl_exe", {7560, 4920, 1335, 375}, "&Appliquer"),
    {.name = "CommonDialog1", .kind = Kind::FileDialog, .container = "hl_exe", .visible = false},

    // Tab 4, "?": the presentation of the platform.
    {.name = kPage4, .kind = Kind::Page, .container = "SSTab1", .caption = kTabCaptions[3]},
    {.name = "Label26", .kind = Kind::Label, .container = kPage4, .rect = {1920, 960, 6255, 735},
     .caption = "Vorbanix", .align = Align::Centre, .font = Font::Title},
    {.name = "Label27", .kind = Kind::Label, .container = kPage4, .rect = {3600, 7800, 3015, 255},
     .caption = "Copyright © 2004 www.vorbanix.fr", .align = Align::Centre,
     .text = Colour::Black},
    label("Label28", kPage4, {4440, 1680, 1095, 255}, "Quellix v1.1"),
    {.name = "about", .kind = Kind::Label, .container = kPage4, .rect = {720, 2400, 3015, 375},
     .caption = "Qui est www.vorbanix.fr ?", .font = Font::Bold, .text = Colour::Black},
    presentation("Label29", {1440, 2880, 7215, 495},
                 "www.vorbanix.fr est une plate-forme de jeux en ligne. Elle permet aux "
                 "utilisateurs de se rencontrer en direct sur leurs jeux favoris."),
    presentation("Label30", {720, 3840, 6015, 375},
                 "www.vorbanix.fr propose toute une gamme de services :"),
    presentation("Label31", {1440, 4440, 7215, 495},
                 "1. accès aux discussionx en ligne, aux forums de www.vorbanix.fr pour affronter "
                 "les autres joueurs et pour discuter sur vos jeux favoris. "),
    presentation("Label32", {1440, 5160, 5415, 255},
                 "2. accès aux jeux des zones Tir, Sport, Course, Quiz"),
    presentation("Label33", {1440, 5640, 6735, 735},
                 "3. Redirection email de votre pseudo sous la forme : pseudo@vorbanix.fr vers  "
                 "nom.prenom@fournisseur.fr (à venir)"),
    presentation("Label34", {1440, 6600, 7815, 855},
                 "4. Redirection de votre site perso sous la forme\u00a0: "
                 "http://pseudo.vorbanix.fr vers http://pages.hebergeur.fr/votresite (à venir)"),

    button("btn_quitter", "Form1", {8160, 8640, 1695, 375}, "&Quitter"),
};
// clang-format on

} // namespace

std::span<const ControlRow> rows() {
    return kRows;
}

const ControlRow* find(std::string_view name) {
    auto it = std::ranges::find(kRows, name, &ControlRow::name);
    return it == std::end(kRows) ? nullptr : &*it;
}

std::span<const std::string_view> tabCaptions() {
    return kTabCaptions;
}

std::string_view geometryParent(const ControlRow& row) {
    const ControlRow* container = find(row.container);
    if (container != nullptr && container->kind == Kind::Page) {
        return container->container;
    }
    return row.container;
}

int toPixels(int twips, int dpi) {
    // MulDiv(twips, dpi, 1440): the exact product, rounded half away from zero.
    const std::int64_t product = std::int64_t{twips} * dpi;
    const std::int64_t half = product < 0 ? -720 : 720;
    return static_cast<int>((product + half) / 1440);
}

} // namespace quellix::layout
