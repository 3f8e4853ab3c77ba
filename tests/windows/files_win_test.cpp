#include "config/atomic_file.h"
#include "config/settings.h"
#include "fake_process.h"
#include "harness.h"
#include "memory_registry.h"
#include "platform/windows/ansi_win.h"
#include "platform/windows/files_win.h"
#include "platform/windows/wide.h"
#include "scripted_dialogs.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace quellix {
namespace {

using win::widen;

DWORD attributes(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str());
}

void addAttribute(const std::string& path, DWORD attribute) {
    ASSERT_TRUE(SetFileAttributesW(widen(path).c_str(), attributes(path) | attribute));
}

class FilesWin : public ::testing::Test {
protected:
    void SetUp() override {
        folder = wintest::scratchFolder("files_win");
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        // Read-only files would stop the next run from emptying the folder.
        for (const char* name : {"readonly.ini", "config.ini"}) {
            SetFileAttributesW(widen(folder + "\\" + name).c_str(), FILE_ATTRIBUTE_NORMAL);
        }
    }

    std::string folder;
    win::WindowsFiles files;
};

TEST_F(FilesWin, ExistsCountsNormalAndHiddenFilesOnly) {
    ASSERT_TRUE(wintest::writeBytes(folder + "\\normal.txt", "n"));
    ASSERT_TRUE(wintest::writeBytes(folder + "\\hidden.txt", "h"));
    addAttribute(folder + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(wintest::makeFolders(folder + "\\sub"));

    struct Case {
        std::string path;
        bool file;
        bool folder;
    };
    const Case cases[] = {
        {folder + "\\normal.txt", true, false},
        {folder + "\\hidden.txt", true, false},
        {folder + "\\sub", false, true},
        {folder + "\\missing.txt", false, false},
        {folder + "\\missing\\normal.txt", false, false},
        {folder + "\\norm*.txt", false, false},
        {folder + "\\normal.txt|x", false, false},
        {folder + std::string("\\normal.txt\0.exe", 16), false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(files.fileExists(c.path), c.file) << c.path;
        EXPECT_EQ(files.folderExists(c.path), c.folder) << c.path;
    }
}

TEST_F(FilesWin, CreatesAnEmptyFileOnlyWhereNoneIs) {
    const std::string path = folder + "\\config.ini";
    EXPECT_TRUE(files.createEmptyFile(path));
    EXPECT_EQ(files.readFile(path), "");
    ASSERT_TRUE(wintest::writeBytes(path, "[General]\r\n"));
    EXPECT_FALSE(files.createEmptyFile(path)) << "an existing file is never emptied";
    EXPECT_EQ(wintest::readBytes(path), "[General]\r\n");
    EXPECT_FALSE(files.createEmptyFile(folder + "\\missing\\config.ini"));
}

TEST_F(FilesWin, WritesAndReadsEveryByte) {
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    struct Case {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"every byte value", all},
        {"line endings kept", "[a]\r\nk=1\n\r[b]\rk=2"},
        {"large", std::string(3 * 1024 * 1024 + 7, 'x')},
        {"shorter than before", "ab"},
        {"empty", ""},
    };
    const std::string path = folder + "\\data.bin";
    for (const Case& c : cases) {
        ASSERT_TRUE(files.writeNewFile(path, c.bytes)) << c.name;
        EXPECT_EQ(wintest::readBytes(path), c.bytes) << c.name;
        EXPECT_EQ(files.readFile(path), c.bytes) << c.name;
    }
    EXPECT_EQ(files.readFile(folder + "\\missing.bin"), std::nullopt);
    EXPECT_EQ(files.readFile(folder), std::nullopt) << "a folder is not a file";
    EXPECT_FALSE(files.writeNewFile(folder + "\\missing\\data.bin", "x"));
}

TEST_F(FilesWin, ReplaceKeepsTheHiddenAttribute) {
    const std::string target = folder + "\\config.ini";
    ASSERT_TRUE(wintest::writeBytes(target, "old"));
    addAttribute(target, FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(wintest::writeBytes(target + ".tmp", "new"));

    EXPECT_TRUE(files.replaceFile(target + ".tmp", target));
    EXPECT_EQ(wintest::readBytes(target), "new");
    EXPECT_NE(attributes(target) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_FALSE(files.fileExists(target + ".tmp"));
}

TEST_F(FilesWin, ReplaceMovesIntoAMissingTarget) {
    const std::string target = folder + "\\config.ini";
    ASSERT_TRUE(wintest::writeBytes(target + ".tmp", "new"));
    EXPECT_TRUE(files.replaceFile(target + ".tmp", target));
    EXPECT_EQ(wintest::readBytes(target), "new");
    EXPECT_FALSE(files.fileExists(target + ".tmp"));
    EXPECT_FALSE(files.replaceFile(target + ".tmp", target)) << "no source any more";
    EXPECT_EQ(wintest::readBytes(target), "new");
}

TEST_F(FilesWin, AReadOnlyFileIsLeftIntact) {
    const std::string path = folder + "\\readonly.ini";
    ASSERT_TRUE(wintest::writeBytes(path, "[q3]\r\nPath=a\r\n"));
    EXPECT_FALSE(files.isReadOnly(path));
    addAttribute(path, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.isReadOnly(path));

    EXPECT_FALSE(replaceFileContents(files, path, "[q3]\r\nPath=b\r\n"));
    EXPECT_EQ(wintest::readBytes(path), "[q3]\r\nPath=a\r\n");
    EXPECT_TRUE(files.isReadOnly(path));
    EXPECT_FALSE(files.fileExists(path + ".tmp"));
    EXPECT_FALSE(files.removeFile(path));
    EXPECT_TRUE(files.fileExists(path));
}

TEST_F(FilesWin, PathsWithAccentsNameTheRealFile) {
    const std::string sub = folder + "\\Bibliothèque été";
    ASSERT_TRUE(wintest::makeFolders(sub));
    const std::string path = sub + "\\config.ini";
    EXPECT_TRUE(files.folderExists(sub));
    EXPECT_TRUE(files.createEmptyFile(path));
    EXPECT_NE(GetFileAttributesW(
                  (widen(folder) + L"\\Biblioth\u00e8que \u00e9t\u00e9\\config.ini").c_str()),
              INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(files.writeNewFile(path, "é"));
    EXPECT_EQ(files.readFile(path), "é");
    EXPECT_TRUE(files.removeFile(path));
    EXPECT_FALSE(files.fileExists(path));
    EXPECT_FALSE(files.removeFile(path));
}

TEST_F(FilesWin, SettingsRoundTripThroughARealFile) {
    win::WindowsAnsiCodePage ansi;
    test::MemoryRegistry registry;
    test::FakeProcess process;
    test::ScriptedDialogs dialogs;
    process.folder = folder;
    const System os{registry, files, process, dialogs, ansi};
    const std::string path = configPath(process);
    ASSERT_TRUE(wintest::writeBytes(path, "; r\xE9glages\r\n[General]\r\nsansvalidation=1\r\n"));

    EXPECT_TRUE(EcrireIni(os, "UT2003", "Path", "C:\\Jeux été\\UT2003.exe", path));
    EXPECT_TRUE(EcrireIni(os, "UT2003", "present", "1", path));
    EXPECT_TRUE(EcrireIni(os, "general", "sansvalidation", "0", path));

    EXPECT_EQ(LireIni(os, "ut2003", "path", path, ""), "C:\\Jeux été\\UT2003.exe");
    EXPECT_EQ(LireIni(os, "General", "sansvalidation", path, ""), "0");
    EXPECT_EQ(EtatChemin(os, "ut2003"), "1");
    EXPECT_TRUE(JeuPresent(os, "UT2003"));
    std::optional<std::string> stored = wintest::readBytes(path);
    ASSERT_TRUE(stored.has_value());
    if (GetACP() == 1252) {
        EXPECT_EQ(*stored, "; r\xE9glages\r\n[General]\r\nsansvalidation=0\r\n"
                           "[UT2003]\r\nPath=C:\\Jeux \xE9t\xE9\\UT2003.exe\r\npresent=1\r\n");
    }
    EXPECT_FALSE(files.fileExists(path + ".tmp"));
}

} // namespace
} // namespace quellix
