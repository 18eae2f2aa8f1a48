#include "render/IconPanel.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::render {
namespace {

using base::ColorRef;
using base::DisplayColors;

constexpr int kWidth = 16;
constexpr int kPanel = 3;
constexpr std::uint32_t kWhite = 0x00FFFFFFu;

// A strip of black-on-white icons: icon i is a black pixel at column i of its band.
QString writeStrip(const QTemporaryDir& dir, const QString& name, int icons) {
    QImage strip(kWidth, std::max(icons, 1) * kPanel, QImage::Format_RGB32);
    strip.fill(Qt::white);
    for (int i = 0; i < icons; ++i) {
        strip.setPixel(i, i * kPanel + 1, qRgb(0, 0, 0));
    }
    const QString path = dir.filePath(name);
    EXPECT_TRUE(strip.save(path, "BMP"));
    return path;
}

class IconPanelTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    IconPaths paths;
    IconImages icons;
    DisplayColors colours;
    ScreenGeometry geometry{kWidth, 4, kPanel};
    CLumImage screen;

    void SetUp() override {
        paths = {writeStrip(dir, "S1.bmp", 14), writeStrip(dir, "S2.bmp", 16),
                 writeStrip(dir, "S3.bmp", 16), writeStrip(dir, "CLEAR.bmp", 0)};
        ASSERT_TRUE(CreateScreenImage(screen, geometry));
    }

    void load() {
        LoadIconImages(icons, paths, colours);
        icons[kBlinkPanelSlot].Create(kWidth, kPanel);
    }

    bool lit(const CLumImage& image, int x) const { return image.Pixel(x, 1) != kWhite; }
};

TEST_F(IconPanelTest, BlackAndWhiteFollowTheUserColours) {
    colours[DisplayColors::Foreground] = ColorRef(0x0000FF);          // red
    colours[DisplayColors::BacklightBackground] = ColorRef(0x00FF00); // green
    QImage clear(kWidth, kPanel, QImage::Format_RGB32);
    clear.fill(qRgb(0, 0, 0));
    clear.setPixel(0, 0, qRgb(0x12, 0x34, 0x56));
    ASSERT_TRUE(clear.save(paths[3], "BMP"));
    load();
    EXPECT_EQ(icons[3].Pixel(1, 1), 0x00FF0000u);
    EXPECT_EQ(icons[3].Pixel(0, 0), 0x00123456u); // other colours are kept
    EXPECT_EQ(icons[0].Pixel(0, 1), 0x00FF0000u);
    EXPECT_EQ(icons[5].Pixel(0, 1), 0u); // backlight foreground stays black
    EXPECT_EQ(icons[5].Pixel(1, 1), 0x0000FF00u);
}

TEST_F(IconPanelTest, SteadyIconsGoEverywhereBlinkingOnlyToTheBlinkPanel) {
    load();
    // Strip 0: icon 0 steady, icon 1 blinking, icon 2 off. Strip 2: icon 15 steady.
    const std::vector<std::int32_t> words{0b011, 0b010, 0, 0, 0x8000, 0};
    ComposeIcons(screen, icons, geometry, words, 0, colours);
    const CLumImage& blink = icons[kBlinkPanelSlot];
    EXPECT_TRUE(lit(screen, 0));
    EXPECT_FALSE(lit(screen, 1));
    EXPECT_FALSE(lit(screen, 2));
    EXPECT_TRUE(lit(screen, 15));
    EXPECT_TRUE(lit(blink, 0));
    EXPECT_TRUE(lit(blink, 1));
    EXPECT_FALSE(lit(blink, 2));
    EXPECT_TRUE(lit(blink, 15));

    ComposeIcons(screen, icons, geometry, {0xC000, 0, 0, 0, 0, 0}, 0, colours);
    for (int x = 0; x < kWidth; ++x) {
        EXPECT_FALSE(lit(screen, x)) << x << ": the status bits of the first pair are no icons";
    }
}

TEST_F(IconPanelTest, TheBacklightSelectsTheBacklightSet) {
    colours[DisplayColors::BacklightForeground] = ColorRef(0x0000FF);
    load();
    ComposeIcons(screen, icons, geometry, {1, 0}, 1, colours);
    EXPECT_EQ(screen.Pixel(0, 1), 0x00FF0000u);
    EXPECT_EQ(screen.Pixel(1, 1), 0x0000FF00u); // white became the backlight background
}

TEST_F(IconPanelTest, MissingWordsCountAsZeroAndTheDisplayIsNotTouched) {
    load();
    screen.SetPixel(0, kPanel, 0x00ABCDEFu);
    ComposeIcons(screen, icons, geometry, {1}, 0, colours);
    EXPECT_TRUE(lit(screen, 0));
    EXPECT_EQ(screen.Pixel(0, kPanel), 0x00ABCDEFu);
}

TEST_F(IconPanelTest, ShortStripsAndMissingPanelsAreHarmless) {
    paths[2] = writeStrip(dir, "SHORT.bmp", 1); // one band where sixteen are expected
    paths[0] = dir.filePath("MISSING.bmp");
    load();
    EXPECT_TRUE(icons[0].IsEmpty());
    ComposeIcons(screen, icons, geometry, {0x3FFF, 0, 0, 0, 0xFFFF, 0}, 0, colours);
    EXPECT_TRUE(lit(screen, 0)); // band 0 of the short strip

    IconImages none;
    CLumImage untouched = screen;
    ComposeIcons(screen, none, geometry, {1, 0}, 0, colours);
    EXPECT_EQ(screen, untouched);

    const ScreenGeometry flat{kWidth, 4, 0}; // no panel: nothing to compose
    CLumImage flatScreen;
    ASSERT_TRUE(CreateScreenImage(flatScreen, flat));
    untouched = flatScreen;
    ComposeIcons(flatScreen, icons, flat, {1, 0}, 0, colours);
    EXPECT_EQ(flatScreen, untouched);
}

} // namespace
} // namespace ombrix::render
