#include "shell/CToolBarEx.h"

#include <QAction>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

// Two 8-pixel images: the first red, the second with a magenta mask pixel.
QImage strip(QImage::Format format) {
    QImage image(16, 8, QImage::Format_ARGB32);
    image.fill(qRgb(255, 0, 0));
    image.setPixel(12, 4, qRgb(255, 0, 255));
    image.setPixel(0, 0, qRgba(0, 0, 255, 0)); // transparent in a 32-bit strip
    return image.convertToFormat(format);
}

TEST(ToolBarExTest, TheDepthDecidesTheMask) {
    const std::vector<QImage> alpha =
        SplitStrip(strip(QImage::Format_ARGB32), 8, qRgb(255, 0, 255));
    ASSERT_EQ(alpha.size(), 2u);
    EXPECT_EQ(qAlpha(alpha[0].pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(alpha[1].pixel(4, 4)), 255); // 32 bits: the mask colour is drawn

    // A 24-bit file loads as 32 bits without alpha, and is masked like 24 bits.
    for (const QImage::Format format : {QImage::Format_RGB888, QImage::Format_RGB32}) {
        const std::vector<QImage> masked = SplitStrip(strip(format), 8, qRgb(255, 0, 255));
        ASSERT_EQ(masked.size(), 2u);
        EXPECT_EQ(qAlpha(masked[1].pixel(4, 4)), 0);
        EXPECT_EQ(qAlpha(masked[1].pixel(3, 4)), 255);
    }

    EXPECT_EQ(SplitStrip(strip(QImage::Format_RGB16), 8, qRgb(255, 0, 255)).size(), 2u);
    EXPECT_EQ(SplitStrip(strip(QImage::Format_Indexed8), 8, qRgb(255, 0, 255)).size(), 2u);
    EXPECT_TRUE(SplitStrip(strip(QImage::Format_Mono), 8, qRgb(255, 0, 255)).empty());
    EXPECT_TRUE(SplitStrip(strip(QImage::Format_ARGB32), 32, 0).empty());
}

TEST(ToolBarExTest, ButtonsAreSevenWiderAndSixHigherThanTheirImages) {
    CToolBarEx bar(QStringLiteral("Test"));
    ASSERT_TRUE(bar.SetImages(8, strip(QImage::Format_ARGB32), 0));
    EXPECT_EQ(bar.ImageSize(), QSize(8, 8));
    EXPECT_EQ(bar.ButtonSize(), QSize(15, 14));
    EXPECT_FALSE(bar.SetImages(8, strip(QImage::Format_Mono), 0));
    EXPECT_EQ(bar.ImageCount(), 2);

    QAction first(QStringLiteral("first"));
    QAction second(QStringLiteral("second"));
    QAction third(QStringLiteral("third"));
    bar.SetButtons({{0, &first}, {1, &second}});
    bar.SetButtons({{1, &third}});
    ASSERT_EQ(bar.actions().size(), 1);
    EXPECT_EQ(bar.actions().front(), &third);
    EXPECT_EQ(bar.ItemSize(0), QSize(15, 14));
    EXPECT_EQ(bar.ItemSize(1), QSize());
}

} // namespace
} // namespace ombrix::shell
