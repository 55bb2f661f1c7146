#include "net/EscapeUrlBytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace veltrap {
namespace {

TEST(EscapeUrlBytesTest, EscapesExactlyTheBytesThatCannotTravel) {
    const std::string unsafe = "\"<>\\^`{|}";
    for (int value = 0; value < 256; ++value) {
        const char byte = static_cast<char>(value);
        const bool escaped =
            value <= 0x20 || value >= 0x7F || unsafe.find(byte) != std::string::npos;
        const std::string result = EscapeUrlBytes(std::string(1, byte));
        if (escaped) {
            char expected[4];
            std::snprintf(expected, sizeof(expected), "%%%02X", value);
            EXPECT_EQ(result, expected) << "byte " << value;
        } else {
            EXPECT_EQ(result, std::string(1, byte)) << "byte " << value;
        }
    }
}

TEST(EscapeUrlBytesTest, KeepsAddressesThatAreAlreadyEncoded) {
    EXPECT_EQ(EscapeUrlBytes(""), "");
    const std::string encoded = "http://a.example:8080/p%20q/r?s=t+u&v=%C3%A9;w#x";
    EXPECT_EQ(EscapeUrlBytes(encoded), encoded);
    EXPECT_EQ(EscapeUrlBytes(std::string("a\0b c", 5)), "a%00b%20c");
    EXPECT_EQ(EscapeUrlBytes("caf\xC3\xA9 bar"), "caf%C3%A9%20bar");
}

}  // namespace
}  // namespace veltrap
