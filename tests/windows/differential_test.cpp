// Our settings and registry layers against the system's own functions, on the same random (seeded,
// reproducible) sequences of operations: every value read must agree.
//
// config.ini: LireIni/EcrireIni through the Windows ports on one file, GetPrivateProfileStringA /
// WritePrivateProfileStringA on another that starts as its copy. Our engine deliberately reads a
// value in full where the system stops at 254 characters: only those are compared then.
//
// Registry: DonnerValeur/LireValeur/SupprValeur through WindowsRegistry under one test key, the
// ANSI registry functions on the 32-bit view under another; values of the types the layer does not
// write are put under both keys alike, and the layer must read them by its rule (the bytes less
// the last one, as ANSI text).
//
// QUELLIX_DIFFERENTIAL_SEED chooses another seed; the seed in use is printed.

#include "harness.h"
#include "registry_fixture.h"

#include "config/settings.h"
#include "fake_process.h"
#include "registry/registry.h"
#include "scripted_dialogs.h"
#include "windows/ansi_win.h"
#include "windows/files_win.h"
#include "windows/registry_win.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace quellix {
namespace {

unsigned seed() {
    const char* text = std::getenv("QUELLIX_DIFFERENTIAL_SEED");
    return text != nullptr ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : 20240605u;
}

struct WindowsSystem {
    win::WindowsRegistry registry;
    win::WindowsFiles files;
    test::FakeProcess process;
    test::ScriptedDialogs dialogs;
    win::WindowsAnsiCodePage ansi;
    System os{registry, files, process, dialogs, ansi};
};

// Random names and values as players' files and installers hold them.
class Generator {
public:
    Generator(unsigned seed, bool accentsStorable) : random_(seed), accents_(accentsStorable) {}

    size_t below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }
    bool chance(size_t oneIn) { return below(oneIn) == 0; }

    // One of the names, its ASCII letters in a random case.
    std::string name(const std::vector<std::string>& names) {
        std::string text = names[below(names.size())];
        for (char& c : text) {
            if (chance(2)) {
                if (c >= 'a' && c <= 'z') {
                    c = static_cast<char>(c - 'a' + 'A');
                } else if (c >= 'A' && c <= 'Z') {
                    c = static_cast<char>(c - 'A' + 'a');
                }
            }
        }
        return text;
    }

    std::string word(size_t length) {
        static constexpr std::string_view kLetters =
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.:";
        std::string text;
        for (size_t i = 0; i < length; ++i) {
            text += kLetters[below(kLetters.size())];
        }
        return text;
    }

    // Wine's own writer drops blanks at the start of a value where Windows keeps them; both read
    // the value without them, so the reads still agree.
    std::string value() {
        static constexpr std::array<std::string_view, 14> kAwkward = {
            "  lead", " ",   "\t x", "\"",  "\"\"", "''",      "'a\"",
            "a=b",    "; c", "x ;y", "[s]", "a\tb", " \"q\" ", "\"a b\" "};
        std::string text;
        switch (below(10)) {
        case 0:
            return "";
        case 1:
            return below(2) == 0 ? "0" : "1";
        case 2:
            text = "C:\\Jeux ";
            text += word(1 + below(8)) + "\\" + word(1 + below(6)) + ".exe";
            return text;
        case 3:
            if (!accents_) {
                return word(12);
            }
            text = "D:\\Jeux vid\xC3\xA9o\\";
            text += word(4) + "\\\xC3\xA9t\xC3\xA9.exe";
            return text;
        case 4: // blanks and tabs after the value
            return word(1 + below(10)) + (chance(2) ? "  " : "\t ");
        case 5: // blanks inside
            return word(3) + " " + word(4) + "  " + word(2);
        case 6: // longer than the system reads
            return word(200 + below(200));
        case 7: // quoted
            text = "\"";
            text += word(1 + below(5)) + " " + word(3) + "\"";
            return text;
        case 8:
            return std::string(kAwkward[below(kAwkward.size())]);
        default:
            return word(1 + below(30));
        }
    }

private:
    std::mt19937 random_;
    bool accents_;
};

std::string ansiOf(AnsiCodePage& ansi, const std::string& utf8) {
    std::optional<std::string> text = ansi.toAnsi(utf8);
    EXPECT_TRUE(text.has_value()) << utf8;
    return text.value_or("");
}

// --- config.ini ---------------------------------------------------------------------------------

const std::vector<std::string> kSections = {"General", "q3",   "UT2003", "dod",
                                            "cod",     "Jeux", "absente"};
const std::vector<std::string> kKeys = {"Path",  "present", "sansvalidation", "acceleration",
                                        "extra", "nom",     "manquante"};

// The start of a sequence: no file, the default layout, or a file edited by hand.
std::string initialFile(size_t sequence) {
    switch (sequence % 3) {
    case 0:
        return "";
    case 1: {
        std::string file = "[General]\r\nsansvalidation=1\r\nacceleration=0\r\n";
        for (const char* section : {"dod", "shl", "scs", "stfc", "ja", "jo", "q3", "UT2003",
                                    "mohaa", "ut2k4", "ef2", "bf", "cod"}) {
            file += std::string("[") + section + "]\r\nPath= \r\npresent=0\r\n";
        }
        return file;
    }
    default:
        return "; r\xE9glages\r\n\r\n[general]\r\n  sansvalidation = 0  \r\n\r\n[Q3]\r\n"
               "path=\"C:\\Program Files\\Quake III Arena\\quake3.exe\"\r\n\r\n[Jeux]\r\n"
               "nom=\tun nom \t\r\n";
    }
}

struct ProfileCounts {
    size_t reads = 0;
    size_t writes = 0;
    size_t longReads = 0;
};

class ProfileDifferential {
public:
    ProfileDifferential(WindowsSystem& sys, const std::string& folder, size_t sequence)
        : sys_(sys), ours_(folder + "\\ours-" + std::to_string(sequence) + ".ini"),
          theirs_(folder + "\\theirs-" + std::to_string(sequence) + ".ini") {
        std::string start = initialFile(sequence);
        if (!start.empty()) {
            EXPECT_TRUE(wintest::writeBytes(ours_, start));
            EXPECT_TRUE(wintest::writeBytes(theirs_, start));
        }
        theirsAnsi_ = ansiOf(sys_.ansi, theirs_);
    }

    void write(const std::string& section, const std::string& key, const std::string& value,
               ProfileCounts& counts) {
        bool ours = EcrireIni(sys_.os, section, key, value, ours_);
        bool theirs = WritePrivateProfileStringA(
                          ansiOf(sys_.ansi, section).c_str(), ansiOf(sys_.ansi, key).c_str(),
                          ansiOf(sys_.ansi, value).c_str(), theirsAnsi_.c_str()) != 0;
        EXPECT_EQ(ours, theirs) << section << "/" << key << "=" << value;
        ++counts.writes;
    }

    void compareRead(const std::string& section, const std::string& key, ProfileCounts& counts) {
        std::string ours = ansiOf(sys_.ansi, LireIni(sys_.os, section, key, ours_, ""));
        char buffer[255] = {};
        DWORD length = GetPrivateProfileStringA(ansiOf(sys_.ansi, section).c_str(),
                                                ansiOf(sys_.ansi, key).c_str(), "", buffer,
                                                sizeof(buffer), theirsAnsi_.c_str());
        std::string theirs(buffer, length);
        if (ours.size() > 254) {
            ++counts.longReads;
            ours.resize(254);
        }
        EXPECT_EQ(ours, theirs) << section << "/" << key;
        ++counts.reads;
    }

private:
    WindowsSystem& sys_;
    std::string ours_;
    std::string theirs_;
    std::string theirsAnsi_;
};

TEST(Differential, ConfigReadsAgreeWithTheSystemProfileFunctions) {
    WindowsSystem sys;
    const std::string folder = wintest::scratchFolder("differential-profile");
    const bool accents = sys.ansi.toAnsi("\xC3\xA9").has_value();
    Generator random(seed(), accents);
    constexpr size_t kSequences = 24;
    constexpr size_t kOperations = 100;

    ProfileCounts counts;
    for (size_t sequence = 0; sequence < kSequences; ++sequence) {
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        ProfileDifferential both(sys, folder, sequence);
        for (size_t op = 0; op < kOperations; ++op) {
            const std::string section = random.name(kSections);
            const std::string key = random.name(kKeys);
            if (random.chance(2)) {
                both.write(section, key, random.value(), counts);
                // Read it back under another spelling of the same names.
                both.compareRead(random.name({section}), random.name({key}), counts);
            } else {
                both.compareRead(section, key, counts);
            }
        }
        for (const std::string& section : kSections) {
            for (const std::string& key : kKeys) {
                both.compareRead(random.name({section}), random.name({key}), counts);
            }
        }
    }
    std::printf("differential config.ini (seed %u): %zu reads compared (%zu cut at 254), "
                "%zu writes, %zu sequences\n",
                seed(), counts.reads, counts.longReads, counts.writes, kSequences);
    EXPECT_GT(counts.longReads, 0u);
}

// --- Registry -----------------------------------------------------------------------------------

const std::string kBase = "Software\\QuellixDifferential";
const std::string kOurs = kBase + "\\Ours";
const std::string kTheirs = kBase + "\\Theirs";
const std::vector<std::string> kSubKeys = {"Jeux", "Jeux\\Quake III Arena", "Valve\\Steam", "Vide"};
const std::vector<std::string> kValueNames = {"", "INSTALLEXEPATH", "ModInstallPath", "nom",
                                              "Absente"};

struct RawRead {
    LONG status = ERROR_SUCCESS;
    DWORD type = 0;
    std::string bytes;
    bool operator==(const RawRead&) const = default;
};

// The value through the ANSI function, in the 32-bit view.
RawRead queryA(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    RawRead read;
    read.status =
        RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key);
    if (read.status != ERROR_SUCCESS) {
        return read;
    }
    DWORD size = 0;
    read.status = RegQueryValueExA(key, name.c_str(), nullptr, &read.type, nullptr, &size);
    if (read.status == ERROR_SUCCESS) {
        read.bytes.resize(size);
        read.status = RegQueryValueExA(key, name.c_str(), nullptr, &read.type,
                                       reinterpret_cast<BYTE*>(read.bytes.data()), &size);
        read.bytes.resize(size);
    }
    RegCloseKey(key);
    return read;
}

bool setA(const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE | KEY_WOW64_32KEY,
                        nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool written =
        RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                       static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
    RegCloseKey(key);
    return written;
}

void deleteA(const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
}

// Values of the types that installers write and the layer only reads.
std::pair<DWORD, std::string> foreignValue(Generator& random) {
    switch (random.below(4)) {
    case 0: {
        std::string bytes(4, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(0x20 + random.below(0x5F));
        }
        return {REG_DWORD, bytes};
    }
    case 1:
        return {REG_BINARY, random.word(random.below(4))};
    case 2:
        return {REG_EXPAND_SZ, "%ProgramFiles%\\" + random.word(5) + '\0'};
    default:
        return {REG_MULTI_SZ, random.word(3) + '\0' + random.word(2) + '\0' + '\0'};
    }
}

TEST(Differential, RegistryLayerAgreesWithTheAnsiRegistryFunctions) {
    WindowsSystem sys;
    ASSERT_TRUE(wintest::deleteKeyTree(HKEY_CURRENT_USER, kBase));
    const bool accents = sys.ansi.toAnsi("\xC3\xA9").has_value();
    Generator random(seed() + 1, accents);
    constexpr size_t kOperations = 1500;
    size_t reads = 0;
    size_t changes = 0;

    for (size_t op = 0; op < kOperations; ++op) {
        const std::string sub = random.name(kSubKeys);
        const std::string name = random.name(kValueNames);
        const std::string ours = kOurs + "\\" + sub;
        const std::string theirs = kTheirs + "\\" + sub;
        switch (random.below(6)) {
        case 0:
        case 1: { // a text, written by the layer and by the system function
            std::string data = random.value();
            EXPECT_TRUE(DonnerValeur(sys.os, 1, ours, name, data));
            EXPECT_TRUE(
                setA(theirs, ansiOf(sys.ansi, name), REG_SZ, ansiOf(sys.ansi, data) + '\0'));
            ++changes;
            break;
        }
        case 2: // removed by each
            SupprValeur(sys.os, 1, ours, name);
            deleteA(theirs, ansiOf(sys.ansi, name));
            ++changes;
            break;
        case 3: { // a value of another type, put under both keys
            auto [type, bytes] = foreignValue(random);
            EXPECT_TRUE(setA(ours, ansiOf(sys.ansi, name), type, bytes));
            EXPECT_TRUE(setA(theirs, ansiOf(sys.ansi, name), type, bytes));
            ++changes;
            break;
        }
        default:
            break;
        }
        // Every operation is followed by a read of the same value both ways.
        const std::string readName = random.name({name});
        RawRead stored = queryA(theirs, ansiOf(sys.ansi, readName));
        std::string expected;
        if (stored.status == ERROR_SUCCESS && stored.bytes.size() >= 2) {
            expected = sys.ansi.fromAnsi(stored.bytes.substr(0, stored.bytes.size() - 1));
        }
        EXPECT_EQ(LireValeur(sys.os, 1, random.name({ours}), readName), expected)
            << sub << " / " << readName;
        // The bytes the layer stored are the bytes the system function stored.
        EXPECT_EQ(queryA(ours, ansiOf(sys.ansi, readName)), stored) << sub << " / " << readName;
        EXPECT_EQ(wintest::keyExists(HKEY_CURRENT_USER, ours),
                  wintest::keyExists(HKEY_CURRENT_USER, theirs))
            << sub;
        reads += 3;
    }
    std::printf("differential registry (seed %u): %zu comparisons after %zu changes, "
                "%zu operations\n",
                seed() + 1, reads, changes, kOperations);
    EXPECT_TRUE(wintest::deleteKeyTree(HKEY_CURRENT_USER, kBase));
}

} // namespace
} // namespace quellix
