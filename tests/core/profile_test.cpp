// The profile-file engine, one row per rule. What it refuses to write, and that a write changes one
// line only, the profile fuzzer checks from its seeds (fuzz/corpus/profile_fuzz).

#include "config/profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quellix::profile {
namespace {

constexpr std::nullopt_t kMissing = std::nullopt;

TEST(Profile, ReadsValuesWithThePlatformRules) {
    struct Case {
        std::string file, section, key;
        std::optional<std::string> value;
    };
    const std::string longPath = "C:\\" + std::string(297, 'x'); // read in full, no 254 cut
    // clang-format off
    const std::vector<Case> cases{
        {"[q3]\r\nPath=C:\\q3\\quake3.exe\r\n", "q3", "Path", "C:\\q3\\quake3.exe"},
        {"[UT2003]\r\nPath=u\r\n", "ut2003", "PATH", "u"}, {"[g]\r\nk= \tv w\t \r\n", "g", "k", "v w"},
        {"[g]\r\n  k \t= v\r\n", "g", "k", "v"}, {"  [g]  \r\nk=v\r\n", "g", "k", "v"},
        {"[g]\r\nPath= \r\n", "g", "path", ""}, {"[g]\r\nk=a=b\r\n", "g", "k", "a=b"},
        {"[g]\r\nk=\"C:\\a b\"\r\n", "g", "k", "C:\\a b"}, {"[g]\r\nk=  ' x '  \r\n", "g", "k", " x "},
        {"[g]\r\nk=\"x'\r\n", "g", "k", "\"x'"}, {"[g]\r\nk=\"\r\n", "g", "k", "\""}, {"[g]\r\nk=''\r\n", "g", "k", ""},
        {"[g]\r\nk=\"\"x\"\"\r\n", "g", "k", "\"x\""},
        {"[q3]\r\nPath=" + longPath + "\r\n", "q3", "path", longPath}, {"[a]\rk=1\r[b]\rk=2\r", "b", "k", "2"},
        {"[a]\r\nk=1\r[b]\nk=2", "b", "k", "2"}, {"\xEF\xBB\xBF[g]\r\nk=v\r\n", "g", "k", "v"},
        {"[g]\r\nk=1\r\n[G]\r\nk=2\r\n", "g", "k", "1"}, {"[g]\r\na=1\r\n[g]\r\nk=2\r\n", "g", "k", kMissing},
        {"[g]\r\nk=1\r\nK=2\r\n", "g", "k", "1"}, {"[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", kMissing},
        {"k=0\r\n[g]\r\nj=1\r\n", "g", "k", kMissing}, {"[g]\r\nk\r\n", "g", "k", kMissing},
        {"[g]\r\n;k=1\r\nk=2\r\n", "g", "k", "2"}, {"[g]\r\n[h\r\nk=v\r\n", "g", "k", "v"},
        {"[a]b]\r\nk=v\r\n", "a]b", "k", "v"}, {"[g]\r\nk=v\r\n", " g\t", " k ", "v"},
        {"k=v\r\n[]\r\nk=w\r\n", "", "k", kMissing}, {"[g]\r\nk=v\r\n", "g", "", kMissing},
        {"[g]\r\n\xC9t\xE9=1\r\n", "g", "\xE9t\xE9", kMissing}, // case folding is ASCII only
        {"\xFF\xFE\r\n[g]\r\nk=v\r\n", "g", "k", kMissing}, {"\xFE\xFF\r\n[g]\r\nk=v\r\n", "g", "k", kMissing},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(readValue(c.file, c.section, c.key), c.value) << c.file;
    }
}

TEST(Profile, WritesInPlaceAndPreservesEveryOtherByte) {
    struct Case {
        std::string file, section, key, value, result;
    };
    // clang-format off
    const std::vector<Case> cases{
        {"[q3]\r\nPath=old\r\npresent=1\r\n", "q3", "path", "new", "[q3]\r\nPath=new\r\npresent=1\r\n"},
        {"[g]\r\n  Key \t= old  \r\n", "G", "key", "v", "[g]\r\n  Key \t=v\r\n"},
        {"[g]\r\nk=1\r\nk=2\r\n[g]\r\nk=3\r\n", "g", "k", "9", "[g]\r\nk=9\r\nk=2\r\n[g]\r\nk=3\r\n"},
        {"[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n\r\n[b]\r\ny=2\r\n"},
        {"[a]\r\n[b]\r\n", "a", "k", "v", "[a]\r\nk=v\r\n[b]\r\n"},
        {"[a]\r\nx=1", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"", "General", "sansvalidation", "1", "[General]\r\nsansvalidation=1\r\n"},
        {"[a]\rx=1\r", "b", "k", "v", "[a]\rx=1\r[b]\rk=v\r"},
        {"[a]\nx=1\r\n", "b", "k", "v", "[a]\nx=1\r\n[b]\nk=v\n"},
        {"\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", "2", "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        {"\xEF\xBB\xBF", "a", "x", "2", "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        {"top=1\r\n; c\r\n[q3]\r\n\tPath = C:\\q3 ; no comment\r\nextra=x\r\n\r\n[o]\r\nPath=o\r\n", "q3", "path", "D:\\q3",
         "top=1\r\n; c\r\n[q3]\r\n\tPath =D:\\q3\r\nextra=x\r\n\r\n[o]\r\nPath=o\r\n"},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(writeValue(c.file, c.section, c.key, c.value), c.result) << c.file;
    }
}

} // namespace
} // namespace quellix::profile
