#include "config/profile.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quellix::profile {
namespace {

constexpr std::nullopt_t kMissing = std::nullopt;

TEST(Profile, ReadsValuesWithThePlatformRules) {
    struct Case {
        const char* name;
        std::string file;
        std::string section;
        std::string key;
        std::optional<std::string> expected;
    };
    const std::string longPath = "C:\\" + std::string(297, 'x');
    const Case cases[] = {
        {"exact names", "[q3]\r\nPath=C:\\q3\\quake3.exe\r\n", "q3", "Path", "C:\\q3\\quake3.exe"},
        {"key case", "[q3]\r\nPath=a\r\n", "q3", "path", "a"},
        {"section case", "[UT2003]\r\nPath=u\r\n", "ut2003", "PATH", "u"},
        {"blanks around the value", "[g]\r\nk=  v w  \r\n", "g", "k", "v w"},
        {"tabs around the value", "[g]\r\nk=\tv\t\r\n", "g", "k", "v"},
        {"blanks around the name", "[g]\r\n  k \t= v\r\n", "g", "k", "v"},
        {"blank around the header", "  [g]  \r\nk=v\r\n", "g", "k", "v"},
        {"one blank reads empty", "[g]\r\nPath= \r\n", "g", "path", ""},
        {"empty value", "[g]\r\nk=\r\n", "g", "k", ""},
        {"value holding =", "[g]\r\nk=a=b\r\n", "g", "k", "a=b"},
        {"double quotes", "[g]\r\nk=\"C:\\a b\"\r\n", "g", "k", "C:\\a b"},
        {"single quotes", "[g]\r\nk='x'\r\n", "g", "k", "x"},
        {"quotes inside blanks", "[g]\r\nk=  \" x \"  \r\n", "g", "k", " x "},
        {"unmatched quotes kept", "[g]\r\nk=\"x'\r\n", "g", "k", "\"x'"},
        {"lone quote kept", "[g]\r\nk=\"\r\n", "g", "k", "\""},
        {"only one pair removed", "[g]\r\nk=\"\"x\"\"\r\n", "g", "k", "\"x\""},
        {"300 characters in full", "[q3]\r\nPath=" + longPath + "\r\n", "q3", "path", longPath},
        {"LF only", "[a]\nk=1\n[b]\nk=2\n", "b", "k", "2"},
        {"CR only", "[a]\rk=1\r[b]\rk=2\r", "b", "k", "2"},
        {"mixed endings", "[a]\r\nk=1\r[b]\nk=2", "b", "k", "2"},
        {"UTF-8 mark before the first section", "\xEF\xBB\xBF[g]\r\nk=v\r\n", "g", "k", "v"},
        {"last line without break", "[g]\r\nk=v", "g", "k", "v"},
        {"first duplicate section wins", "[g]\r\nk=1\r\n[G]\r\nk=2\r\n", "g", "k", "1"},
        {"key only in a later duplicate", "[g]\r\na=1\r\n[g]\r\nk=2\r\n", "g", "k", kMissing},
        {"first duplicate key wins", "[g]\r\nk=1\r\nK=2\r\n", "g", "k", "1"},
        {"key of another section", "[a]\r\nk=1\r\n[b]\r\nj=2\r\n", "b", "k", kMissing},
        {"key before any section", "k=0\r\n[g]\r\nj=1\r\n", "g", "k", kMissing},
        {"missing section", "[g]\r\nk=v\r\n", "h", "k", kMissing},
        {"missing key", "[g]\r\nk=v\r\n", "g", "j", kMissing},
        {"empty file", "", "g", "k", kMissing},
        {"line without =", "[g]\r\nk\r\n", "g", "k", kMissing},
        {"comment is not the key", "[g]\r\n;k=1\r\nk=2\r\n", "g", "k", "2"},
        {"header without bracket", "[g]\r\n[h\r\nk=v\r\n", "g", "k", "v"},
        {"text after the header", "[g] ; games\r\nk=v\r\n", "g", "k", "v"},
        {"name up to the last bracket", "[a]b]\r\nk=v\r\n", "a]b", "k", "v"},
        {"asked names are trimmed", "[g]\r\nk=v\r\n", " g\t", " k ", "v"},
        {"empty section asked", "k=v\r\n[]\r\nk=w\r\n", "", "k", kMissing},
        {"empty key asked", "[g]\r\n=v\r\n", "g", "", kMissing},
        {"case folding is ASCII only", "[g]\r\n\xC9t\xE9=1\r\n", "g", "\xE9t\xE9", kMissing},
        {"8-bit names match exactly", "[g]\r\n\xE9t\xE9=1\r\n", "g", "\xE9t\xE9", "1"},
        {"UTF-16 mark", "\xFF\xFE\r\n[g]\r\nk=v\r\n", "g", "k", kMissing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(readValue(c.file, c.section, c.key), c.expected) << c.name;
    }
}

TEST(Profile, WritesInPlaceAndPreservesEveryOtherByte) {
    struct Case {
        const char* name;
        std::string file;
        std::string section;
        std::string key;
        std::string value;
        std::string expected;
    };
    const Case cases[] = {
        {"replace keeps the written name", "[q3]\r\nPath=old\r\npresent=1\r\n", "q3", "path", "new",
         "[q3]\r\nPath=new\r\npresent=1\r\n"},
        {"replace keeps what stands before =", "[g]\r\n  Key \t= old  \r\n", "G", "key", "v",
         "[g]\r\n  Key \t=v\r\n"},
        {"replace with empty", "[g]\r\nk=old\r\n", "g", "k", "", "[g]\r\nk=\r\n"},
        {"value written as given", "[g]\r\nk=1\r\n", "g", "k", " ", "[g]\r\nk= \r\n"},
        {"replace in the first duplicate", "[g]\r\nk=1\r\nk=2\r\n[g]\r\nk=3\r\n", "g", "k", "9",
         "[g]\r\nk=9\r\nk=2\r\n[g]\r\nk=3\r\n"},
        {"new key after the last filled line", "[a]\r\nx=1\r\n\r\n[b]\r\ny=2\r\n", "a", "k", "v",
         "[a]\r\nx=1\r\nk=v\r\n\r\n[b]\r\ny=2\r\n"},
        {"new key after a comment of its section", "[a]\r\nx=1\r\n; note\r\n\r\n", "a", "k", "v",
         "[a]\r\nx=1\r\n; note\r\nk=v\r\n\r\n"},
        {"new key in an empty section", "[a]\r\n[b]\r\n", "a", "k", "v", "[a]\r\nk=v\r\n[b]\r\n"},
        {"new key at an unterminated end", "[a]\r\nx=1", "a", "k", "v", "[a]\r\nx=1\r\nk=v"},
        {"new key in the first duplicate", "[a]\r\n[A]\r\n", "A", "k", "v",
         "[a]\r\nk=v\r\n[A]\r\n"},
        {"new section at the end", "[a]\r\nx=1\r\n", "b", "k", "v", "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"new section after a missing break", "[a]\r\nx=1", "b", "k", "v",
         "[a]\r\nx=1\r\n[b]\r\nk=v\r\n"},
        {"new section after blank lines", "[a]\r\n\r\n\r\n", "b", "k", "v",
         "[a]\r\n\r\n\r\n[b]\r\nk=v\r\n"},
        {"empty file", "", "General", "sansvalidation", "1", "[General]\r\nsansvalidation=1\r\n"},
        {"LF file", "[a]\nx=1\n", "a", "k", "v", "[a]\nx=1\nk=v\n"},
        {"CR file", "[a]\rx=1\r", "b", "k", "v", "[a]\rx=1\r[b]\rk=v\r"},
        {"first break decides", "[a]\nx=1\r\n", "b", "k", "v", "[a]\nx=1\r\n[b]\nk=v\n"},
        {"CRLF is one break", "[a]\r\nx=1\r\n", "a", "k", "v", "[a]\r\nx=1\r\nk=v\r\n"},
        {"file of one unterminated line", "k=0", "g", "k", "v", "k=0\r\n[g]\r\nk=v\r\n"},
        {"UTF-8 mark kept", "\xEF\xBB\xBF[a]\r\nx=1\r\n", "a", "x", "2",
         "\xEF\xBB\xBF[a]\r\nx=2\r\n"},
        {"UTF-8 mark alone", "\xEF\xBB\xBF", "a", "k", "v", "\xEF\xBB\xBF[a]\r\nk=v\r\n"},
        {"comments, unknown keys and keys before sections kept",
         "top=1\r\n; comment\r\n[q3]\r\n\tPath = C:\\q3 ; not a comment\r\nextra=x\r\n\r\n"
         "[other]\r\nPath=o\r\n",
         "q3", "path", "D:\\q3",
         "top=1\r\n; comment\r\n[q3]\r\n\tPath =D:\\q3\r\nextra=x\r\n\r\n[other]\r\nPath=o\r\n"},
    };
    for (const Case& c : cases) {
        std::optional<std::string> written = writeValue(c.file, c.section, c.key, c.value);
        ASSERT_TRUE(written.has_value()) << c.name;
        EXPECT_EQ(*written, c.expected) << c.name;
        // The value written reads back, whatever the file looked like.
        std::string expectedValue(c.value == " " ? "" : c.value);
        EXPECT_EQ(readValue(*written, c.section, c.key), expectedValue) << c.name;
    }
}

TEST(Profile, RefusesWritesThatWouldBreakTheFileStructure) {
    struct Case {
        const char* name;
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        {"CR in value", "g", "k", "a\rb"},
        {"LF in value", "g", "k", "a\nb"},
        {"NUL in value", "g", "k", std::string("a\0b", 3)},
        {"LF in section", "g\nh", "k", "v"},
        {"NUL in key", "g", std::string("k\0", 2), "v"},
        {"CR in key", "g", "k\r", "v"},
        {"bracket in section", "g]x", "k", "v"},
        {"= in key", "g", "a=b", "v"},
        {"key that opens a section", "g", "[h]", "v"},
        {"empty section", "", "k", "v"},
        {"empty key", "g", "", "v"},
        {"blank before section", " g", "k", "v"},
        {"tab after section", "g\t", "k", "v"},
        {"blank after key", "g", "k ", "v"},
        {"blank key", "g", " ", "v"},
    };
    const std::string file = "[g]\r\nk=1\r\n";
    for (const Case& c : cases) {
        EXPECT_EQ(writeValue(file, c.section, c.key, c.value), kMissing) << c.name;
    }
}

TEST(Profile, NeverWritesIntoUtf16Text) {
    const std::string file("\xFF\xFE[\0g\0]\0\r\0\n\0", 12);
    EXPECT_EQ(writeValue(file, "g", "k", "v"), kMissing);
    EXPECT_EQ(writeValue("\xFE\xFF", "g", "k", "v"), kMissing);
}

} // namespace
} // namespace quellix::profile
