#include "memory_registry.h"

#include <cstring>
#include <utility>

namespace quellix::test {

namespace {
bool isRoot(RegHandle handle) {
    return handle >= 0x80000000u && handle <= 0x80000006u;
}

std::string fold(std::string name) {
    for (char& c : name) {
        c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return name;
}

std::string keyName(RegHandle root, const std::string& path, RegView view) {
    return fold((view == RegView::Shell ? "shell:" : "") + std::to_string(root) +
                (path.empty() ? "" : "\\" + path));
}
} // namespace

void MemoryRegistry::addKey(RegHandle root, const std::string& path, RegView view) {
    for (size_t pos = 0; pos != std::string::npos;) { // every missing parent too
        pos = path.find('\\', pos + 1);
        keys_[keyName(root, path.substr(0, pos), view)];
    }
}

long MemoryRegistry::open(RegHandle root, const std::string& path, RegView view, bool create,
                          bool writable, RegHandle& key) {
    if (!isRoot(root)) {
        return kRegInvalidHandle;
    }
    if (!keyExists(root, path, view) && !create) {
        return kRegFileNotFound;
    }
    if ((writable || !keyExists(root, path, view)) && readOnlyRoots.contains(root)) {
        return kRegAccessDenied;
    }
    addKey(root, path, view);
    key = nextHandle_++;
    handles_[key] = {root, path, view, writable};
    return kRegSuccess;
}

long MemoryRegistry::setValue(RegHandle key, const std::string& name, std::uint32_t type,
                              std::string_view data) {
    return store(key, name, {type, std::string(data), false});
}

long MemoryRegistry::setUnicodeText(RegHandle key, const std::string& name, std::string_view text) {
    return store(key, name, {kRegSz, std::string(text) + '\0', true});
}

long MemoryRegistry::store(RegHandle key, const std::string& name, Value value) {
    auto it = handles_.find(key);
    if (it == handles_.end() || !it->second.writable) {
        return kRegAccessDenied;
    }
    keys_[keyName(it->second.root, it->second.path, it->second.view)][fold(name)] =
        std::move(value);
    writes.push_back({it->second.root, it->second.path, name});
    return kRegSuccess;
}

long MemoryRegistry::queryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                char* data, std::uint32_t* size) {
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        return kRegInvalidHandle;
    }
    const Value* value = find(it->second.root, it->second.path, name, it->second.view);
    if (value == nullptr) {
        return kRegFileNotFound;
    }
    if (type != nullptr) {
        *type = value->type;
    }
    auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data == nullptr || *size < needed) {
        *size = overstateSizeQueries ? 2 * needed : needed;
        return data == nullptr ? kRegSuccess : kRegMoreData;
    }
    std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return kRegSuccess;
}

long MemoryRegistry::deleteValue(RegHandle key, const std::string& name) {
    auto it = handles_.find(key);
    if (it == handles_.end() || !it->second.writable) {
        return kRegAccessDenied;
    }
    return keys_[keyName(it->second.root, it->second.path, it->second.view)].erase(fold(name)) == 1
               ? kRegSuccess
               : kRegFileNotFound;
}

bool MemoryRegistry::keyExists(RegHandle root, const std::string& path, RegView view) const {
    return (isRoot(root) && path.empty()) || keys_.contains(keyName(root, path, view));
}

void MemoryRegistry::put(RegHandle root, const std::string& path, const std::string& name,
                         Value value, RegView view) {
    addKey(root, path, view);
    keys_[keyName(root, path, view)][fold(name)] = std::move(value);
}

const MemoryRegistry::Value* MemoryRegistry::find(RegHandle root, const std::string& path,
                                                  const std::string& name, RegView view) const {
    auto key = keys_.find(keyName(root, path, view));
    if (key == keys_.end()) {
        return nullptr;
    }
    auto value = key->second.find(fold(name));
    return value == key->second.end() ? nullptr : &value->second;
}

} // namespace quellix::test
