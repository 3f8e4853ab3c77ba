#pragma once
// Form1 as native Win32 controls, created by walking the layout table and reached by name.

#include "ui/controls.h"
#include "ui/layout.h"
#include "windows/pictures_win.h"

#include <windows.h>

#include <map>
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

    // Creates Form1 and all its controls, hidden, on the first tab. False when it could not.
    bool create();
    // Shows the window.
    void show();
    // Destroys the window, which ends the message loop.
    void close();

    HWND handle() const { return window_; }
    // The window of the control `name`, or null (the open-file dialog has none).
    HWND control(std::string_view name) const;
    int dpi() const { return dpi_; }

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
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);

    // Alt+letter: the control whose caption marks the letter acts; when several share it, the
    // focus moves to the next of them. False when no control on screen has the letter.
    bool pressMnemonic(wchar_t letter);

    void onCreate();
    void onCommand(WPARAM wParam, LPARAM lParam);
    LRESULT onNotify(const NMHDR& header);
    LRESULT onControlColour(UINT message, HDC dc, HWND control, WPARAM wParam, LPARAM lParam);
    void onDrawItem(const DRAWITEMSTRUCT& item);
    void onDpiChanged(int dpi, const RECT& suggested);

    HWND createControl(const layout::ControlRow& row, int id);
    // Gives the window the layout's client size at the current DPI, at `origin` when given.
    void sizeClientArea(const POINT* origin);
    void makeFonts();
    void freeFonts();
    void placeControls();
    void showCurrentPage();
    HFONT fontFor(layout::Font font) const;
    layout::Colour backOf(const layout::ControlRow& row) const;

    HINSTANCE instance_;
    HWND window_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::map<std::string, HWND, std::less<>> byName_;
    std::map<HWND, const layout::ControlRow*> rowOf_;
    std::map<std::string, HWND, std::less<>> groupBoxes_; // the drawn frame of each frame panel
    std::vector<HWND> pages_;                             // the tab control's pages, in order
    bool quitOnDestroy_ = true;
    HWND lastFocus_ = nullptr; // the control that had the focus when the window lost it
    HFONT windowFont_ = nullptr;
    HFONT titleFont_ = nullptr;
    HFONT boldFont_ = nullptr;
    IconCache icons_;
};

} // namespace quellix::win
