// The window's geometry as arithmetic, with the numbers of the geometry rules,
// and where the window and its bars go on a monitor.
#include "shell/WindowGeometry.h"

#include "shell/WindowPlacement.h"

#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

const AspectSource kMono{QSize(400, 300), 128, 64, 11};

TEST(WindowGeometryTest, TheRatioIsThePicturesOrTheScreensAndOtherwiseOne) {
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithKeyboard, kMono), 400.0 / 300.0);
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithoutKeyboard, kMono), 128.0 / 75.0);
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::Fullscreen, kMono), 1.0);
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::Compact, kMono), 1.0);
    const AspectSource noModel{std::nullopt, 128, 64, 11};
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithKeyboard, noModel), 1.0);
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithoutKeyboard, noModel), 1.0);
    // No display height and no icon panel would make the ratio infinite.
    const AspectSource flat{QSize(400, 300), 128, 0, 0};
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithoutKeyboard, flat), 1.0);
    const AspectSource empty{QSize(400, 0), 0, 0, 0};
    EXPECT_DOUBLE_EQ(ViewAspectRatio(DisplayMode::NormalWithKeyboard, empty), 1.0);
}

TEST(WindowGeometryTest, DraggingTheRightBorderKeepsTheScreensShape) {
    const double r = ViewAspectRatio(DisplayMode::NormalWithoutKeyboard, kMono);
    const QSize overhead(16, 100);
    const base::Rect dragged =
        AdjustSizing(SizingEdge::Right, {100, 50, 100 + 16 + 256, 400}, overhead, r);
    EXPECT_EQ(dragged.bottom, 50 + 150 + 100);
    EXPECT_EQ((dragged.width() - 16) * 75, (dragged.height() - 100) * 128);
}

// Each edge of the table, at negative coordinates where truncation toward zero
// differs from rounding down.
TEST(WindowGeometryTest, EveryEdgeMovesTheSideTheRatioAsksFor) {
    const base::Rect proposed{-200, -101, -40, 0}; // view 150 x 81 after the overhead
    const QSize overhead(10, 20);
    struct Case {
        SizingEdge edge;
        double r;
        base::Rect expected;
    };
    const Case cases[] = {
        {SizingEdge::Left, 4.0, {-200, -101, -40, -63 + 20}},
        {SizingEdge::Right, 4.0, {-200, -101, -40, -63 + 20}},
        {SizingEdge::Top, 4.0, {-200, -101, 124 + 10, 0}},
        {SizingEdge::Bottom, 4.0, {-200, -101, 124 + 10, 0}},
        {SizingEdge::TopLeft, 4.0, {-364 - 10, -101, -40, 0}},
        {SizingEdge::TopRight, 4.0, {-200, -101, 124 + 10, 0}},
        {SizingEdge::BottomLeft, 4.0, {-364 - 10, -101, -40, 0}},
        {SizingEdge::BottomRight, 4.0, {-200, -101, 124 + 10, 0}},
        // Wider than the ratio: the height follows the width.
        {SizingEdge::TopLeft, 1.0, {-200, -150 - 20, -40, 0}},
        {SizingEdge::TopRight, 1.0, {-200, -150 - 20, -40, 0}},
        {SizingEdge::BottomLeft, 1.0, {-200, -101, -40, 49 + 20}},
        {SizingEdge::BottomRight, 1.0, {-200, -101, -40, 49 + 20}},
        {SizingEdge::Left, 3.2, {-200, -101, -40, -54 + 20}},       // -101 + 46.875
        {SizingEdge::TopLeft, 3.2, {-299 - 10, -101, -40, 0}},      // -40 - 259.2
        {SizingEdge::BottomLeft, 3.2, {-299 - 10, -101, -40, 0}},   // -40 - 259.2
        {SizingEdge::TopLeft, 1.6, {-200, -93 - 20, -40, 0}},       // 0 - 93.75
        {SizingEdge::BottomRight, 1.6, {-200, -101, -40, -7 + 20}}, // -101 + 93.75
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(each.edge) << " r " << each.r);
        EXPECT_EQ(AdjustSizing(each.edge, proposed, overhead, each.r), each.expected);
    }
}

TEST(WindowGeometryTest, TheEdgeDraggedIsTheSideThatMoved) {
    const base::Rect before{100, 100, 500, 400};
    EXPECT_EQ(DraggedEdge(before, {100, 100, 560, 400}), SizingEdge::Right);
    EXPECT_EQ(DraggedEdge(before, {40, 100, 500, 400}), SizingEdge::Left);
    EXPECT_EQ(DraggedEdge(before, {100, 100, 500, 450}), SizingEdge::Bottom);
    EXPECT_EQ(DraggedEdge(before, {40, 60, 500, 400}), SizingEdge::TopLeft);
    EXPECT_EQ(DraggedEdge(before, {100, 100, 560, 450}), SizingEdge::BottomRight);
    EXPECT_EQ(DraggedEdge(before, {150, 130, 550, 430}), std::nullopt) << "moved, not sized";
    EXPECT_EQ(DraggedEdge(before, before), std::nullopt);
}

TEST(WindowGeometryTest, ASizeWithinTwoPixelsOfTheRatioIsLeftAlone) {
    EXPECT_EQ(CorrectedViewWidth({201, 100}, 2.0), std::nullopt);
    EXPECT_EQ(CorrectedViewWidth({199, 100}, 2.0), std::nullopt);
    EXPECT_EQ(CorrectedViewWidth({202, 100}, 2.0), 200);
    EXPECT_EQ(CorrectedViewWidth({198, 100}, 2.0), 200);
    EXPECT_EQ(CorrectedViewWidth({300, 75}, 128.0 / 75.0), 128);
}

TEST(WindowGeometryTest, ModesHaveTheirWindowRectangles) {
    ModeGeometry geometry{{100, 100, 700, 900},  300,
                          QSize(8, 120),         4.0 / 3.0,
                          {1920, 0, 3200, 1024}, QMargins(2, 30, 2, 2)};
    // The remembered height stays, the width follows the ratio: 680 * 4 / 3.
    EXPECT_EQ(ComputeModeWindowRect(DisplayMode::NormalWithKeyboard, geometry),
              (base::Rect{100, 100, 100 + 906 + 8, 900}));
    EXPECT_EQ(ComputeModeWindowRect(DisplayMode::Compact, geometry),
              (base::Rect{100, 100, 400, 220}));
    EXPECT_EQ(ComputeModeWindowRect(DisplayMode::Fullscreen, geometry),
              (base::Rect{1918, -30, 3202, 1026}));

    // Compact: at most 100 pixels wider than its least width, fixed height.
    const CompactLimits limits = CompactWindowLimits({200, 50}, {4, 24});
    EXPECT_EQ(limits.minimum, QSize(204, 74));
    EXPECT_EQ(limits.maximum, QSize(304, 74));
    // The largest normal window keeps the view's ratio below the bars.
    EXPECT_EQ(AspectMaximum({1920, 1080}, 100, 1.0), QSize(980, 1080));
    EXPECT_EQ(AspectMaximum({1000, 1080}, 100, 2.0), QSize(1000, 600));
}

TEST(WindowGeometryTest, TheWindowManagerKeepsTheRatioWithinHalfAPercent) {
    const AspectRange range = AspectHintRange(440.0 / 580.0);
    EXPECT_EQ(range, (AspectRange{QSize(7548, 10000), QSize(7624, 10000)}));
    EXPECT_EQ(AspectHintRange(0.0), AspectHintRange(1.0)) << "no usable ratio";
}

const QRect kWorkArea(0, 0, 1280, 1024);

// The front panel at its own size, centred with the commands bar beside it; a
// screen too large for 80 % of the monitor keeps its shape.
TEST(WindowPlacementTest, AFirstStartShowsTheViewAtItsNaturalSizeCentred) {
    EXPECT_EQ(FirstStartWindowRect({440, 580}, {0, 79}, kWorkArea, {}),
              (base::Rect{420, 182, 860, 841}));
    EXPECT_EQ(FirstStartWindowRect({440, 580}, {0, 79}, kWorkArea, {260, 0}),
              (base::Rect{290, 182, 730, 841}));
    const base::Rect large = FirstStartWindowRect({1280, 960}, {0, 109}, kWorkArea, {});
    EXPECT_EQ(large.height(), 1024 * 8 / 10);
    EXPECT_NEAR(double(large.width()) / (large.height() - 109), 4.0 / 3.0, 0.01);
    EXPECT_EQ(large.left, (1280 - large.width()) / 2);
}

// The legacy screen's window in mode 1 would be 1600 pixels wide.
TEST(WindowPlacementTest, AWindowLargerThanTheWorkAreaShrinksInShapeAndMovesIntoIt) {
    const base::Rect wide{200, 200, 1800, 700};
    const base::Rect kept = ClampIntoWorkArea(wide, kWorkArea, {0, 100}, true);
    EXPECT_EQ(kept, (base::Rect{0, 200, 1280, 620}));
    EXPECT_EQ(ClampIntoWorkArea({1200, -50, 1500, 250}, kWorkArea, {0, 100}, true),
              (base::Rect{980, 0, 1280, 300}))
        << "moved only";
    EXPECT_EQ(ClampIntoWorkArea({0, 0, 2000, 60}, kWorkArea, {0, 60}, false),
              (base::Rect{0, 0, 1280, 60}))
        << "the compact strip keeps its height";
}

TEST(WindowPlacementTest, ABarGoesRightOfTheWindowElseLeftElseBelowAndNeverOverIt) {
    const QRect window(400, 100, 500, 700);
    EXPECT_EQ(PlaceBeside(window, {260, 260}, kWorkArea, {}), QPoint(900, 100));
    // A second bar goes under the first.
    EXPECT_EQ(PlaceBeside(window, {260, 300}, kWorkArea, {QRect(900, 100, 260, 260)}),
              QPoint(900, 360));
    EXPECT_EQ(PlaceBeside(QRect(900, 100, 300, 700), {260, 260}, kWorkArea, {}), QPoint(640, 100));
    EXPECT_EQ(PlaceBeside(QRect(300, 100, 800, 700), {520, 80}, kWorkArea, {}), QPoint(300, 800));
    EXPECT_EQ(PlaceBeside(kWorkArea.adjusted(10, 10, -10, -10), {260, 260}, kWorkArea, {}),
              std::nullopt);
}

// In fullscreen the keyboard bar takes the bottom edge, the commands bar the
// right one; the fullscreen toolbar the highest free corner.
TEST(WindowPlacementTest, FullscreenBarsStandOutsideTheScreen) {
    const FullscreenBars bars = PlaceFullscreenBars(kWorkArea, QSize(500, 80), QSize(260, 300));
    EXPECT_EQ(bars.reserved, QMargins(0, 0, 260, 80));
    EXPECT_EQ(bars.commands, QPoint(1020, 0));
    EXPECT_EQ(bars.keyboard, QPoint(260, 944));
    EXPECT_EQ(PlaceFullscreenBars(kWorkArea, std::nullopt, std::nullopt).reserved, QMargins());

    const QRect screen(0, 0, 1020, 765);
    EXPECT_EQ(FreeSpot(kWorkArea, {60, 50}, {screen, QRect(1020, 0, 260, 300)}), QPoint(1220, 300));
    EXPECT_EQ(FreeSpot(kWorkArea, {60, 50}, {QRect(0, 0, 1280, 1000)}), std::nullopt);
}

} // namespace
} // namespace ombrix::shell
