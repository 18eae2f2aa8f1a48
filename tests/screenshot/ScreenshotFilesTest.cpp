// The framed picture, the file names and counters, and saving without ever
// overwriting a screenshot.
#include "screenshot/ComposeScreenshot.h"
#include "screenshot/SaveScreenshot.h"
#include "screenshot/ScreenshotFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::screenshot {
namespace {

settings::ScreenshotSettings named(const QString& prefix, std::uint32_t counter,
                                   std::uint32_t format, const QString& folder) {
    settings::ScreenshotSettings settings;
    settings.SetPrefix(prefix);
    settings.SetCounter(counter);
    settings.SetFormat(format);
    settings.SetFolder(folder);
    return settings;
}

render::CLumImage screenOf(int width, int height) {
    render::CLumImage screen;
    screen.Create(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            screen.SetPixel(x, y, static_cast<base::Pixel>((x * 7 + y * 13) * 0x010203 & 0xFFFFFF));
        }
    }
    return screen;
}

TEST(ScreenshotFilesTest, TheFrameIsTwoBlackAndTwoWhitePixelsRoundTheScreen) {
    const render::CLumImage screen = screenOf(128, 75);
    const render::CLumImage framed = ComposeScreenshot(screen);
    ASSERT_EQ(framed.Width(), 136);
    ASSERT_EQ(framed.Height(), 83);
    for (const int at : {0, 1}) {
        EXPECT_EQ(framed.Pixel(at, 40), 0u);
        EXPECT_EQ(framed.Pixel(135 - at, 40), 0u);
        EXPECT_EQ(framed.Pixel(60, at), 0u);
        EXPECT_EQ(framed.Pixel(60, 82 - at), 0u);
    }
    for (const int at : {2, 3}) {
        EXPECT_EQ(framed.Pixel(at, 40), 0xFFFFFFu);
        EXPECT_EQ(framed.Pixel(135 - at, 40), 0xFFFFFFu);
        EXPECT_EQ(framed.Pixel(60, at), 0xFFFFFFu);
        EXPECT_EQ(framed.Pixel(60, 82 - at), 0xFFFFFFu);
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {127, 0}, {0, 74}, {127, 74}, {50, 30}}) {
        EXPECT_EQ(framed.Pixel(x + 4, y + 4), screen.Pixel(x, y)) << x << "," << y;
    }
    EXPECT_TRUE(ComposeScreenshot(render::CLumImage()).IsEmpty());
}

TEST(ScreenshotFilesTest, NamesHaveThePrefixAFourDigitCounterAndTheFormatsExtension) {
    const QString folder = QStringLiteral("shots");
    const QString separator = QDir::separator();
    EXPECT_EQ(ScreenshotFilePath(named("img", 7, 0, folder)), "shots" + separator + "img0007.tiff");
    EXPECT_EQ(ScreenshotFilePath(named("img", 7, 0, "shots/")),
              "shots" + separator + "img0007.tiff");
    EXPECT_EQ(ScreenshotFilePath(named("img", 7, 1, "")), QStringLiteral("img0007.pcx"));
    EXPECT_EQ(ScreenshotFileName(named("img", 12345, 2, folder)), QStringLiteral("img12345.png"));
    EXPECT_TRUE(ScreenshotFilePath(named("img", 7, 3, folder)).isEmpty()) << "no format 3";
    EXPECT_EQ(NextCounter(7), 8u);
    EXPECT_EQ(NextCounter(9999), 0u);
    EXPECT_EQ(NextCounter(12345), 0u);
}

class SaveScreenshotTest : public ::testing::Test {
protected:
    QTemporaryDir scratch;
    const render::CLumImage framed = ComposeScreenshot(screenOf(20, 10));

    QString folder(const char* name) const { return scratch.filePath(QString::fromLatin1(name)); }
};

// After "Reset counter" the next screenshot must not destroy the earlier one.
TEST_F(SaveScreenshotTest, AnExistingFileIsKeptAndTheNextFreeNumberTaken) {
    for (std::uint32_t format = 0; format < 3; ++format) {
        SCOPED_TRACE(format);
        const auto settings = named("img", 0, format, folder("shots"));
        const ScreenshotOutcome first = SaveScreenshot(framed, settings, 1);
        ASSERT_TRUE(first.written) << first.error.toStdString();
        const QByteArray firstBytes = [&] {
            QFile file(first.path);
            return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        }();
        const ScreenshotOutcome second =
            SaveScreenshot(ComposeScreenshot(screenOf(30, 5)), settings, 1);
        ASSERT_TRUE(second.written) << second.error.toStdString();
        EXPECT_NE(second.path, first.path);
        EXPECT_TRUE(
            second.path.endsWith(QStringLiteral("img0001.") + first.path.section(u'.', -1)));
        EXPECT_EQ(second.nextCounter, 2u);
        QFile kept(first.path);
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), firstBytes);
    }
}

TEST_F(SaveScreenshotTest, TheCounterWrapsPast9999OnceToFindAFreeName) {
    for (const std::uint32_t counter : {9999u, 12345u}) { // 12345 as a stored setting may hold
        SCOPED_TRACE(counter);
        const auto settings = named("w", counter, 2, folder("wrap"));
        ASSERT_TRUE(SaveScreenshot(framed, settings, 1).written);
        const ScreenshotOutcome wrapped = SaveScreenshot(framed, settings, 1);
        ASSERT_TRUE(wrapped.written);
        EXPECT_EQ(wrapped.counter, counter);
        EXPECT_TRUE(wrapped.path.endsWith(counter == 9999 ? QStringLiteral("w0000.png")
                                                          : QStringLiteral("w0001.png")))
            << wrapped.path.toStdString();
    }
}

TEST_F(SaveScreenshotTest, AFailedWriteLeavesNoFileButUsesItsNumber) {
    render::CLumImage wide; // too wide for PCX at zoom 4
    ASSERT_TRUE(wide.Create(render::CLumImage::kMaxSide, 1));
    const ScreenshotOutcome failed = SaveScreenshot(wide, named("p", 2, 1, folder("pcx")), 4);
    EXPECT_FALSE(failed.written);
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(failed.path)) << "no empty or partial file";
    EXPECT_EQ(failed.nextCounter, 3u);
}

TEST_F(SaveScreenshotTest, AMissingFolderIsCreatedAndAFailureIsReportedAndCounted) {
    const ScreenshotOutcome nested = SaveScreenshot(framed, named("n", 3, 0, folder("a/b/c")), 1);
    EXPECT_TRUE(nested.written) << nested.error.toStdString();
    EXPECT_TRUE(QFileInfo(nested.path).isFile());

    // A folder that cannot exist: its parent is a file.
    QFile blocker(folder("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ScreenshotOutcome failed =
        SaveScreenshot(framed, named("f", 5, 1, folder("blocker/sub")), 1);
    EXPECT_FALSE(failed.written);
    EXPECT_TRUE(failed.error.contains(QStringLiteral("cannot be created")))
        << failed.error.toStdString();
    EXPECT_EQ(failed.nextCounter, 6u) << "a failed write still uses up its number";

    const ScreenshotOutcome unknown = SaveScreenshot(framed, named("u", 5, 9, folder("u")), 1);
    EXPECT_FALSE(unknown.written);
    EXPECT_FALSE(unknown.nextCounter.has_value()) << "an unknown format counts nothing";
    EXPECT_FALSE(QFileInfo::exists(folder("u")));
}

} // namespace
} // namespace ombrix::screenshot
