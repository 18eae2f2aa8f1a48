#include "shell/ViewLayout.h"

#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

TEST(ViewLayoutTest, TheFrontPanelIsAsLargeAsFitsCentredAtTheTop) {
    const base::Rect display{40, 30, 360, 270};
    const auto tall = LayoutWithPanel(QRect(0, 0, 800, 900), QSize(400, 300), display);
    ASSERT_TRUE(tall.has_value());
    EXPECT_DOUBLE_EQ(tall->zoom, 2.0);
    EXPECT_EQ(tall->panelOrigin, QPoint(0, 0));
    EXPECT_EQ(tall->panelSize, QSize(800, 600));
    EXPECT_EQ(tall->screenOrigin, QPoint(80, 60));
    EXPECT_EQ(tall->screenSize, QSize(640, 480));

    const auto wide = LayoutWithPanel(QRect(0, 0, 1000, 600), QSize(400, 300), display);
    ASSERT_TRUE(wide.has_value());
    EXPECT_DOUBLE_EQ(wide->zoom, 2.0);
    EXPECT_EQ(wide->panelOrigin, QPoint(100, 0));
    EXPECT_EQ(wide->screenOrigin, QPoint(180, 60));
}

// At a zoom that is not whole the screen reaches every window pixel the
// picture's display touches, so none of the picture's display shows beside it.
TEST(ViewLayoutTest, TheScreenCoversThePanelsDisplayToTheLastPixel) {
    const base::Rect display{100, 50, 340, 210};
    const auto layout = LayoutWithPanel(QRect(0, 0, 458, 700), QSize(440, 500), display);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->displayArea, QRect(QPoint(104, 52), QPoint(353, 218))); // 353.9, 218.6
    EXPECT_EQ(layout->screenOrigin, layout->displayArea.topLeft());
    EXPECT_EQ(layout->screenSize, layout->displayArea.size());

    // Sharp pixels: the largest whole zoom inside the display, centred.
    const auto sharp = LayoutSharpPanel(QRect(0, 0, 1198, 2000), QSize(440, 500), display,
                                        QSize(240, 160), 1.0); // zoom 2.72
    ASSERT_TRUE(sharp.has_value());
    EXPECT_EQ(sharp->screenSize, QSize(480, 320));
    EXPECT_TRUE(sharp->displayArea.contains(QRect(sharp->screenOrigin, sharp->screenSize)));
    EXPECT_EQ(sharp->displayArea.center().x(),
              QRect(sharp->screenOrigin, sharp->screenSize).center().x());
}

TEST(ViewLayoutTest, TheScreenAloneIsAsLargeAsFitsCentredAtTheTop) {
    const auto layout = LayoutScreenOnly(QRect(0, 0, 512, 600), QSize(128, 64 + 11));
    ASSERT_TRUE(layout.has_value());
    EXPECT_DOUBLE_EQ(layout->zoom, 4.0);
    EXPECT_EQ(layout->screenOrigin, QPoint(0, 0));
    EXPECT_EQ(layout->screenSize, QSize(512, 300));

    // Not whole: 500 / 128 = 3.906...; truncated sizes and a centred origin.
    const auto odd = LayoutScreenOnly(QRect(0, 0, 700, 293), QSize(128, 75));
    ASSERT_TRUE(odd.has_value());
    EXPECT_DOUBLE_EQ(odd->zoom, 293.0 / 75.0);
    EXPECT_EQ(odd->screenSize.width(), 500);
    EXPECT_EQ(odd->screenOrigin, QPoint(99, 0));
}

TEST(ViewLayoutTest, SharpPixelsTakeTheLargestWholeZoomCentredBothWays) {
    const auto layout = LayoutSharpScreen(QRect(0, 0, 700, 400), QSize(128, 75), 1.0);
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(layout->zoom, 5.0); // 5.47 fits across, 5.33 down
    EXPECT_EQ(layout->screenSize, QSize(640, 375));
    EXPECT_EQ(layout->screenOrigin, QPoint(30, 12));
    const auto exact = LayoutSharpScreen(QRect(0, 0, 320, 150), QSize(160, 75), 1.0);
    EXPECT_EQ(exact->zoom, 2.0);
    EXPECT_EQ(exact->screenOrigin, QPoint(0, 0));
    // Smaller than the screen: shrunk as without sharp pixels.
    const auto shrunk = LayoutSharpScreen(QRect(0, 0, 64, 100), QSize(128, 75), 1.0);
    EXPECT_EQ(shrunk->zoom, 0.5);
    EXPECT_EQ(shrunk->screenOrigin, QPoint(0, 0));
    // At twice the density half zooms are whole in device pixels: 5.47 x 2 = 10.
    const auto dense = LayoutSharpScreen(QRect(0, 0, 700, 400), QSize(128, 75), 2.0);
    EXPECT_EQ(dense->zoom, 5.0);
    const auto denser = LayoutSharpScreen(QRect(0, 0, 700, 400), QSize(128, 75), 1.5);
    EXPECT_EQ(denser->zoom, 8.0 / 1.5); // 8 device pixels an instrument pixel
    EXPECT_EQ(denser->screenSize, QSize(682, 400));
}

TEST(ViewLayoutTest, WindowAndPicturePointsMapBothWaysTruncated) {
    const auto layout = LayoutWithPanel(QRect(0, 0, 1000, 600), QSize(400, 300), {0, 0, 1, 1});
    ASSERT_TRUE(layout.has_value());
    EXPECT_EQ(WindowToPicture(QPoint(301, 51), *layout), QPoint(100, 25));
    EXPECT_EQ(WindowToPicture(QPoint(99, 0), *layout), QPoint(0, 0)); // toward zero, not down
    EXPECT_EQ(PictureToWindow(QPoint(100, 25), *layout), QPoint(300, 50));
}

TEST(ViewLayoutTest, NothingToLayOutGivesNoLayout) {
    EXPECT_FALSE(LayoutWithPanel(QRect(0, 0, 800, 600), QSize(0, 300), {}).has_value());
    EXPECT_FALSE(LayoutWithPanel(QRect(0, 0, 0, 600), QSize(400, 300), {}).has_value());
    EXPECT_FALSE(LayoutScreenOnly(QRect(0, 0, 800, 600), QSize()).has_value());
}

} // namespace
} // namespace ombrix::shell
