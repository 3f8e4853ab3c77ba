#include "ui/controls.h"

namespace quellix {

void Controls::setValue(std::string_view name, int newValue) {
    if (value(name) == newValue) {
        return;
    }
    storeValue(name, newValue);
    click(name);
}

void Controls::onClick(std::string_view name, std::function<void()> handler) {
    handlers_.insert_or_assign(std::string(name), std::move(handler));
}

void Controls::click(std::string_view name) {
    auto it = handlers_.find(name);
    if (it != handlers_.end() && it->second) {
        it->second();
    }
}

} // namespace quellix
