#include "launch/registration.h"

#include "config/settings.h"
#include "test_system.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quellix {
namespace {

using test::MemoryRegistry;

constexpr RegHandle kClassesRoot = 0x80000000;
constexpr RegHandle kCurrentUser = 0x80000001;
constexpr RegHandle kLocalMachine = 0x80000002;

struct Root {
    RegHandle handle;
    std::string protocolKey; // where "vx" lives under that root
};

const std::vector<Root>& everyRoot() {
    static const std::vector<Root> roots{{kClassesRoot, "vx"},
                                         {kLocalMachine, "software\\vx"},
                                         {kCurrentUser, "Software\\Classes\\vx"}};
    return roots;
}

std::string stored(const MemoryRegistry& registry, RegHandle root, const std::string& key,
                   const std::string& name) {
    const MemoryRegistry::Value* value = registry.find(root, key, name);
    if (value == nullptr) {
        return "<missing>";
    }
    return value->type == kRegSz ? value->data : "<not REG_SZ>";
}

TEST(Registration, EveryRootGetsTheProtocolAndTheQuotedCommand) {
    struct Case {
        std::string folder;
        std::string command; // ANSI bytes, without the terminator
    };
    const std::vector<Case> cases{
        {"C:\\Quellix", "\"C:\\Quellix\\quellix.exe\" %1"},
        {"C:\\Program Files\\Jeux Vorbanix",
         "\"C:\\Program Files\\Jeux Vorbanix\\quellix.exe\" %1"},
        {"C:\\Users\\Zoé\\Bureau", "\"C:\\Users\\Zo\xE9\\Bureau\\quellix.exe\" %1"},
        {"E:\\", "\"E:\\\\quellix.exe\" %1"},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        t.process.folder = c.folder;
        registerVxProtocol(t.os);
        for (const Root& root : everyRoot()) {
            const std::string command = root.protocolKey + "\\shell\\open\\command";
            EXPECT_EQ(stored(t.registry, root.handle, root.protocolKey, ""),
                      std::string("URL: vx Protocol\0", 17))
                << c.folder << " " << root.protocolKey;
            EXPECT_EQ(stored(t.registry, root.handle, root.protocolKey, "URL Protocol"),
                      std::string(1, '\0'))
                << c.folder << " " << root.protocolKey;
            EXPECT_EQ(stored(t.registry, root.handle, command, ""), c.command + '\0')
                << c.folder << " " << root.protocolKey;
        }
        EXPECT_EQ(t.registry.openHandles(), 0u);
    }
}

TEST(Registration, WritesTheMachineRootsFirstThenTheCurrentUser) {
    test::TestSystem t;
    registerVxProtocol(t.os);
    const std::vector<MemoryRegistry::Write> expected{
        {kClassesRoot, "vx", ""},
        {kClassesRoot, "vx", "URL Protocol"},
        {kClassesRoot, "vx\\shell\\open\\command", ""},
        {kLocalMachine, "software\\vx", ""},
        {kLocalMachine, "software\\vx", "URL Protocol"},
        {kLocalMachine, "software\\vx\\shell\\open\\command", ""},
        {kCurrentUser, "Software\\Classes\\vx", ""},
        {kCurrentUser, "Software\\Classes\\vx", "URL Protocol"},
        {kCurrentUser, "Software\\Classes\\vx\\shell\\open\\command", ""},
    };
    EXPECT_EQ(t.registry.writes, expected);
}

TEST(Registration, AStandardUserStillRegistersForHimself) {
    test::TestSystem t;
    t.registry.readOnlyRoots = {kClassesRoot, kLocalMachine};
    registerVxProtocol(t.os);
    EXPECT_FALSE(t.registry.keyExists(kClassesRoot, "vx"));
    EXPECT_FALSE(t.registry.keyExists(kLocalMachine, "software\\vx"));
    EXPECT_EQ(stored(t.registry, kCurrentUser, "Software\\Classes\\vx\\shell\\open\\command", ""),
              std::string("\"C:\\Quellix\\quellix.exe\" %1\0", 28));
    EXPECT_EQ(t.registry.openHandles(), 0u);
}

TEST(Registration, EachStartPointsTheCommandAtItsOwnFolder) {
    test::TestSystem t;
    for (const Root& root : everyRoot()) {
        t.registry.put(root.handle, root.protocolKey + "\\shell\\open\\command", "",
                       {kRegSz, std::string("C:\\Ancien\\quellix.exe %1\0", 25)});
    }
    t.process.folder = "D:\\Nouveau";
    registerVxProtocol(t.os);
    for (const Root& root : everyRoot()) {
        EXPECT_EQ(stored(t.registry, root.handle, root.protocolKey + "\\shell\\open\\command", ""),
                  std::string("\"D:\\Nouveau\\quellix.exe\" %1\0", 28))
            << root.protocolKey;
    }
}

TEST(Registration, ConfigFileIsCreatedOnlyWhenNoFileIsThere) {
    const std::string config = "C:\\Quellix\\config.ini";
    struct Case {
        const char* what;
        std::optional<test::MemoryFiles::File> existing;
        bool failCreate;
        ConfigFile result;
    };
    const std::vector<Case> cases{
        {"edited file", test::MemoryFiles::File{"[general]\r\nsansvalidation=0\r\n"}, false,
         ConfigFile::Existed},
        {"empty file", test::MemoryFiles::File{}, false, ConfigFile::Existed},
        {"hidden empty file", test::MemoryFiles::File{"", false, true}, false, ConfigFile::Existed},
        {"read-only file", test::MemoryFiles::File{"x", true}, false, ConfigFile::Existed},
        {"no file", std::nullopt, false, ConfigFile::Created},
        {"no file, folder without write access", std::nullopt, true, ConfigFile::CouldNotCreate},
    };
    for (const Case& c : cases) {
        test::TestSystem t;
        t.registry.put(kLocalMachine, "SOFTWARE\\Id\\Quake III Arena", "INSTALLEXEPATH",
                       {kRegSz, std::string("D:\\Q3\\quake3.exe\0", 17)});
        if (c.existing) {
            t.files.files[config] = *c.existing;
        }
        t.files.failCreate = c.failCreate;

        EXPECT_EQ(ensureConfigFile(t.os), c.result) << c.what;
        if (c.existing) {
            EXPECT_EQ(t.files.files[config].bytes, c.existing->bytes) << c.what;
            EXPECT_TRUE(t.files.writes.empty()) << c.what;
        } else if (c.result == ConfigFile::Created) {
            EXPECT_EQ(LireIni(t.os, "general", "sansvalidation", config, "?"), "1") << c.what;
            EXPECT_EQ(LireIni(t.os, "q3", "path", config, "?"), "D:\\Q3\\quake3.exe") << c.what;
            EXPECT_EQ(LireIni(t.os, "cod", "present", config, "?"), "0") << c.what;
        } else {
            EXPECT_TRUE(t.files.files.empty()) << c.what;
            EXPECT_TRUE(t.files.writes.empty()) << c.what << ": defaults written anyway";
        }
    }
}

} // namespace
} // namespace quellix
