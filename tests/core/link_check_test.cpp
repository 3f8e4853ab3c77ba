#include "launch/link_check.h"

#include <gtest/gtest.h>

#include <string>

namespace quellix {
namespace {

TEST(LinkCheck, AdmitsWhatServersAndPasswordsReallyLookLike) {
    for (std::string_view address :
         {"127.0.0.1:27960", "a", "jeux.vorbanix.fr:28960", "fe80::1:27015", "9-host.example"}) {
        EXPECT_TRUE(isAllowedServerAddress(address)) << address;
    }
    for (std::string_view password : {"", "secret", "P4ss_w-rd.!~*'()@", "%41%2B", "a-b"}) {
        EXPECT_TRUE(isAllowedPassword(password)) << password;
    }
    EXPECT_TRUE(isAllowedServerAddress(std::string(128, 'a')));
    EXPECT_TRUE(isAllowedPassword(std::string(64, 'z')));
}

TEST(LinkCheck, RefusesLengthsAndLeadingCharactersOutsideTheLists) {
    for (std::string_view address : {"", "-connect", ".host", ":27960"}) {
        EXPECT_FALSE(isAllowedServerAddress(address)) << address;
    }
    EXPECT_FALSE(isAllowedServerAddress(std::string(129, 'a')));
    EXPECT_FALSE(isAllowedPassword(std::string(65, 'z')));
    EXPECT_FALSE(isAllowedPassword("-game"));
}

// What a password may hold but a server address may not.
TEST(LinkCheck, ServerAddressesRefusePasswordPunctuation) {
    for (char c : std::string_view("_!~*'()@%")) {
        for (const std::string& text :
             {std::string(1, c) + "ab", "a" + std::string(1, c) + "b", "ab" + std::string(1, c)}) {
            EXPECT_FALSE(isAllowedServerAddress(text)) << c;
            EXPECT_TRUE(isAllowedPassword(text)) << c;
        }
    }
}

} // namespace
} // namespace quellix
