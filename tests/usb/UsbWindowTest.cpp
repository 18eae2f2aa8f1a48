// The window on the emulated bus: an instrument reached over USB with no
// environment variable, its pair ticked in View > Instruments..., its screen on
// the view; the status bar and the dialog saying why a ticked device cannot be
// used.
#include "EmulatedUsbBus.h"
#include "SimScreen.h"
#include "app/COmbrixApp.h"
#include "catalogue/ModelCatalogue.h"
#include "shell/CMainFrame.h"
#include "shell/COmbrixView.h"

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

namespace ombrix::usbtest {
namespace {

constexpr int kPatienceMs = 20'000;

class UsbWindowTest : public ::testing::Test {
protected:
    EmulatedUsbBus bus;
    QTemporaryDir scratch;
    std::unique_ptr<app::COmbrixApp> application;

    QString settingsFile() const { return scratch.filePath(QStringLiteral("Ombrix.ini")); }

    void start() {
        application = std::make_unique<app::COmbrixApp>(
            app::COmbrixApp::Options{settingsFile(),
                                     scratch.filePath(QStringLiteral("no-sockets")).toStdString(),
                                     {},
                                     OMBRIX_SAMPLE_MODELS_DIR});
        QString error;
        ASSERT_TRUE(application->InitInstance(std::nullopt, error)) << error.toStdString();
    }

    void TearDown() override {
        if (application) {
            application->MainFrame().close();
            application->ExitInstance();
        }
    }

    shell::CMainFrame& frame() const { return application->MainFrame(); }
    QString status() const {
        return frame().findChild<QLabel*>(QStringLiteral("statusPane"))->text();
    }
    QDialog* openInstruments() const {
        frame().Commands().Action(shell::CommandId::Instruments)->trigger();
        return frame().findChild<QDialog*>(QStringLiteral("instrumentsDialog"));
    }

    static void save(QWidget& widget, const QString& name) {
        QDir().mkpath(QStringLiteral(OMBRIX_SCREENS_DIR));
        EXPECT_TRUE(widget.grab().save(QStringLiteral(OMBRIX_SCREENS_DIR "/") + name));
    }
};

// Whether `condition` holds within the patience, the event loop running.
bool eventually(const std::function<bool()>& condition) {
    return QTest::qWaitFor(condition, kPatienceMs);
}

// How far the view's picture of the screen is from the frame the document
// holds: the mean difference of the channels, 0 to 255.
double viewDifference(shell::COmbrixView& view, const QImage& frame) {
    const QRect screen(view.Layout()->screenOrigin, view.Layout()->screenSize);
    const QImage shown = view.grab(screen).toImage().scaled(frame.size(), Qt::IgnoreAspectRatio,
                                                            Qt::SmoothTransformation);
    double total = 0;
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const QColor a = shown.pixelColor(x, y);
            const QColor b = frame.pixelColor(x, y);
            total += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                     std::abs(a.blue() - b.blue());
        }
    }
    return total / (3.0 * frame.width() * frame.height());
}

TEST_F(UsbWindowTest, AnInstrumentTickedInTheDialogIsReachedAndShown) {
    UsbDeviceTraits traits;
    traits.modelKey = "colour";
    traits.productName = "ORMA 302 plus";
    EmulatedUsbDevice& instrument = bus.plug(traits);
    instrument.setFrozen(true);
    start();
    EXPECT_EQ(status(), QStringLiteral("Looking for an instrument"));
    QTest::qWait(300);
    EXPECT_EQ(instrument.transfers(), 0); // not listed: never opened

    // The view's link opens the dialog as the menu does.
    auto* link = frame().View().findChild<QLabel*>(QStringLiteral("searchingText"));
    ASSERT_NE(link, nullptr);
    emit link->linkActivated(QStringLiteral("instruments"));
    QDialog* dialog = frame().findChild<QDialog*>(QStringLiteral("instrumentsDialog"));
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(dialog->isVisible());
    auto* candidates = dialog->findChild<QTreeWidget*>(QStringLiteral("candidatesList"));
    ASSERT_EQ(candidates->topLevelItemCount(), 1);
    QTreeWidgetItem* row = candidates->topLevelItem(0);
    EXPECT_EQ(row->text(1), QStringLiteral("1a2b:0001"));
    EXPECT_EQ(row->text(3), QStringLiteral("ORMA 302 plus"));
    EXPECT_EQ(row->text(4), QStringLiteral("usb:1-2"));
    EXPECT_EQ(row->checkState(0), Qt::Unchecked);

    row->setCheckState(0, Qt::Checked);
    ASSERT_TRUE(eventually([&] {
        return status() == QStringLiteral("Connected (lum302plus.def)");
    })) << status().toStdString();
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat)
                  .value(QStringLiteral("MainSettings/Connection/usb_ids")),
              QStringLiteral("1a2b:0001"));
    document::DocumentHost& document = application->Document();
    ASSERT_TRUE(eventually([&] { return document.frame() != nullptr; }));

    const sim::InstrumentModel& model = *sim::findModel("colour");
    const QImage snapshot = instrument.snapshot();
    const render::CLumImage shown = document.frame()->shown();
    const QImage screen = shown.AsQImage();
    EXPECT_EQ(testing::ScreenMismatches(model, screen, snapshot), 0);
    ASSERT_TRUE(eventually([&] { return frame().View().Layout().has_value(); }));
    EXPECT_LT(viewDifference(frame().View(), screen.copy(0, 0, model.width, model.height)), 12.0);

    auto* instruments = dialog->findChild<QTreeWidget*>(QStringLiteral("instrumentsList"));
    ASSERT_TRUE(eventually([&] {
        return instruments->topLevelItem(0)->text(3) == QStringLiteral("in use here");
    })) << (instruments->topLevelItem(0)->text(3)).toStdString();
    EXPECT_EQ(instruments->topLevelItem(0)->text(0), QStringLiteral("30302"));
    save(*dialog, QStringLiteral("instruments-dialog.png"));
    save(frame(), QStringLiteral("window-usb.png"));

    row = candidates->topLevelItem(0);
    row->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat)
                  .value(QStringLiteral("MainSettings/Connection/usb_ids")),
              QString());
}

// A ticked device another program holds, then one this user may not open:
// the status bar says which and why, once, however often the session tries;
// the dialog shows the commands that give access, and Copy copies them.
TEST_F(UsbWindowTest, ADeviceThatCannotBeUsedSaysWhyInTheStatusBarAndTheDialog) {
    UsbDeviceTraits busy;
    bus.plug(busy).setBusy(true);
    UsbDeviceTraits locked;
    locked.port = 3;
    locked.product = 0x0002;
    bus.plug(locked);
    bus.denyAccess(3);
    {
        QSettings stored(settingsFile(), QSettings::IniFormat);
        stored.setValue(QStringLiteral("MainSettings/Connection/usb_ids"),
                        QStringLiteral("1a2b:0001, 1a2b:0002"));
    }
    start();
    ASSERT_TRUE(eventually([&] {
        return status() == QStringLiteral("The device at usb:1-2 is in use by another program");
    })) << status().toStdString();
    QSignalSpy changes(&application->Document(), &document::DocumentHost::statusTextChanged);
    QTest::qWait(1000); // twenty retries
    EXPECT_EQ(changes.count(), 0);

    bus.unplug(2);
    const QString denied = QStringLiteral("The device at usb:1-3 cannot be opened: permission "
                                          "denied; View > Instruments... shows how to give "
                                          "access");
    ASSERT_TRUE(eventually([&] { return status() == denied; })) << status().toStdString();
    QDialog* dialog = openInstruments();
    ASSERT_NE(dialog, nullptr);
    auto* instruments = dialog->findChild<QTreeWidget*>(QStringLiteral("instrumentsList"));
    ASSERT_TRUE(eventually([&] {
        return instruments->topLevelItem(0)->text(3) ==
               QStringLiteral("cannot be opened: permission denied");
    })) << (instruments->topLevelItem(0)->text(3)).toStdString();
    auto* candidates = dialog->findChild<QTreeWidget*>(QStringLiteral("candidatesList"));
    ASSERT_EQ(candidates->topLevelItemCount(), 1);
    EXPECT_EQ(candidates->topLevelItem(0)->text(5), QStringLiteral("not for this user"));
    auto* commands = dialog->findChild<QPlainTextEdit*>(QStringLiteral("accessCommands"));
    ASSERT_TRUE(commands->isVisible());
    EXPECT_TRUE(commands->toPlainText().startsWith(
        QStringLiteral("ombrix-cli udev-rules 1a2b:0002 | sudo tee "
                       "/etc/udev/rules.d/70-ombrix-1a2b-0002.rules\n")));
    QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("copyCommands")),
                      Qt::LeftButton);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), commands->toPlainText());
    save(*dialog, QStringLiteral("instruments-dialog-access.png"));
}

} // namespace
} // namespace ombrix::usbtest
