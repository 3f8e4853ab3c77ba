#pragma once
// The window Form1 as one static table: one row per control, in the order the controls are
// created (which is also the keyboard's Tab order). Every rectangle is in twips (1440 an inch).
//
// Rectangles are relative to the control's container, except on the tab pages: a page is the
// part of the tab control under its captions, and the rectangles of the controls placed directly
// on a page are relative to the tab control itself, the captions included.

#include <span>
#include <string_view>

namespace quellix::layout {

enum class Kind {
    Window,     // Form1 itself
    Tabs,       // the tab control; its pages follow it in the table
    Page,       // one tab of the tab control, container of that tab's controls
    Frame,      // a captioned frame, container of the controls inside it
    Label,      // static text
    Edit,       // single-line text box
    Button,     // push button
    CheckBox,   // check box
    Picture,    // a picture: the tick or a game icon
    Banner,     // the banner player
    FileDialog, // the open-file dialog: no window of its own
};

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class Font {
    Window, // the platform's dialog font
    Title,  // "Tahoma" 27.75 points
    Bold,   // "MS Sans Serif" 9.75 points, bold
};

enum class Colour {
    Inherit,      // the container's
    ButtonFace,   // COLOR_BTNFACE
    ActiveBorder, // COLOR_ACTIVEBORDER
    Menu,         // COLOR_MENU
    WindowText,   // COLOR_WINDOWTEXT
    Black,
    DarkRed, // red 192, green 0, blue 0
};

enum class Align { Left, Centre };

struct ControlRow {
    std::string_view name = {};
    Kind kind = Kind::Label;
    std::string_view container = {}; // empty for Form1
    Rect rect = {};
    std::string_view caption = {};
    // Settings.
    bool enabled = true;
    bool visible = true;
    Align align = Align::Left;
    Font font = Font::Window;
    Colour text = Colour::Inherit;
    Colour back = Colour::Inherit;
    std::string_view picture = {}; // "tick" or the name of a game icon
};

// The banner address that start-up gives both banners.
inline constexpr std::string_view kBannerAddress = "http://www.vorbanix.fr/fr/quellix_V1.swf";

// The presence tick, 10 x 10 pixels, top row first: '#' red, '.' transparent.
inline constexpr std::string_view kTick[10] = {
    "..........", "#........#", "##......#.", ".#.....##.", ".##....#..",
    "..##..##..", "..#####...", "...###....", "....##....", "....#.....",
};

// Twips per pixel at 96 dots per inch.
inline constexpr int kTwipsPerPixelAt96 = 15;

// Every control of Form1, Form1 first.
std::span<const ControlRow> rows();

// The row named `name`, or null.
const ControlRow* find(std::string_view name);

// The captions of the tab control's pages, left to right.
std::span<const std::string_view> tabCaptions();

// The control whose rectangle the row's rectangle is measured from: the container, or the tab
// control for a control placed directly on a page.
std::string_view geometryParent(const ControlRow& row);

// `twips` at `dpi` dots per inch, rounded as MulDiv rounds.
int toPixels(int twips, int dpi);

} // namespace quellix::layout
