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

MemoryControls::State& MemoryControls::at(std::string_view name) const {
    auto it = states_.find(name);
    if (it == states_.end()) {
        ADD_FAILURE() << "the window has no control named " << name;
        throw std::out_of_range(std::string(name));
    }
    return it->second;
}

} // namespace quellix::test
