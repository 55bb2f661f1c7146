#include "app/WindowLook.h"

#include <QFontInfo>
#include <QFontMetrics>

#include <gtest/gtest.h>

namespace veltrap {
namespace {

// Rows are 18 pixels and text starts 3 below a row's top, so a font taller
// than its height would lose its descenders to the next row.
TEST(WindowLookTest, FontsFillTheirHeightWithoutExceedingIt) {
    const struct {
        QFont font;
        int height;
    } fonts[] = {
        {WindowLook::IdleFont(), 16}, {WindowLook::BodyFont(), 14}, {WindowLook::HeaderFont(), 14}};
    for (const auto& [font, height] : fonts) {
        const QFontMetrics metrics(font);
        EXPECT_LE(metrics.ascent() + metrics.descent(), height) << height;
        EXPECT_GE(metrics.ascent() + metrics.descent(), height - 2) << height;
    }
}

TEST(WindowLookTest, FontsAreArialOrItsMetricTwinWithTheirWeights) {
    for (const QFont& font :
         {WindowLook::IdleFont(), WindowLook::BodyFont(), WindowLook::HeaderFont()}) {
        const QString family = QFontInfo(font).family();
        EXPECT_TRUE(family == "Arial" || family == "Liberation Sans") << family.toStdString();
    }
    EXPECT_EQ(WindowLook::IdleFont().weight(), QFont::Normal);
    EXPECT_EQ(WindowLook::BodyFont().weight(), QFont::Light);
    EXPECT_EQ(WindowLook::HeaderFont().weight(), QFont::Bold);
    EXPECT_TRUE(QFontInfo(WindowLook::HeaderFont()).bold());
}

}  // namespace
}  // namespace veltrap
