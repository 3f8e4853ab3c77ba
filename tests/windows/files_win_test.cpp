#include "config/atomic_file.h"
#include "harness.h"
#include "windows/files_win.h"
#include "windows/wide.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

namespace quellix {
namespace {

using win::widen;

void addAttribute(const std::string& path, DWORD attribute) {
    DWORD now = GetFileAttributesW(widen(path).c_str());
    ASSERT_TRUE(SetFileAttributesW(widen(path).c_str(), now | attribute)) << path;
}

class FilesWin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(folder.empty()); }
    // Read-only files would stop the next run from emptying the folder.
    void TearDown() override {
        SetFileAttributesW(widen(folder + "\\readonly.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    std::string folder = wintest::scratchFolder("files_win");
    win::WindowsFiles files;
};

TEST_F(FilesWin, ExistsCountsNormalAndHiddenFilesOnly) {
    ASSERT_TRUE(wintest::writeBytes(folder + "\\normal.txt", "n"));
    ASSERT_TRUE(wintest::writeBytes(folder + "\\hidden.txt", "h"));
    addAttribute(folder + "\\hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(wintest::makeFolders(folder + "\\sub"));
    const std::string nul("\\normal.txt\0.exe", 16);
    // clang-format off
    for (const auto& [path, file, isFolder] : std::vector<std::tuple<std::string, bool, bool>>{
             {"\\normal.txt", true, false}, {"\\hidden.txt", true, false}, {"\\sub", false, true},
             {"\\missing.txt", false, false}, {"\\norm*.txt", false, false}, {nul, false, false}}) {
        // clang-format on
        EXPECT_EQ(files.fileExists(folder + path), file) << path;
        EXPECT_EQ(files.folderExists(folder + path), isFolder) << path;
    }
}

TEST_F(FilesWin, WritesReadsAndCreatesEveryByteUnderAnAccentedName) {
    const std::string sub = folder + "\\Bibliothèque été";
    const std::string path = sub + "\\data.bin";
    ASSERT_TRUE(wintest::makeFolders(sub));
    EXPECT_TRUE(files.createEmptyFile(path));
    EXPECT_EQ(files.readFile(path), "");
    // Named in UTF-16 from the UTF-8 text, not through the ANSI code page.
    EXPECT_NE(GetFileAttributesW(
                  (widen(folder) + L"\\Biblioth\u00e8que \u00e9t\u00e9\\data.bin").c_str()),
              INVALID_FILE_ATTRIBUTES);
    std::string all;
    for (int i = 0; i < 256; ++i) {
        all += static_cast<char>(i);
    }
    for (const std::string& bytes :
         {all, std::string(3 * 1024 * 1024 + 7, 'x'), std::string("ab")}) {
        ASSERT_TRUE(files.writeNewFile(path, bytes));
        EXPECT_EQ(wintest::readBytes(path), bytes);
        EXPECT_EQ(files.readFile(path), bytes);
    }
    EXPECT_FALSE(files.createEmptyFile(path)) << "an existing file is never emptied";
    EXPECT_EQ(wintest::readBytes(path), "ab");
    EXPECT_TRUE(files.removeFile(path));
    EXPECT_EQ(files.readFile(sub), std::nullopt) << "a folder is not a file";
    EXPECT_FALSE(files.writeNewFile(folder + "\\missing\\data.bin", "x"));
}

TEST_F(FilesWin, ReplaceKeepsTheHiddenAttributeOrMovesIntoAMissingTarget) {
    for (bool targetThere : {true, false}) {
        const std::string target = folder + (targetThere ? "\\hidden.ini" : "\\new.ini");
        if (targetThere) {
            ASSERT_TRUE(wintest::writeBytes(target, "old"));
            addAttribute(target, FILE_ATTRIBUTE_HIDDEN);
        }
        ASSERT_TRUE(wintest::writeBytes(target + ".tmp", "new"));
        EXPECT_TRUE(files.replaceFile(target + ".tmp", target));
        EXPECT_EQ(wintest::readBytes(target), "new");
        EXPECT_EQ((GetFileAttributesW(widen(target).c_str()) & FILE_ATTRIBUTE_HIDDEN) != 0,
                  targetThere);
        EXPECT_FALSE(files.fileExists(target + ".tmp"));
        EXPECT_FALSE(files.replaceFile(target + ".tmp", target)) << "no source any more";
    }
}

TEST_F(FilesWin, AReadOnlyFileIsLeftIntact) {
    const std::string path = folder + "\\readonly.ini";
    ASSERT_TRUE(wintest::writeBytes(path, "[q3]\r\nPath=a\r\n"));
    addAttribute(path, FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(files.isReadOnly(path));
    EXPECT_FALSE(replaceFileContents(files, path, "[q3]\r\nPath=b\r\n", 7));
    EXPECT_EQ(wintest::readBytes(path), "[q3]\r\nPath=a\r\n");
    EXPECT_FALSE(files.fileExists(path + ".7.tmp"));
    EXPECT_FALSE(files.removeFile(path));
}

} // namespace
} // namespace quellix
