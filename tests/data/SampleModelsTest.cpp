#include "IconStrips.h"
#include "KeyboardBar.h"
#include "SampleModelWriter.h"
#include "base/FileLookup.h"
#include "catalogue/ModelCatalogue.h"
#include "model/ModelFile.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ombrix::data {
namespace {

using sim::InstrumentModel;

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString expectedEnding(const InstrumentModel& model) {
    return model.shippedFile == sim::ModelFileKind::Exact ? "/Data/" + fromView(model.modelFileName)
                                                          : "/" + fromView(model.familyFileName);
}

QRect toQRect(const base::Rect& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The case is dark grey; keys and the display glass are light or blue.
bool isCase(QRgb pixel) {
    return std::max({qRed(pixel), qGreen(pixel), qBlue(pixel)}) < 100;
}

class SampleModelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(directory.isValid());
        for (const InstrumentModel& model : sim::allModels()) {
            writer.write(model);
        }
    }

    model::ModelFile load(const InstrumentModel& model) const {
        model::ModelFile file;
        EXPECT_EQ(file.load(writer.modelPath(model)), model::LoadOutcome::Loaded);
        return file;
    }

    QTemporaryDir directory;
    SampleModelWriter writer{directory.path()};
};

TEST_F(SampleModelsTest, TheBuildWroteTheSameFiles) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        QFile built(OMBRIX_SAMPLE_MODELS_DIR + expectedEnding(model));
        QFile written(writer.modelPath(model));
        ASSERT_TRUE(built.open(QIODevice::ReadOnly));
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(built.readAll(), written.readAll());
    }
}

TEST_F(SampleModelsTest, TheFrontPanelShowsTheDisplayWindowAtItsRectangle) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        const model::ModelFile file = load(model);
        const QImage panel(file.picturePath(file.model().keyboardBitmap));
        ASSERT_FALSE(panel.isNull());
        const QRect display = toQRect(file.model().display);
        ASSERT_TRUE(panel.rect().contains(display));
        // The view stretches icon panel and display together into the rectangle.
        EXPECT_EQ(display.width() * (model.height + model.iconPanelHeight),
                  display.height() * model.width);
        const QRgb glass = panel.pixel(display.topLeft());
        EXPECT_FALSE(isCase(glass));
        EXPECT_EQ(panel.pixel(display.bottomRight()), glass);
        EXPECT_EQ(panel.pixel(display.center()), glass);
        EXPECT_TRUE(isCase(panel.pixel(display.topLeft() - QPoint(1, 1))));
        EXPECT_TRUE(isCase(panel.pixel(display.bottomRight() + QPoint(1, 1))));
    }
}

TEST_F(SampleModelsTest, KeysAreDrawnWhereTheirButtonsAreAndNeverOverlap) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        const model::ModelFile file = load(model);
        const QImage panel(file.picturePath(file.model().keyboardBitmap));
        const auto& buttons = file.layout().buttons();
        ASSERT_FALSE(buttons.empty());
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            SCOPED_TRACE(buttons[i].keyName.toStdString());
            const QRect key = toQRect(buttons[i].rect);
            ASSERT_TRUE(panel.rect().contains(key));
            EXPECT_FALSE(key.intersects(toQRect(file.model().display)));
            const int x = key.center().x();
            const int y = key.top() + 8;
            EXPECT_FALSE(isCase(panel.pixel(x, key.top() + 5)));
            EXPECT_FALSE(isCase(panel.pixel(x, key.bottom() - 5)));
            EXPECT_FALSE(isCase(panel.pixel(key.left() + 4, y)));
            EXPECT_FALSE(isCase(panel.pixel(key.right() - 4, y)));
            EXPECT_TRUE(isCase(panel.pixel(x, key.top() - 3)));
            EXPECT_TRUE(isCase(panel.pixel(x, key.bottom() + 3)));
            EXPECT_TRUE(isCase(panel.pixel(key.left() - 3, y)));
            EXPECT_TRUE(isCase(panel.pixel(key.right() + 3, y)));
            for (std::size_t j = i + 1; j < buttons.size(); ++j) {
                EXPECT_FALSE(key.intersects(toQRect(buttons[j].rect)));
            }
        }
    }
}

TEST_F(SampleModelsTest, KeyNamesAreUniquePerCodeAndUseTheCataloguesCodes) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        const model::KeyboardLayout layout = load(model).layout();
        for (const auto& button : layout.buttons()) {
            EXPECT_EQ(layout.ButtonByCode(button.keyCode), layout.ButtonByName(button.keyName));
        }
        EXPECT_EQ(layout.ButtonByName(u"MENU")->keyCode, model.keys.menu);
        EXPECT_EQ(layout.ButtonByName(u"LIGHT")->keyCode, model.keys.backlight);
        EXPECT_EQ(layout.ButtonByName(u"7")->keyCode, model.keys.digits[7]);
    }
}

TEST_F(SampleModelsTest, KeyTablesHoldEveryKindOfEntryAndDriveTheEngine) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        model::KeyboardLayout layout = load(model).layout();
        const model::KeyTables& tables = layout.tables();
        EXPECT_TRUE(std::any_of(tables.sequences.begin(), tables.sequences.end(),
                                [](const auto& entry) { return entry.keys.size() == 1; }));
        ASSERT_FALSE(tables.combinations.empty());
        ASSERT_FALSE(tables.holdKeys.empty());

        // A left click on a key that is also a one-key sequence sends that key at
        // once; a right click lets the next key continue a longer entry.
        const auto left = model::MouseButton::Left;
        const auto right = model::MouseButton::Right;
        EXPECT_EQ(layout.Press(model.keys.menu, left).pendingCode, model.keys.menu);
        layout.Rest();
        EXPECT_EQ(layout.Press(model.keys.menu, right).pendingCode, std::nullopt);
        EXPECT_EQ(layout.Press(model.keys.enter, left).pendingCode, tables.sequences.back().code);
        layout.Rest();
        EXPECT_EQ(layout.Press(model.keys.down, right).pendingCode, std::nullopt);
        EXPECT_EQ(layout.Press(model.keys.up, left).pendingCode, tables.combinations.front().code);
        layout.Rest();
        layout.Press(model.keys.escape, left);
        const auto hold = layout.TakeHold();
        ASSERT_TRUE(hold.has_value());
        EXPECT_EQ(hold->code, tables.holdKeys.at(model.keys.escape));
    }
}

TEST_F(SampleModelsTest, IconStripsHaveOneBlackIconPerBand) {
    int modelsWithIcons = 0;
    for (const InstrumentModel& model : sim::allModels()) {
        if (model.iconPanelHeight == 0) {
            continue;
        }
        SCOPED_TRACE(model.key);
        ++modelsWithIcons;
        const model::ModelFile file = load(model);
        for (std::size_t strip = 0; strip < 3; ++strip) {
            const QImage image(file.picturePath(file.model().iconBitmaps[strip]));
            ASSERT_EQ(image.width(), model.width);
            ASSERT_EQ(image.height(), IconStrips::kBandCounts[strip] * model.iconPanelHeight);
            for (int band = 0; band < IconStrips::kBandCounts[strip]; ++band) {
                int black = 0;
                for (int y = band * model.iconPanelHeight; y < (band + 1) * model.iconPanelHeight;
                     ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        const QRgb pixel = image.pixel(x, y) & RGB_MASK;
                        ASSERT_TRUE(pixel == 0 || pixel == RGB_MASK);
                        black += pixel == 0 ? 1 : 0;
                    }
                }
                EXPECT_GT(black, 0) << "strip " << strip << " band " << band;
            }
        }
        QImage clear(file.picturePath(file.model().iconClear));
        EXPECT_EQ(clear.size(), QSize(model.width, model.iconPanelHeight));
        QImage white(clear.size(), QImage::Format_RGB32);
        white.fill(Qt::white);
        EXPECT_EQ(clear.convertToFormat(QImage::Format_RGB32), white);
    }
    EXPECT_GE(modelsWithIcons, 1);
}

TEST_F(SampleModelsTest, TheKeyboardBarHasOneSquareImagePerBarKey) {
    for (const InstrumentModel& model : sim::allModels()) {
        SCOPED_TRACE(model.key);
        const model::KeyboardLayout layout = load(model).layout();
        const QImage bar(base::ResolveFileName(directory.path(), layout.ToolbarBitmapPath()));
        ASSERT_FALSE(layout.toolbarButtons().empty());
        EXPECT_EQ(bar.size(),
                  QSize(KeyboardBar::kImageSize * static_cast<int>(layout.toolbarButtons().size()),
                        KeyboardBar::kImageSize));
    }
}

} // namespace
} // namespace ombrix::data
