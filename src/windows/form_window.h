#pragma once
// Form1 as native Win32 controls, created by walking the layout table and reached by name.
//
// Only the first tab's page is filled before the window is first shown: the controls of another
// page are created when that page is first shown, when one of them is asked for by its window, or
// ahead of that when the window has nothing else to do. Until then the Controls interface keeps
// what is set on them and answers from it, so that every handler works on every page. The first
// page's labels are drawn by their frames for the first paint and become windows right after it.
//
// The work is split by job: form_window.cpp (the window and its messages), form_build.cpp
// (controls from the layout table, placing), form_paint.cpp (fonts, colours, pictures),
// form_tabs.cpp (tabs and keyboard) and form_by_name.cpp (the Controls interface).

#include "ui/controls.h"
#include "ui/layout.h"
#include "windows/pictures_win.h"

#include <windows.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace quellix::win {

class FormWindow final : public Controls {
public:
    explicit FormWindow(HINSTANCE instance);
    FormWindow(const FormWindow&) = delete;
    FormWindow& operator=(const FormWindow&) = delete;
    ~FormWindow() override;

    // Creates Form1, its tabs and the first tab's controls, hidden. False when it could not.
    bool create();
    // Shows the window and draws it.
    void show();
    // Destroys the window, which ends the message loop.
    void close();
    // Creates the controls of the next page that has none yet; false when every page has them.
    bool buildNextPage();

    HWND handle() const { return window_; }
    // The window of the control `name`, its page's controls being created first if need be; null
    // for a name without a window (the open-file dialog, a picture) or not in the table.
    HWND control(std::string_view name);
    // Where the control `name` lies on the screen, window or picture; empty when it has no place.
    RECT screenRect(std::string_view name);
    int dpi() const { return dpi_; }
    // The page the row's control lies on, or empty for the window's own controls.
    static std::string_view pageOf(const layout::ControlRow& row);
    // The static control's style of a label row.
    static DWORD labelStyle(const layout::ControlRow& row);

    int currentTab() const;
    void selectTab(int index);

    // What the message loop must not dispatch: the keyboard's moves between controls, the
    // mnemonics, and Ctrl+Tab between tabs.
    bool preTranslate(MSG& message);

    std::string text(std::string_view name) const override;
    void setText(std::string_view name, const std::string& text) override;
    bool enabled(std::string_view name) const override;
    void setEnabled(std::string_view name, bool enabled) override;
    bool visible(std::string_view name) const override;
    void setVisible(std::string_view name, bool visible) override;
    int value(std::string_view name) const override;

protected:
    void storeValue(std::string_view name, int value) override;

private:
    // Fixed single border with the close box alone: no sizing, no minimize, no maximize.
    static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    static constexpr DWORD kExStyle = WS_EX_CONTROLPARENT;

    // What is set on a control that is not created yet; unset parts keep the table's value.
    struct Pending {
        std::optional<std::string> text;
        std::optional<bool> enabled;
        std::optional<bool> visible;
        std::optional<int> value;
    };

    // The window and its messages (form_window.cpp).
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void onCreate();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(const NMHDR& header);
    void onDpiChanged(int dpi, const RECT& suggested);
    void forget();

    // Controls from the layout table (form_build.cpp).
    void buildPage(std::string_view page);
    // The first page's labels as windows, in place of their drawn stand-ins.
    void createDrawnLabels();
    HWND createControl(const layout::ControlRow& row);
    // Gives the window the layout's client size at the current DPI, at `origin` when given.
    void sizeClientArea(const POINT* origin);
    void placeControls();
    void placeRow(const layout::ControlRow& row);
    // The row's rectangle in pixels at the window's DPI, in its container's coordinates (a page's
    // controls: the tab control's).
    RECT pixelRect(const layout::ControlRow& row) const;

    // Fonts, colours and pictures (form_paint.cpp).
    void makeFonts();
    void freeFonts();
    HFONT fontFor(layout::Font font) const;
    LRESULT onControlColour(UINT message, HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
    // What `panel` draws on its background: its pictures shown, and its labels that are not
    // windows yet.
    void paintContents(HWND panel, HDC dc);
    // Shows or hides a picture, its container redrawing the place it takes.
    void showPicture(const layout::ControlRow& row, bool shown);
    HBRUSH backgroundBrush(const layout::ControlRow& row) const;

    // Tabs and keyboard (form_tabs.cpp).
    void showCurrentPage();
    // Alt+letter: the control whose caption marks the letter acts; when several share it, the
    // focus moves to the next of them. False when no control on screen has the letter.
    bool pressMnemonic(wchar_t letter);

    // Controls by name (form_by_name.cpp).
    HWND created(std::string_view name) const;
    // The window of `name` for a change: a drawn label is made a window first.
    HWND settable(std::string_view name);
    // The row of `name` while its control waits for its page to be built, else null.
    const layout::ControlRow* waiting(std::string_view name) const;
    const Pending* pendingOf(std::string_view name) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::map<std::string, HWND, std::less<>> byName_;
    std::map<HWND, const layout::ControlRow*> rowOf_;
    std::map<std::string, HWND, std::less<>> groupBoxes_; // the drawn frame of each frame panel
    std::vector<HWND> pages_;                             // the tab control's pages, in order
    std::vector<std::string_view> pageNames_;
    std::set<std::string_view> unbuilt_; // pages whose controls are not created yet
    std::map<std::string, Pending, std::less<>> pending_;
    // The pictures (tick, icons) of built pages, and whether each is shown. A picture is drawn by
    // its container rather than being a window: under Wine each child window shown costs
    // milliseconds at the first paint, and the pictures were most of the first page's.
    std::map<std::string, bool, std::less<>> pictures_;
    // The first page's labels, drawn by their frame at the first paint for the same reason, and
    // created as windows (what a screen reader reads) as the first work after it.
    std::set<std::string_view> drawnLabels_;
    bool drawLabels_ = false; // while the first page is built
    POINT pageOrigin_{0, 0};  // where a page lies in the tab control
    bool quitOnDestroy_ = true;
    HWND lastFocus_ = nullptr; // the control that had the focus when the window lost it
    HFONT windowFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    IconCache icons_;
};

} // namespace quellix::win
