#include "memory_controls.h"

#include "ui/layout.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace quellix::test {

MemoryControls::MemoryControls() {
    for (const layout::ControlRow& row : layout::rows()) {
        states_.emplace(std::string(row.name),
                        State{std::string(row.caption), row.enabled, row.visible, 0});
    }
}

MemoryControls::State& MemoryControls::at(std::string_view name) {
    auto it = states_.find(name);
    if (it == states_.end()) {
        ADD_FAILURE() << "the window has no control named " << name;
        throw std::out_of_range(std::string(name));
    }
    return it->second;
}

const MemoryControls::State& MemoryControls::at(std::string_view name) const {
    return const_cast<MemoryControls*>(this)->at(name);
}

std::string MemoryControls::text(std::string_view name) const {
    return at(name).text;
}
void MemoryControls::setText(std::string_view name, const std::string& text) {
    at(name).text = text;
}
bool MemoryControls::enabled(std::string_view name) const {
    return at(name).enabled;
}
void MemoryControls::setEnabled(std::string_view name, bool enabled) {
    at(name).enabled = enabled;
}
bool MemoryControls::visible(std::string_view name) const {
    return at(name).visible;
}
void MemoryControls::setVisible(std::string_view name, bool visible) {
    at(name).visible = visible;
}
int MemoryControls::value(std::string_view name) const {
    return at(name).value;
}
void MemoryControls::storeValue(std::string_view name, int value) {
    at(name).value = value;
}

void MemoryControls::userToggles(std::string_view name) {
    storeValue(name, value(name) == 1 ? 0 : 1);
    click(name);
}

} // namespace quellix::test
