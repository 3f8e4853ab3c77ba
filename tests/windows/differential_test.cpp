// Our settings and registry layers against the system's own functions, on one seeded random
// sequence of operations (QUELLIX_DIFFERENTIAL_SEED chooses another seed): every value read must
// agree. config.ini: LireIni/EcrireIni on one file, the profile functions on its twin (they stop at
// 254 characters: only those are compared then). Registry: DonnerValeur/LireValeur/SupprValeur
// under one key, the ANSI functions under another; values of types the layer does not write are
// put under both, and must read by the layer's rule (the bytes less the last one).

#include "harness.h"

#include "config/settings.h"
#include "registry/registry.h"
#include "test_system.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/registry_win.h"

#include <random>

namespace quellix::wintest {
namespace {

// Names and values as players' files and installers hold them.
struct Random {
    std::mt19937 engine;
    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(engine); }
    // One of the names, its ASCII letters in a random case.
    std::string pick(const std::vector<std::string>& names) {
        std::string text = names[below(names.size())];
        for (char& c : text) {
            if (std::isalpha(static_cast<unsigned char>(c)) && below(2) == 0) {
                c ^= 0x20;
            }
        }
        return text;
    }
    std::string word(size_t length) {
        std::string text;
        while (text.size() < length) {
            text += "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.:"[below(66)];
        }
        return text;
    }
    std::string value() {
        const std::string w = word(1 + below(10));
        const std::string shapes[] = {
            pick({"", "0", "1", " ", "\t x", "\"", "\"\"", "''", "'a\"", "a=b", "; c", "[s]"}),
            "C:\\Jeux " + w + "\\" + word(4) + ".exe",
            "D:\\Jeux vid\xC3\xA9o\\" + w + ".exe",
            w + "  ",
            w + "\t " + word(2),
            "  " + w,
            word(200 + below(200)),
            "\"" + w + " a\" ",
            w};
        return shapes[below(std::size(shapes))];
    }
};

// A value of HKCU as the ANSI function reads it: its type and bytes, or the error.
std::string queryA(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    DWORD type = 0, size = 4096;
    std::string bytes(size, '\0');
    LONG status = RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key);
    if (status == ERROR_SUCCESS) {
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(bytes.data()), &size);
        RegCloseKey(key);
    }
    return status == ERROR_SUCCESS ? std::to_string(type) + ":" + bytes.substr(0, size)
                                   : "error " + std::to_string(status);
}

TEST(Differential, OurSettingsAndRegistryLayersAgreeWithTheSystemFunctions) {
    const char* seedText = std::getenv("QUELLIX_DIFFERENTIAL_SEED");
    Random random{std::mt19937(seedText != nullptr ? std::stoul(seedText) : 20240605u)};
    SCOPED_TRACE(seedText != nullptr ? seedText : "default seed");
    const std::vector<std::string> sections = {"General", "q3", "UT2003", "Jeux\\Steam", "vide"};
    const std::vector<std::string> keys = {"Path", "present", "sansvalidation", "vide", "absente"};
    std::string defaults = "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n";
    for (const char* game : {"dod", "q3", "UT2003", "mohaa", "cod"}) {
        defaults += std::string("[") + game + "]\r\nPath= \r\npresent=0\r\n";
    }
    const std::string starts[] = {"", defaults,
                                  "; r\xE9glages\r\n\r\n[general]\r\n  sansvalidation = 0  \r\n\r\n"
                                  "[Q3]\r\npath=\"C:\\Program Files\\quake3.exe\"\r\n[vide]\r\n"
                                  "present=\tun nom \t\r\n"};
    const std::string folder = scratchFolder("differential"), base = "Software\\QuellixDiff\\";
    ASSERT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, base));
    win::WindowsRegistry registry;
    win::WindowsFiles files;
    test::TestSystem t;
    win::WindowsAnsiCodePage ansi;
    const System os{registry, files, t.process, t.dialogs, ansi};
    auto a = [&ansi](const std::string& utf8) { return ansi.toAnsi(utf8).value_or("?"); };
    size_t cut = 0;
    for (size_t op = 0; op < 3000; ++op) {
        const std::string file = std::to_string(op / 100) + ".ini", ours = folder + "\\ours" + file,
                          theirs = folder + "\\theirs" + file, start = starts[op / 100 % 3];
        if (op % 100 == 0 && !start.empty()) {
            ASSERT_TRUE(writeBytes(ours, start) && writeBytes(theirs, start));
        }
        const std::string section = random.pick(sections), key = random.pick(keys);
        const std::string name = key == "vide" ? "" : key; // in the registry, the default value
        const std::string value = a(random.value());       // what both can store
        const std::string ourKey = base + "Ours\\" + section,
                          theirKey = base + "Theirs\\" + section;
        if (const size_t kind = random.below(7); kind < 2) { // a setting, written by each
            EXPECT_EQ(EcrireIni(os, section, key, ansi.fromAnsi(value), ours),
                      WritePrivateProfileStringA(a(section).c_str(), a(key).c_str(), value.c_str(),
                                                 a(theirs).c_str()) != 0)
                << section << "/" << key << "=" << value;
        } else if (kind == 2) { // a registry text, written by each
            EXPECT_TRUE(DonnerValeur(os, 1, ourKey, name, ansi.fromAnsi(value)));
            RegSetKeyValueA(HKEY_CURRENT_USER, theirKey.c_str(), a(name).c_str(), REG_SZ,
                            value.c_str(), static_cast<DWORD>(value.size() + 1));
        } else if (kind == 3) { // removed by each
            SupprValeur(os, 1, ourKey, name);
            RegDeleteKeyValueA(HKEY_CURRENT_USER, theirKey.c_str(), a(name).c_str());
        } else if (kind == 4) { // a type that installers write and the layer only reads, under both
            const DWORD types[] = {REG_DWORD, REG_BINARY, REG_EXPAND_SZ, REG_MULTI_SZ};
            for (const std::string& path : {ourKey, theirKey}) {
                RegSetKeyValueA(HKEY_CURRENT_USER, path.c_str(), a(name).c_str(),
                                types[value.size() % 4], value.data(),
                                static_cast<DWORD>(value.size()));
            }
        }
        // Both read back, under another spelling of the same names.
        const std::string readSection = random.pick({section}), readKey = random.pick({key});
        char buffer[255] = {};
        const DWORD length = GetPrivateProfileStringA(a(readSection).c_str(), a(readKey).c_str(),
                                                      "", buffer, 255, a(theirs).c_str());
        const std::string mine = a(LireIni(os, readSection, readKey, ours, ""));
        cut += mine.size() > 254 ? 1 : 0;
        EXPECT_EQ(mine.substr(0, 254), std::string(buffer, length))
            << readSection << "/" << readKey;
        const std::string readName = random.pick({name}), stored = queryA(theirKey, a(readName)),
                          data = stored.substr(stored.find(':') + 1);
        EXPECT_EQ(a(LireValeur(os, 1, base + "Ours\\" + readSection, readName)),
                  stored.starts_with("error") || data.size() < 2 ? ""
                                                                 : data.substr(0, data.size() - 1))
            << section << "/" << readName;
        EXPECT_EQ(queryA(ourKey, a(readName)), stored) << section << "/" << readName;
        EXPECT_EQ(keyExists(HKEY_CURRENT_USER, ourKey), keyExists(HKEY_CURRENT_USER, theirKey));
    }
    EXPECT_GT(cut, 0u) << "no value longer than the profile functions read";
    EXPECT_TRUE(deleteKeyTree(HKEY_CURRENT_USER, base));
}

} // namespace
} // namespace quellix::wintest
