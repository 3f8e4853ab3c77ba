#pragma once
// The window's controls in memory, built from the same layout table as the real window: the same
// names, captions and initial states. A name that the window does not have is a test failure.

#include "ui/controls.h"

#include <map>
#include <string>
#include <string_view>

namespace quellix::test {

class MemoryControls : public Controls {
public:
    MemoryControls();

    std::string text(std::string_view name) const override { return at(name).text; }
    void setText(std::string_view name, const std::string& text) override { at(name).text = text; }
    bool enabled(std::string_view name) const override { return at(name).enabled; }
    void setEnabled(std::string_view name, bool on) override { at(name).enabled = on; }
    bool visible(std::string_view name) const override { return at(name).visible; }
    void setVisible(std::string_view name, bool on) override { at(name).visible = on; }
    int value(std::string_view name) const override { return at(name).value; }

    // What a user's click on a check box does: the box toggles, then its handler runs.
    void userToggles(std::string_view name) {
        storeValue(name, value(name) == 1 ? 0 : 1);
        click(name);
    }

protected:
    void storeValue(std::string_view name, int value) override { at(name).value = value; }

private:
    struct State {
        std::string text;
        bool enabled = true;
        bool visible = true;
        int value = 0;
    };
    State& at(std::string_view name) const;

    mutable std::map<std::string, State, std::less<>> states_;
};

} // namespace quellix::test
