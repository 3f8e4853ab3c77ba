#include "memory_registry.h"

#include <cstring>
#include <string>
#include <utility>

namespace quellix::test {

namespace {
bool isRoot(RegHandle handle) {
    return handle >= 0x80000000u && handle <= 0x80000006u;
}
} // namespace

std::string MemoryRegistry::fold(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string MemoryRegistry::keyName(RegHandle root, const std::string& path) {
    std::string name = std::to_string(root);
    if (!path.empty()) {
        name += "\\" + path;
    }
    return fold(name);
}

long MemoryRegistry::resolve(RegHandle parent, const std::string& subKey, RegHandle& root,
                             std::string& path) const {
    if (isRoot(parent)) {
        root = parent;
        path = subKey;
        return kRegSuccess;
    }
    auto it = handles_.find(parent);
    if (it == handles_.end()) {
        return kRegInvalidHandle;
    }
    root = it->second.first;
    path = it->second.second.empty() ? subKey : it->second.second + "\\" + subKey;
    return kRegSuccess;
}

RegHandle MemoryRegistry::newHandle(RegHandle root, const std::string& path, bool readOnly) {
    RegHandle key = nextHandle_++;
    handles_[key] = {root, path};
    if (readOnly) {
        readOnlyHandles_.insert(key);
    }
    return key;
}

void MemoryRegistry::addKey(RegHandle root, const std::string& path) {
    // Every missing parent is created too.
    for (size_t pos = 0; pos != std::string::npos;) {
        pos = path.find('\\', pos + 1);
        keys_[keyName(root, path.substr(0, pos))];
    }
}

void MemoryRegistry::lock(RegHandle root, const std::string& path) {
    locked_.insert(keyName(root, path));
}

long MemoryRegistry::createKey(RegHandle parent, const std::string& subKey, RegHandle& key) {
    RegHandle root = 0;
    std::string path;
    if (long status = resolve(parent, subKey, root, path); status != kRegSuccess) {
        return status;
    }
    if (locked_.contains(keyName(root, path))) {
        return kRegAccessDenied;
    }
    if (!keyExists(root, path) && readOnlyRoots.contains(root)) {
        return kRegAccessDenied;
    }
    addKey(root, path);
    key = newHandle(root, path, readOnlyRoots.contains(root));
    return kRegSuccess;
}

long MemoryRegistry::openKey(RegHandle parent, const std::string& subKey, RegAccess access,
                             RegHandle& key) {
    RegHandle root = 0;
    std::string path;
    if (long status = resolve(parent, subKey, root, path); status != kRegSuccess) {
        return status;
    }
    if (!keyExists(root, path)) {
        return kRegFileNotFound;
    }
    if (locked_.contains(keyName(root, path)) ||
        (access == RegAccess::ReadWrite && readOnlyRoots.contains(root))) {
        return kRegAccessDenied;
    }
    key = newHandle(root, path, access == RegAccess::Read);
    return kRegSuccess;
}

long MemoryRegistry::setValue(RegHandle key, const std::string& name, std::uint32_t type,
                              std::string_view data) {
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        return kRegInvalidHandle;
    }
    if (readOnlyHandles_.contains(key)) {
        return kRegAccessDenied;
    }
    keys_[keyName(it->second.first, it->second.second)][fold(name)] = {type, std::string(data)};
    writes.push_back({it->second.first, it->second.second, name});
    return kRegSuccess;
}

long MemoryRegistry::queryValue(RegHandle key, const std::string& name, std::uint32_t* type,
                                char* data, std::uint32_t* size) {
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        return kRegInvalidHandle;
    }
    const Value* value = find(it->second.first, it->second.second, name);
    if (value == nullptr) {
        return kRegFileNotFound;
    }
    if (type != nullptr) {
        *type = value->type;
    }
    auto needed = static_cast<std::uint32_t>(value->data.size());
    if (data == nullptr) {
        if (size != nullptr) {
            *size = overstateSizeQueries ? 2 * needed : needed;
        }
        return kRegSuccess;
    }
    if (size == nullptr) {
        return 87; // ERROR_INVALID_PARAMETER
    }
    if (*size < needed) {
        *size = overstateSizeQueries ? 2 * needed : needed;
        return kRegMoreData;
    }
    std::memcpy(data, value->data.data(), needed);
    *size = needed;
    return kRegSuccess;
}

long MemoryRegistry::deleteValue(RegHandle key, const std::string& name) {
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        return kRegInvalidHandle;
    }
    if (readOnlyHandles_.contains(key)) {
        return kRegAccessDenied;
    }
    auto& values = keys_[keyName(it->second.first, it->second.second)];
    return values.erase(fold(name)) == 1 ? kRegSuccess : kRegFileNotFound;
}

void MemoryRegistry::closeKey(RegHandle key) {
    handles_.erase(key);
    readOnlyHandles_.erase(key);
}

bool MemoryRegistry::keyExists(RegHandle root, const std::string& path) const {
    return (isRoot(root) && path.empty()) || keys_.contains(keyName(root, path));
}

void MemoryRegistry::put(RegHandle root, const std::string& path, const std::string& name,
                         Value value) {
    // A fixture: written whatever the locks and read-only roots say, and not logged.
    addKey(root, path);
    keys_[keyName(root, path)][fold(name)] = std::move(value);
}

const MemoryRegistry::Value* MemoryRegistry::find(RegHandle root, const std::string& path,
                                                  const std::string& name) const {
    auto key = keys_.find(keyName(root, path));
    if (key == keys_.end()) {
        return nullptr;
    }
    auto value = key->second.find(fold(name));
    return value == key->second.end() ? nullptr : &value->second;
}

} // namespace quellix::test
