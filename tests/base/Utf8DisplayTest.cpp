#include "base/Utf8Display.h"

#include <gtest/gtest.h>

namespace veltrap {
namespace {

TEST(Utf8DisplayTest, KeepsValidUtf8AndReadsOtherBytesAsWindows1252) {
    EXPECT_EQ(Utf8ForDisplay("cr\xC3\xA8me \xE2\x82\xAC"), "cr\xC3\xA8me \xE2\x82\xAC");
    // A Latin-1 page's accented letter, and the euro sign and quotes of Windows-1252.
    EXPECT_EQ(Utf8ForDisplay("cr\xE8me"), "cr\xC3\xA8me");
    EXPECT_EQ(Utf8ForDisplay("\x80 \x93q\x94 \x81"),
              "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D \xC2\x81");
    // A sequence cut short, an overlong form and a surrogate are single bytes.
    EXPECT_EQ(Utf8ForDisplay("\xC3"), "\xC3\x83");
    EXPECT_EQ(Utf8ForDisplay("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(Utf8ForDisplay("\xED\xA0\x80").size(), 7u);
}

}  // namespace
}  // namespace veltrap
