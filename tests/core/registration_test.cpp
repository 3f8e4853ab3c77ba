#include "launch/registration.h"

#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace quellix {
namespace {

using test::MemoryRegistry;

constexpr RegHandle kClassesRoot = 0x80000000;
constexpr RegHandle kCurrentUser = 0x80000001;
constexpr RegHandle kLocalMachine = 0x80000002;

std::string stored(const MemoryRegistry& registry, RegHandle root, const std::string& key,
                   const std::string& name = "") {
    const MemoryRegistry::Value* value = registry.find(root, key, name, RegView::Shell);
    return value == nullptr || value->type != kRegSz ? "<missing>" : value->data;
}

TEST(Registration, EveryRootGetsTheProtocolAndTheQuotedCommandMachineRootsFirst) {
    test::TestSystem t;
    t.process.folder = "C:\\Users\\Zoé\\Mes Jeux";
    registerVxProtocol(t.os);
    // A folder name outside the code page is registered whole, in Unicode.
    test::TestSystem polish;
    polish.process.folder = "C:\\Jeux\\Łódź";
    registerVxProtocol(polish.os);
    const MemoryRegistry::Value* command = polish.registry.find(
        kCurrentUser, "Software\\Classes\\vx\\shell\\open\\command", "", RegView::Shell);
    ASSERT_NE(command, nullptr);
    EXPECT_TRUE(command->unicode);
    EXPECT_EQ(command->data, std::string("\"C:\\Jeux\\Łódź\\quellix.exe\" %1") + '\0');
    std::vector<std::tuple<RegHandle, std::string, std::string>> expected;
    for (const auto& [root, key] :
         std::vector<std::pair<RegHandle, std::string>>{{kClassesRoot, "vx"},
                                                        {kLocalMachine, "software\\vx"},
                                                        {kCurrentUser, "Software\\Classes\\vx"}}) {
        EXPECT_EQ(stored(t.registry, root, key), std::string("URL: vx Protocol\0", 17)) << key;
        EXPECT_EQ(stored(t.registry, root, key, "URL Protocol"), std::string(1, '\0')) << key;
        EXPECT_EQ(stored(t.registry, root, key + "\\shell\\open\\command"),
                  std::string("\"C:\\Users\\Zo\xE9\\Mes Jeux\\quellix.exe\" %1") + '\0');
        expected.insert(expected.end(), {{root, key, ""},
                                         {root, key, "URL Protocol"},
                                         {root, key + "\\shell\\open\\command", ""}});
    }
    EXPECT_EQ(t.registry.writes, expected);
    EXPECT_EQ(t.registry.openHandles(), 0u);
}

TEST(Registration, ASecondStartWritesNothingButWhatDiffers) {
    const std::string command = std::string("\"C:\\Quellix\\quellix.exe\" %1") + '\0';
    struct Case {
        RegHandle root; // 0: nothing changed since the first start
        std::string key;
        std::string name;
        MemoryRegistry::Value changed; // type 2 is REG_EXPAND_SZ; no data: the value is removed
        std::string expected;
    };
    for (const Case& c : {
             Case{0, "", "", {}, ""},
             Case{kClassesRoot, "vx", "URL Protocol", {}, std::string(1, '\0')},
             Case{kClassesRoot,
                  "vx",
                  "URL Protocol",
                  {2, std::string(1, '\0')},
                  std::string(1, '\0')},
             Case{kLocalMachine,
                  "software\\vx",
                  "",
                  {kRegSz, "URL: vx Protocol"},
                  std::string("URL: vx Protocol\0", 17)},
             Case{kCurrentUser,
                  "Software\\Classes\\vx\\shell\\open\\command",
                  "",
                  {kRegSz, std::string("\"D:\\Quellix\\quellix.exe\" %1") + '\0'},
                  command},
         }) {
        test::TestSystem t;
        registerVxProtocol(t.os);
        t.registry.writes.clear();
        if (c.root != 0 && c.changed.data.empty()) {
            RegHandle key = 0;
            t.registry.openKey(c.root, c.key, RegView::Shell, RegAccess::ReadWrite, key);
            t.registry.deleteValue(key, c.name);
            t.registry.closeKey(key);
        } else if (c.root != 0) {
            t.registry.put(c.root, c.key, c.name, c.changed, RegView::Shell);
        }
        registerVxProtocol(t.os);
        using Writes = std::vector<std::tuple<RegHandle, std::string, std::string>>;
        const Writes expected = c.root == 0 ? Writes{} : Writes{{c.root, c.key, c.name}};
        EXPECT_EQ(t.registry.writes, expected) << c.key << " " << c.name;
        if (c.root != 0) {
            EXPECT_EQ(stored(t.registry, c.root, c.key, c.name), c.expected);
        }
        EXPECT_EQ(t.registry.openHandles(), 0u);
    }
}

TEST(Registration, AStandardUserStillRegistersForHimself) {
    test::TestSystem t;
    t.registry.readOnlyRoots = {kClassesRoot, kLocalMachine};
    registerVxProtocol(t.os);
    EXPECT_FALSE(t.registry.keyExists(kClassesRoot, "vx", RegView::Shell));
    EXPECT_FALSE(t.registry.keyExists(kLocalMachine, "software\\vx", RegView::Shell));
    EXPECT_EQ(stored(t.registry, kCurrentUser, "Software\\Classes\\vx\\shell\\open\\command"),
              std::string("\"C:\\Quellix\\quellix.exe\" %1\0", 28));
}

TEST(Registration, ConfigFileIsCreatedOnlyWhenNoFileIsThere) {
    const std::string config = "C:\\Quellix\\config.ini";
    const std::string edited = "[general]\r\nsansvalidation=0\r\n";
    struct Case {
        const char* name;
        std::optional<std::string> existing;
        bool failCreate;
        bool failWrites; // the defaults cannot be written
        ConfigFile result;
        const char* sansvalidation; // as read back afterwards
        bool fileLeft;
    };
    const Case cases[] = {
        {"edited", edited, false, false, ConfigFile::Existed, "0", true},
        {"emptied by the user", "", false, true, ConfigFile::Existed, "?", true},
        {"first start", std::nullopt, false, false, ConfigFile::Created, "1", true},
        {"folder refuses the file", std::nullopt, true, false, ConfigFile::CouldNotCreate, "?",
         false},
        // An empty file left behind would hide the installed games from every later start.
        {"defaults not written", std::nullopt, false, true, ConfigFile::CouldNotCreate, "?", false},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        if (c.existing) {
            t.files.files[config].bytes = *c.existing;
        }
        t.files.failCreate = c.failCreate;
        t.files.failReplace = c.failWrites;
        t.files.failWriteNewFile = c.failWrites;
        EXPECT_EQ(ensureConfigFile(t.os), c.result) << c.name;
        EXPECT_EQ(LireIni(t.os, "general", "sansvalidation", config, "?"), c.sansvalidation)
            << c.name;
        EXPECT_EQ(t.files.fileExists(config), c.fileLeft) << c.name;
    }
}

} // namespace
} // namespace quellix
