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

    std::string text(std::string_view name) const override;
    void setText(std::string_view name, const std::string& text) override;
    bool enabled(std::string_view name) const override;
    void setEnabled(std::string_view name, bool enabled) override;
    bool visible(std::string_view name) const override;
    void setVisible(std::string_view name, bool visible) override;
    int value(std::string_view name) const override;

    // What a user's click on a check box does: the box toggles, then its handler runs.
    void userToggles(std::string_view name);

protected:
    void storeValue(std::string_view name, int value) override;

private:
    struct State {
        std::string text;
        bool enabled = true;
        bool visible = true;
        int value = 0;
    };
    State& at(std::string_view name);
    const State& at(std::string_view name) const;

    std::map<std::string, State, std::less<>> states_;
};

} // namespace quellix::test
