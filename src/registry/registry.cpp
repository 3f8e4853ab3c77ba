#include "registry/registry.h"

#include <algorithm>
#include <optional>
#include <string_view>

namespace quellix {

namespace {

// The autostart entry: a value named by the application title under the machine's Run key.
constexpr std::int32_t kRunRoot = 0;
constexpr std::string_view kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr std::string_view kApplicationTitle = "quellix";

// The opened key, closed when the operation is over.
class OpenedKey {
public:
    OpenedKey(RegistryPort& registry, RegHandle key) : registry_(registry), key_(key) {}
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() { registry_.closeKey(key_); }
    RegHandle handle() const { return key_; }

private:
    RegistryPort& registry_;
    RegHandle key_;
};

enum class OpenMode { CreateMissing, ExistingOnly };

bool isStringType(std::uint32_t type) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

// The open step shared by every key operation. Nothing when the root index is unknown, when the
// path has no ANSI form, or when the registry refuses.
std::optional<RegHandle> openKey(const System& os, std::int32_t HK, const std::string& Chemin,
                                 RegView view, OpenMode mode, RegAccess access) {
    std::uint32_t root = CleRacine(HK);
    if (root == 0) {
        return std::nullopt;
    }
    std::optional<std::string> path = os.ansi.toAnsi(Chemin);
    if (!path) {
        return std::nullopt;
    }
    RegHandle key = 0;
    long status = mode == OpenMode::CreateMissing
                      ? os.registry.createKey(root, *path, view, key)
                      : os.registry.openKey(root, *path, view, access, key);
    if (status != kRegSuccess) {
        return std::nullopt;
    }
    return key;
}

// The autostart command: the program path in quotes, so that a folder with blanks stays one
// argument, then the parameter.
std::string runCommand(const System& os, const std::string& parametre) {
    std::string command = "\"";
    command += os.process.programFolder();
    command += "\\";
    command += kApplicationTitle;
    command += ".exe\" ";
    command += parametre;
    return command;
}

} // namespace

std::uint32_t CleRacine(std::int32_t HK) {
    switch (HK) {
    case 0:
        return 0x80000002u; // HKEY_LOCAL_MACHINE
    case 1:
        return 0x80000001u; // HKEY_CURRENT_USER
    case 2:
        return 0x80000000u; // HKEY_CLASSES_ROOT
    case 3:
        return 0x80000003u; // HKEY_USERS
    case 4:
        return 0x80000004u; // HKEY_PERFORMANCE_DATA
    default:
        return 0;
    }
}

RegHandle CreerCle(const System& os, std::int32_t HK, const std::string& Chemin, RegView view) {
    std::optional<RegHandle> key =
        openKey(os, HK, Chemin, view, OpenMode::CreateMissing, RegAccess::ReadWrite);
    if (!key) {
        return 0;
    }
    OpenedKey opened(os.registry, *key);
    return opened.handle();
}

bool DonnerValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                  const std::string& Valeur, const std::string& donnee, RegView view) {
    std::optional<std::string> name = os.ansi.toAnsi(Valeur);
    if (!name) {
        return false;
    }
    std::optional<RegHandle> key =
        openKey(os, HK, Chemin, view, OpenMode::CreateMissing, RegAccess::ReadWrite);
    if (!key) {
        return false;
    }
    OpenedKey opened(os.registry, *key);
    std::optional<std::string> data = os.ansi.toAnsi(donnee);
    if (!data) {
        // A folder name outside the code page must still be registered whole: the shell reads
        // the command as Unicode anyway.
        return os.registry.setUnicodeText(opened.handle(), Valeur, donnee) == kRegSuccess;
    }
    // A REG_SZ is stored with its terminating zero byte, so an empty text is one zero byte.
    data->push_back('\0');
    return os.registry.setValue(opened.handle(), *name, kRegSz, *data) == kRegSuccess;
}

std::string LireValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                       const std::string& Valeur, RegView view) {
    std::optional<std::string> name = os.ansi.toAnsi(Valeur);
    if (!name) {
        return {};
    }
    std::optional<RegHandle> key =
        openKey(os, HK, Chemin, view, OpenMode::ExistingOnly, RegAccess::Read);
    if (!key) {
        return {};
    }
    OpenedKey opened(os.registry, *key);

    // The size query: only the size reported back counts. A missing value leaves it at 0.
    char scratch[4] = {};
    std::uint32_t type = kRegSz;
    std::uint32_t size = 0;
    os.registry.queryValue(opened.handle(), *name, &type, scratch, &size);
    if (size == 0) {
        return {};
    }

    std::string buffer(static_cast<size_t>(size) + 1, ' ');
    std::uint32_t stated = size;
    if (os.registry.queryValue(opened.handle(), *name, &type, buffer.data(), &stated) !=
            kRegSuccess ||
        stated == 0) {
        // Changed or removed between the two calls: as unreadable as a missing value.
        return {};
    }
    // Any type is read as text. A string loses its terminator, when it was stored with one; any
    // other type loses its last byte (a REG_DWORD reads as three characters).
    size_t length = std::min(static_cast<size_t>(stated), buffer.size());
    if (!isStringType(type) || buffer[length - 1] == '\0') {
        --length;
    }
    return os.ansi.fromAnsi(std::string_view(buffer).substr(0, length));
}

void SupprValeur(const System& os, std::int32_t HK, const std::string& Chemin,
                 const std::string& Valeur, RegView view) {
    std::optional<std::string> name = os.ansi.toAnsi(Valeur);
    if (!name) {
        return;
    }
    std::optional<RegHandle> key =
        openKey(os, HK, Chemin, view, OpenMode::ExistingOnly, RegAccess::ReadWrite);
    if (!key) {
        return;
    }
    OpenedKey opened(os.registry, *key);
    os.registry.deleteValue(opened.handle(), *name);
}

void Run(const System& os, const std::string& parametre) {
    DonnerValeur(os, kRunRoot, std::string(kRunKey), std::string(kApplicationTitle),
                 runCommand(os, parametre));
}

bool IsRun(const System& os) {
    return !LireValeur(os, kRunRoot, std::string(kRunKey), std::string(kApplicationTitle)).empty();
}

void DelRun(const System& os) {
    SupprValeur(os, kRunRoot, std::string(kRunKey), std::string(kApplicationTitle));
}

} // namespace quellix
