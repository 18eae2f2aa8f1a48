#include "render/ImageOps.h"

#include "render/CLumImage.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::render {
namespace {

CLumImage filled(int w, int h, std::uint32_t pixel) {
    CLumImage image;
    EXPECT_TRUE(image.Create(w, h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.SetPixel(x, y, pixel);
        }
    }
    return image;
}

TEST(CLumImageTest, CreateRefusesImpossibleSizes) {
    CLumImage image;
    EXPECT_FALSE(image.Create(0, 5));
    EXPECT_FALSE(image.Create(5, -1));
    EXPECT_FALSE(image.Create(CLumImage::kMaxSide + 1, 1));
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_TRUE(image.Create(3, 2));
    EXPECT_EQ(image.Stride(), 12);
    EXPECT_EQ(image.Pixel(2, 1), 0u);
    EXPECT_EQ(image.Pixel(3, 0), 0u); // outside reads as 0
    image.SetPixel(-1, 0, 1);         // outside writes are ignored
    image.Release();
    EXPECT_TRUE(image.IsEmpty());
    EXPECT_EQ(image.Width(), 0);
}

TEST(CLumImageTest, LoadsBitmapsAsPixelWordsWithoutAlpha) {
    QTemporaryDir dir;
    QImage picture(2, 1, QImage::Format_RGB888);
    picture.setPixel(0, 0, qRgb(0x12, 0x34, 0x56));
    picture.setPixel(1, 0, qRgb(0xFF, 0x00, 0x80));
    const QString path = dir.filePath("p.bmp");
    ASSERT_TRUE(picture.save(path, "BMP"));
    CLumImage image;
    ASSERT_TRUE(image.Load(path));
    EXPECT_EQ(image.Pixel(0, 0), 0x00123456u);
    EXPECT_EQ(image.Pixel(1, 0), 0x00FF0080u);
    EXPECT_EQ(image.AsQImage().pixel(1, 0), qRgb(0xFF, 0x00, 0x80));
    EXPECT_EQ(image.AsQImage().constBits(), reinterpret_cast<const uchar*>(image.Bits()));

    EXPECT_FALSE(image.Load(dir.filePath("missing.bmp")));
    EXPECT_TRUE(image.IsEmpty());
}

TEST(ImageOpsTest, OpaqueCopiesSkipTheTransparentColour) {
    CLumImage target = filled(3, 1, 0x111111);
    CLumImage source = filled(3, 1, 0xFFFFFF);
    source.SetPixel(1, 0, 0x00FF00);
    CopyOpaquePixels(target, 0, 0, source, 0, 0, 3, 1, 0xFFFFFF);
    EXPECT_EQ(target.Pixel(0, 0), 0x111111u);
    EXPECT_EQ(target.Pixel(1, 0), 0x00FF00u);
}

TEST(ImageOpsTest, CopiesAreClippedToBothImages) {
    CLumImage target = filled(2, 2, 0);
    const CLumImage source = filled(3, 3, 0xABCDEF);
    CopyPixels(target, -1, 1, source, 0, 0, 5, 5);
    EXPECT_EQ(target.Pixel(0, 0), 0u);
    EXPECT_EQ(target.Pixel(0, 1), 0xABCDEFu);
    EXPECT_EQ(target.Pixel(1, 1), 0xABCDEFu);
    CopyPixels(target, 0, 0, source, 2, 2, 4, 4); // one pixel of the source is left
    EXPECT_EQ(target.Pixel(0, 0), 0xABCDEFu);
    EXPECT_EQ(target.Pixel(1, 0), 0u);
    CLumImage empty;
    CopyPixels(empty, 0, 0, source, 0, 0, 3, 3);
    CopyPixels(target, 0, 0, empty, 0, 0, 3, 3);
}

TEST(ImageOpsTest, ReplaceColorMatchesTheLow24Bits) {
    CLumImage image = filled(2, 1, 0);
    image.SetPixel(1, 0, 0x00FFFFFF);
    ReplaceColor(image, 0xFF000000, 0x00FF0000);
    EXPECT_EQ(image.Pixel(0, 0), 0x00FF0000u);
    EXPECT_EQ(image.Pixel(1, 0), 0x00FFFFFFu);
}

} // namespace
} // namespace ombrix::render
