#include "demoworld/DemoText.h"

#include <gtest/gtest.h>

#include <string>

namespace veltrap {
namespace {

using namespace std::string_literals;

TEST(DemoTextTest, PercentDecodeTurnsEscapesIntoBytes) {
    EXPECT_EQ(PercentDecode("caf%E9%20culture"), "caf\xe9 culture");
    EXPECT_EQ(PercentDecode("a%2eb%2Ec"), "a.b.c");
    EXPECT_EQ(PercentDecode("nul%00byte"), "nul\0byte"s);
}

TEST(DemoTextTest, PercentDecodeKeepsWhatIsNotAnEscape) {
    EXPECT_EQ(PercentDecode("50%"), "50%");
    EXPECT_EQ(PercentDecode("50%4"), "50%4");
    EXPECT_EQ(PercentDecode("%zz%"), "%zz%");
    EXPECT_EQ(PercentDecode("a+b"), "a+b");
    EXPECT_EQ(PercentDecode(""), "");
}

TEST(DemoTextTest, EncodersLeaveOnlyLettersAndDigitsReadable) {
    const std::string text = "www.site-1.example/\xe9 x";
    const std::string url = PercentEncodeAll(text);
    EXPECT_EQ(url, "www%2Esite%2D1%2Eexample%2F%E9%20x");
    EXPECT_EQ(PercentDecode(url), text);
    EXPECT_EQ(HtmlEncodeAll(text), "www&#46;site&#45;1&#46;example&#47;&#233; x");
}

TEST(DemoTextTest, HexRoundTripsEveryByte) {
    std::string all;
    for (int c = 0; c < 256; ++c) {
        all += static_cast<char>(c);
    }
    const std::string hex = HexEncode(all);
    EXPECT_EQ(hex.size(), 512u);
    EXPECT_EQ(hex.substr(0, 6), "000102");
    EXPECT_EQ(HexDecode(hex), all);
}

TEST(DemoTextTest, HexDecodeRefusesMalformedText) {
    EXPECT_FALSE(HexDecode("abc"));
    EXPECT_FALSE(HexDecode("zz"));
    // Upper case would give a second address for the same site.
    EXPECT_FALSE(HexDecode("6A"));
    EXPECT_EQ(HexDecode(""), "");
}

TEST(DemoTextTest, IdentitiesFoldCaseAndDropDecorations) {
    EXPECT_EQ(SiteIdentity("Veltrap-Demo.Example//"), "veltrap-demo.example");
    EXPECT_EQ(SiteIdentity("example.com/blog/"), "example.com/blog");
    EXPECT_EQ(HostIdentity("WWW.Example.COM"), "example.com");
    EXPECT_EQ(HostIdentity("blog.example.com"), "blog.example.com");
    EXPECT_EQ(HostIdentity("awww.example.com"), "awww.example.com");
}

TEST(DemoTextTest, BrandsComeFromTheFirstLabel) {
    EXPECT_EQ(BrandOf("veltrap-demo.example"), "Veltrap Demo");
    EXPECT_EQ(BrandOf("localhost:8080"), "Localhost");
    EXPECT_EQ(BrandOf(""), "Home");
}

}  // namespace
}  // namespace veltrap
