#pragma once
// The window's controls, reached by name ("q3_path", "btn_appliquer", "valid_q3", ...).
// The Win32 window and the in-memory controls of the tests implement the same interface.

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace quellix {

class Controls {
public:
    virtual ~Controls() = default;

    virtual std::string text(std::string_view name) const = 0;
    virtual void setText(std::string_view name, const std::string& text) = 0;
    virtual bool enabled(std::string_view name) const = 0;
    virtual void setEnabled(std::string_view name, bool enabled) = 0;
    virtual bool visible(std::string_view name) const = 0;
    virtual void setVisible(std::string_view name, bool visible) = 0;
    // A check box's value: 0 clear, 1 ticked, 2 greyed.
    virtual int value(std::string_view name) const = 0;

    // Sets a check box's value; when the value changes, the box's click handler runs at once,
    // as it does for a real check box.
    void setValue(std::string_view name, int value);

    // The handler run by a click on `name` (a button, or a check box whose value changed).
    void onClick(std::string_view name, std::function<void()> handler);
    // Runs the click handler of `name`, if it has one.
    void click(std::string_view name);

protected:
    // Stores a check box's value without running any handler.
    virtual void storeValue(std::string_view name, int value) = 0;

private:
    std::map<std::string, std::function<void()>, std::less<>> handlers_;
};

} // namespace quellix
