// The screenshot commands of the real main window against ombrix-sim: a failed
// save is said and recorded as none, Copy puts the framed screen on the
// clipboard, and the settings dialog edits a copy.
#include "MainFrameFixture.h"
#include "SimProcess.h"
#include "shell/CBrowseForFolderDialog.h"
#include "shell/CScreenshotSettingsDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

constexpr int kPatienceMs = 20'000;

class ScreenshotCommandsTest : public testing::MainFrameFixture {
protected:
    std::optional<sim::testing::SimProcess> sim;

    // The colour instrument in the device directory the window uses, and its
    // first frame on show.
    void startWithInstrument(const QByteArray& settings) {
        sim.emplace(QStringList{"--do", "freeze all on", "colour"},
                    scratch.filePath(QStringLiteral("devices")).toStdString());
        writeSettings(settings);
        ASSERT_TRUE(start()) << startError.toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return application->Document().frame() != nullptr; },
                                    kPatienceMs));
    }

    QString message() const { return frame().statusBar()->currentMessage(); }
};

TEST_F(ScreenshotCommandsTest, AFailedSaveIsShownAndRecordsNoPathButUsesItsNumber) {
    QFile blocker(scratch.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    startWithInstrument("[MainSettings/Screenshot]\nimage_format=0\nimage_counter=4\n"
                        "image_folder=\"" +
                        scratch.filePath(QStringLiteral("blocker/shots")).toUtf8() + "\"\n");
    trigger(CommandId::ScreenshotSave);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return message().contains("could not be saved"); }, kPatienceMs))
        << message().toStdString();
    EXPECT_TRUE(message().contains("blocker")) << message().toStdString();
    EXPECT_TRUE(application->LastSavedImage().isEmpty());
    EXPECT_EQ(application->Settings().Screenshot().Counter(), 5u);

    settings::ScreenshotSettings writable = application->Settings().Screenshot();
    writable.SetFolder(scratch.filePath(QStringLiteral("shots")));
    application->Settings().SetScreenshot(writable);
    trigger(CommandId::ScreenshotSave);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !application->LastSavedImage().isEmpty(); }, kPatienceMs))
        << message().toStdString();
    EXPECT_TRUE(application->LastSavedImage().endsWith(QStringLiteral("0005.tiff")));
    EXPECT_TRUE(QFileInfo(application->LastSavedImage()).isFile());
    EXPECT_TRUE(message().contains(QStringLiteral("saved to"))) << message().toStdString();
    EXPECT_EQ(application->Settings().Screenshot().Counter(), 6u);
}

// A counter reset while a screenshot waits for its poll stays reset.
TEST_F(ScreenshotCommandsTest, ACounterResetWhileSavingIsKept) {
    startWithInstrument("[MainSettings/Screenshot]\nimage_format=2\nimage_counter=8\n"
                        "image_folder=\"" +
                        scratch.filePath(QStringLiteral("shots")).toUtf8() + "\"\n");
    trigger(CommandId::ScreenshotSave);
    settings::ScreenshotSettings reset = application->Settings().Screenshot();
    reset.SetCounter(0);
    application->Settings().SetScreenshot(reset);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !application->LastSavedImage().isEmpty(); }, kPatienceMs));
    EXPECT_TRUE(application->LastSavedImage().endsWith(QStringLiteral("0008.png")));
    EXPECT_EQ(application->Settings().Screenshot().Counter(), 0u);
}

TEST_F(ScreenshotCommandsTest, CopyPutsTheFramedScreenAtTheZoomOnTheClipboard) {
    startWithInstrument("[Global]\nScreenshotZoom=2\n");
    trigger(CommandId::ScreenshotCopy);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize((320 + 8) * 2, (240 + 8) * 2));
    EXPECT_EQ(copied.pixel(1, 1) & RGB_MASK, 0u);
    EXPECT_EQ(copied.pixel(5, 5) & RGB_MASK, 0xFFFFFFu);
    const render::CLumImage shown = application->Document().frame()->shown();
    for (const auto& [x, y] : {std::pair{0, 0}, {160, 120}, {319, 239}}) {
        EXPECT_EQ(copied.pixel(2 * (x + 4) + 1, 2 * (y + 4) + 1) & RGB_MASK, shown.Pixel(x, y));
    }
    EXPECT_TRUE(message().contains(QStringLiteral("copied"))) << message().toStdString();
}

TEST(ScreenshotSettingsDialogTest, EditsACopyAndRefusesAPrefixNoFileNameCanHold) {
    settings::ScreenshotSettings settings;
    settings.SetPrefix(QStringLiteral("img"));
    settings.SetCounter(7);
    settings.SetFolder(QStringLiteral("/tmp/shots"));
    CScreenshotSettingsDlg dialog(settings);
    auto* format = dialog.findChild<QComboBox*>(QStringLiteral("imageFormat"));
    auto* prefix = dialog.findChild<QLineEdit*>(QStringLiteral("fileNamePrefix"));
    auto* name = dialog.findChild<QLabel*>(QStringLiteral("fileName"));
    ASSERT_TRUE(format && prefix && name);
    EXPECT_EQ(format->count(), 3);
    EXPECT_EQ(name->text(), QStringLiteral("img0007.tiff"));
    EXPECT_EQ(prefix->maxLength(), 252);

    format->setCurrentIndex(2);
    EXPECT_EQ(name->text(), QStringLiteral("img0007.png"));
    QTest::keyClicks(prefix, QStringLiteral("_a"));
    EXPECT_EQ(name->text(), QStringLiteral("img_a0007.png"));

    QString shown;
    testing::CloseMessageBoxSoon(dialog, shown);
    QTest::keyClicks(prefix, QStringLiteral("?"));
    EXPECT_EQ(shown, QStringLiteral("File name cannot include \\/:*?\"<>|"));
    EXPECT_EQ(prefix->text(), QStringLiteral("img_a?")) << "kept to be corrected";
    EXPECT_EQ(dialog.Settings().Prefix(), QStringLiteral("img_a"));
    QTest::keyClick(prefix, Qt::Key_Backspace);
    EXPECT_EQ(name->text(), QStringLiteral("img_a0007.png"));

    dialog.findChild<QPushButton*>(QStringLiteral("resetCounter"))->click();
    EXPECT_EQ(name->text(), QStringLiteral("img_a0000.png"));
    EXPECT_EQ(dialog.Settings().Counter(), 0u);
    EXPECT_EQ(dialog.Settings().Format(), 2u);

    auto* recordFormat = dialog.findChild<QComboBox*>(QStringLiteral("recordFormat"));
    auto* captions = dialog.findChild<QCheckBox*>(QStringLiteral("recordCaptions"));
    ASSERT_TRUE(recordFormat && captions);
    EXPECT_EQ(recordFormat->currentText(), QStringLiteral("WebM (VP9, lossless)"));
    EXPECT_FALSE(captions->isChecked());
    recordFormat->setCurrentIndex(1);
    captions->click();
    EXPECT_EQ(dialog.Settings().RecordFormat(), 1u);
    EXPECT_TRUE(dialog.Settings().RecordCaptions());
    EXPECT_EQ(settings.RecordFormat(), 0u) << "a copy";
}

TEST(FolderBrowserTest, StartsOnlyInAFolderThatExistsAndRefusesOneThatDoesNot) {
    QTemporaryDir scratch;
    const QString gone = scratch.filePath(QStringLiteral("gone"));
    EXPECT_NE(CBrowseForFolderDialog(nullptr, QStringLiteral("Pick"), gone).directory().path(),
              gone);
    CBrowseForFolderDialog browser(nullptr, QStringLiteral("Pick"), scratch.path());
    EXPECT_EQ(browser.directory().path(), scratch.path());

    browser.show();
    browser.selectFile(gone);
    QString shown;
    testing::CloseMessageBoxSoon(browser, shown);
    browser.accept();
    EXPECT_EQ(shown, QStringLiteral("Invalid directory!"));
    EXPECT_TRUE(browser.isVisible()) << "the browser stays open";
    EXPECT_NE(browser.result(), QDialog::Accepted);

    browser.selectFile(scratch.path());
    browser.accept();
    EXPECT_EQ(browser.result(), QDialog::Accepted);
    EXPECT_EQ(browser.FolderPath(), scratch.path());
}

} // namespace
} // namespace ombrix::shell
