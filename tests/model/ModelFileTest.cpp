#include "model/ModelFile.h"

#include "ModelTestText.h"
#include "model/ModelFileError.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

namespace ombrix::model {
namespace {

using base::ColorRef;

const QString kMinimalMain = QStringLiteral(
    "[Main]\nKeyboardBitmap=\"f.bmp\"\nIconsPanelHeight=0\nDisplayWidth=8\nDisplayHeight=4\n");

ModelFileError::Kind loadError(ModelFile& file, const QString& path) {
    try {
        file.load(path);
    } catch (const ModelFileError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "loaded " << path.toStdString();
    return ModelFileError::Kind::CannotWrite;
}

ModelFile sampleModel() {
    InstrumentModel model;
    model.dataDir = QStringLiteral("LUM302");
    model.keyboardBitmap = QStringLiteral("FRONT.BMP");
    model.hardwareName = QStringLiteral("LUM302 PLUS");
    model.displayWidth = 160;
    model.displayHeight = 100;
    model.display = {30, 40, 350, 240};
    model.iconBitmaps = {QStringLiteral("I1.BMP"), QStringLiteral("I2.BMP"),
                         QStringLiteral("I3.BMP")};
    model.iconClear = QStringLiteral("CLEAR.BMP");
    model.iconsPanelHeight = 12;
    model.colors.colours = {ColorRef(0x0000FF), ColorRef(0x00FF00), ColorRef(0x123456),
                            ColorRef(0xABCDEF)};
    std::vector<KeyButton> buttons = {{{0, 0, 10, 10}, 0x10, QStringLiteral("MENU")},
                                      {{10, 0, 20, 10}, 0x11, QStringLiteral("ENTER")},
                                      {{20, 0, 30, 10}, 0x1FF, QStringLiteral("ON")}};
    KeyTables tables;
    tables.sequences = {{{0x10, 0x11}, 0x21}, {{0x10}, 0x10}};
    tables.combinations = {{{0x1FF, 0x10, 0x1FF}, 0x30}};
    tables.holdKeys = {{0x11, 0x40}, {0x1FF, 0x41}};
    return ModelFile(model,
                     KeyboardLayout(buttons, QStringLiteral("BAR.BMP"), {0x11, 0x10}, tables));
}

TEST(ModelFileTest, LoadsACompleteFile) {
    ModelFile file;
    ASSERT_EQ(file.load(fixture("sample.def")), LoadOutcome::Loaded);
    const InstrumentModel& model = file.model();
    EXPECT_EQ(model.hardwareName, u"LUM745A");
    EXPECT_EQ(model.keyboardBitmap, u"FRONT.BMP");
    EXPECT_EQ(model.displayHeight, 0x40);
    EXPECT_EQ(model.display, (base::Rect{40, 60, 296, 188}));
    EXPECT_EQ(model.iconClear, u"ICONCLEAR.BMP");
    EXPECT_EQ(model.colors.colours, (std::array{ColorRef(0x101010), ColorRef(0x00FF00),
                                                ColorRef(0x000000), ColorRef(0xC0FFC0)}));
    EXPECT_EQ(file.dataPath(), fixture("LUM745/"));
    EXPECT_EQ(file.layout().buttons().size(), 5u);
    EXPECT_EQ(file.lines().lines().front(), u"[MAIN]");
}

TEST(ModelFileTest, MissingKeysTakeTheirDefaults) {
    ModelFile file;
    ASSERT_EQ(file.load(utf16(kMinimalMain), QStringLiteral("m.def")), LoadOutcome::Loaded);
    InstrumentModel expected;
    expected.keyboardBitmap = QStringLiteral("F.BMP");
    expected.iconsPanelHeight = 0;
    expected.displayWidth = 8;
    expected.displayHeight = 4;
    EXPECT_EQ(file.model(), expected);
    EXPECT_EQ(file.model().display, (base::Rect{0, 0, 1, 1}));
    EXPECT_TRUE(file.layout().buttons().empty());
}

TEST(ModelFileTest, AnIconPanelNeedsAllFourIconNames) {
    ModelFile file = sampleModel();
    const QString icons = QStringLiteral(
        "[Main]\nKeyboardBitmap=\"f\"\nIconBitmap1=\"a\"\nIconBitmap2=\"b\"\nIconBitmap3=\"c\"\n");
    try {
        file.load(utf16(icons), QStringLiteral("/m/lum.def"));
        FAIL() << "accepted";
    } catch (const ModelFileError& error) {
        EXPECT_EQ(error.kind(), ModelFileError::Kind::BadFormat);
        EXPECT_EQ(error.message(), u"/m/lum.def has a bad format.");
    }
    EXPECT_EQ(file.model(), sampleModel().model()); // refused: nothing changed
    EXPECT_EQ(file.load(utf16(icons + "IconClear=\"d\"\nDisplayWidth=8\nDisplayHeight=8\n"),
                        QStringLiteral("m.def")),
              LoadOutcome::Loaded);
}

// The message a refused file gives; empty when it loads.
QString refusal(const QString& main) {
    try {
        ModelFile().load(utf16(QStringLiteral("[Main]\nKeyboardBitmap=\"f\"\n") + main),
                         QStringLiteral("/m/lum.def"));
    } catch (const ModelFileError& error) {
        EXPECT_EQ(error.kind(), ModelFileError::Kind::BadFormat);
        return error.message();
    }
    return {};
}

TEST(ModelFileTest, AScreenOrDisplayRectangleBeyondTheLimitsIsRefusedNamingTheValue) {
    const QString size = QStringLiteral("IconsPanelHeight=0\nDisplayWidth=128\nDisplayHeight=64\n");
    EXPECT_EQ(refusal(size), QString());
    EXPECT_EQ(refusal(QStringLiteral("IconsPanelHeight=0\n")),
              u"/m/lum.def has a bad format: DisplayWidth is 0, outside 1 to 4096.");
    EXPECT_EQ(
        refusal(QStringLiteral("IconsPanelHeight=0\nDisplayWidth=8\nDisplayHeight=2147483647\n")),
        u"/m/lum.def has a bad format: DisplayHeight is 2147483647, outside 1 to 4096.");
    EXPECT_EQ(refusal(QStringLiteral("IconsPanelHeight=-1\nDisplayWidth=8\nDisplayHeight=8\n")),
              u"/m/lum.def has a bad format: IconsPanelHeight is -1, outside 0 to 1024.");
    EXPECT_FALSE(refusal(size + "DisplayX=20\nDisplayRight=10\n").isEmpty());
    EXPECT_FALSE(refusal(size + "DisplayY=-3\n").isEmpty());
    EXPECT_FALSE(refusal(size + "DisplayBottom=99999\n").isEmpty());
    EXPECT_EQ(refusal(size + "DisplayX=16384\nDisplayRight=16384\n"), QString());
}

TEST(ModelFileTest, AnEmptyKeyboardBitmapKeepsAllButTheDataFolder) {
    ModelFile file = sampleModel();
    const QString text =
        QStringLiteral("[Main]\nDataDir=\"Other\"\nHardwareName=\"X\"\n") + buttonsText({{"A", 1}});
    ASSERT_EQ(file.load(utf16(text), QStringLiteral("/m/x.def")), LoadOutcome::NoKeyboardBitmap);
    InstrumentModel expected = sampleModel().model();
    expected.dataDir = QStringLiteral("OTHER");
    EXPECT_EQ(file.model(), expected);
    EXPECT_EQ(file.dataPath(), u"/m/OTHER/");
    EXPECT_EQ(file.layout(), sampleModel().layout());
}

TEST(ModelFileTest, RefusesFilesItCannotUse) {
    ModelFile file;
    using Kind = ModelFileError::Kind;
    EXPECT_EQ(loadError(file, fixture("missing.def")), Kind::CannotRead);
    EXPECT_EQ(loadError(file, fixture("")), Kind::CannotRead); // a folder
    if (QFile::exists(QStringLiteral("/proc/self/mem"))) {     // opens, but its first read fails
        EXPECT_EQ(loadError(file, QStringLiteral("/proc/self/mem")), Kind::CannotRead);
    }
    EXPECT_EQ(loadError(file, fixture("utf8.def")), Kind::NotUtf16);
    EXPECT_EQ(loadError(file, fixture("big_endian.def")), Kind::NotUtf16);
    EXPECT_EQ(loadError(file, fixture("truncated.def")), Kind::Truncated);
    QTemporaryDir dir;
    QFile huge(dir.filePath(QStringLiteral("huge.def")));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.write(utf16(QString(ModelLines::kMaxBytes, u'A')));
    huge.close();
    EXPECT_EQ(loadError(file, huge.fileName()), Kind::TooLarge);
    EXPECT_EQ(file.model(), InstrumentModel());
}

TEST(ModelFileTest, BoundsCountsAndEntrySizes) {
    const auto kind = [](const QString& text) {
        try {
            ModelFile().load(utf16(kMinimalMain + text), QStringLiteral("m.def"));
        } catch (const ModelFileError& error) {
            return error.kind();
        }
        return ModelFileError::Kind::CannotRead;
    };
    const QString tooManyKeys = QStringLiteral("A") + QStringLiteral("+A").repeated(32);
    EXPECT_EQ(kind(QStringLiteral("[ButtonsInfo]\nButtonsCount=1025\n")),
              ModelFileError::Kind::TooManyEntries);
    EXPECT_EQ(kind(QStringLiteral("[HoldKeys]\nHoldKeysNumber=1025\n")),
              ModelFileError::Kind::TooManyEntries);
    EXPECT_EQ(kind(buttonsText({{"A", 1}}) + "[Combinations]\nCombinationsNumber=1\ns0=\"" +
                   tooManyKeys + "\"\n"),
              ModelFileError::Kind::TooManyEntries);
    ModelFile file;
    file.load(utf16(kMinimalMain +
                    "[ButtonsInfo]\nButtonsCount=-5\n[ButtonsToolbar]\n"
                    "Sequence=\"" +
                    QString(4000, u',') + "\"\n"),
              QStringLiteral("m.def"));
    EXPECT_TRUE(file.layout().buttons().empty());
    EXPECT_TRUE(file.layout().toolbarButtons().empty());
}

TEST(ModelFileTest, StoresTheExactFormat) {
    InstrumentModel model;
    model.keyboardBitmap = QStringLiteral("Front.bmp");
    model.colors[base::DisplayColors::Background] = ColorRef(0xC0FFEE);
    const std::vector<KeyButton> buttons = {{{1, 2, 3, 4}, 0xA, QStringLiteral("Menu")}};
    KeyTables tables;
    tables.sequences = {{{0xA, 0xA}, 0xB}};
    tables.holdKeys = {{0xA, 0x5}};
    const ModelFile file(model,
                         KeyboardLayout(buttons, QStringLiteral("Bar.bmp"), {0xA, 0xA}, tables));
    EXPECT_EQ(file.store(),
              utf16(QStringLiteral(
                  "[Main]\nDataDir=\"\"\nKeyboardBitmap=\"Front.bmp\"\nHardwareName=\"\"\n"
                  "DisplayWidth=0\nDisplayHeight=0\nDisplayX=0\nDisplayY=0\nDisplayRight=1\n"
                  "DisplayBottom=1\nIconBitmap1=\"\"\nIconBitmap2=\"\"\nIconBitmap3=\"\"\n"
                  "IconClear=\"\"\nIconsPanelHeight=11\nForegroundColor=0x000000\n"
                  "BackgroundColor=0xC0FFEE\nBacklightForegroundColor=0x000000\n"
                  "BacklightBackgroundColor=0x00FF00\n[ButtonsInfo]\nButtonsCount=1\n"
                  "[Button0]\nX=1\nY=2\nRight=3\nBottom=4\nKeyCode=0x0A\nKeyName=\"Menu\"\n"
                  "[Sequences]\nSequencesNumber=1\ns0=\"Menu+Menu\"\nv0=0x0B\n"
                  "[Combinations]\nCombinationsNumber=0\n[HoldKeys]\nHoldKeysNumber=1\n"
                  "s0=\"Menu\"\nv0=0x05\n[ButtonsToolbar]\nBitmap=\"Bar.bmp\"\n"
                  "Sequence=\"Menu,Menu\"\n")));
}

TEST(ModelFileTest, StoreAndLoadGiveTheSameModel) {
    const ModelFile original = sampleModel();
    ModelFile loaded;
    ASSERT_EQ(loaded.load(original.store(), QStringLiteral("m.def")), LoadOutcome::Loaded);
    EXPECT_EQ(loaded.model(), original.model());
    EXPECT_EQ(loaded.layout(), original.layout());
}

// A value with a line break cannot be stored, a file not saved where no folder is.
TEST(ModelFileTest, StoreAndSaveRefuseWhatCannotBeReadBack) {
    ModelFile file = sampleModel();
    QTemporaryDir dir;
    EXPECT_THROW(file.save(dir.filePath(QStringLiteral("no/such/folder.def"))), ModelFileError);
    file.model().hardwareName = QStringLiteral("A\nB");
    EXPECT_THROW(file.store(), ModelFileError);
}

TEST(ModelFileTest, NumbersIgnoreTheLocale) {
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "German locale not installed";
    }
    ModelFile file = sampleModel();
    file.model().displayWidth = 12345;
    const QByteArray stored = file.store();
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(stored.contains(utf16(QStringLiteral("DisplayWidth=12345\n"), false)));
}

TEST(ModelFileTest, PicturesAreFoundWhateverTheirCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Lum745")));
    QFile picture(dir.filePath(QStringLiteral("Lum745/Front.bmp")));
    ASSERT_TRUE(picture.open(QIODevice::WriteOnly));
    picture.close();
    ModelFile file;
    file.load(utf16(QStringLiteral("[Main]\nDataDir=\"lum745\"\nKeyboardBitmap=\"front.BMP\"\n"
                                   "IconsPanelHeight=0\nDisplayWidth=8\nDisplayHeight=8\n")),
              dir.filePath(QStringLiteral("lum745.def")));
    EXPECT_EQ(file.dataPath(), dir.filePath(QStringLiteral("Lum745/")));
    EXPECT_EQ(file.picturePath(file.model().keyboardBitmap), picture.fileName());
}

} // namespace
} // namespace ombrix::model
