// ombrix-cli capture and press against ombrix-sim: the whole session (worker,
// model loading, polling, key sending) as the application runs it.
#include "CliProcess.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "SimScreen.h"
#include "catalogue/ModelCatalogue.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <string>

namespace {

using ombrix::sim::InstrumentModel;
using ombrix::sim::testing::SimProcess;
using ombrix::sim::testing::SimRecord;
using ombrix::testing::CliResult;
using ombrix::testing::RunCli;

QString devices(const SimProcess& sim) {
    return QString::fromStdString(sim.deviceDirectory().string());
}

QString key(const InstrumentModel& model) {
    return QString::fromUtf8(model.key.data(), static_cast<qsizetype>(model.key.size()));
}

// Every simulated model on its own port, frozen, one-bit screens with the
// backlight off (the default colours), and a snapshot of each port's next screen.
QStringList captureArguments(const QTemporaryDir& scratch) {
    QStringList arguments{"--do", "freeze all on"};
    int port = 1;
    for (const InstrumentModel& model : ombrix::sim::allModels()) {
        arguments << key(model);
        const QString number = QString::number(port++);
        if (model.bitsPerPixel == 1) {
            arguments << "--do"
                      << "key " + number + " " + QString::number(model.keys.backlight);
        }
        arguments << "--do"
                  << "snapshot " + number + " " + scratch.filePath(key(model) + ".png");
    }
    return arguments;
}

// Display pixels of the capture that differ from the simulator's snapshot.
int mismatches(const InstrumentModel& model, const QImage& capture, const QImage& snapshot) {
    const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    int count = 0;
    for (int y = 0; y < model.height; ++y) {
        for (int x = 0; x < model.width; ++x) {
            const std::uint32_t shown = capture.pixel(x, top + y) & 0x00FFFFFFu;
            count += shown != ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y) ? 1 : 0;
        }
    }
    return count;
}

int inkedPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += (image.pixel(x, y) & 0x00FFFFFFu) != 0x00FFFFFFu ? 1 : 0;
        }
    }
    return count;
}

TEST(CliCaptureIntegrationTest, WritesWhatTheSimulatorDrewForEveryModel) {
    QTemporaryDir scratch;
    SimProcess sim(captureArguments(scratch));
    for (const InstrumentModel& model : ombrix::sim::allModels()) {
        SCOPED_TRACE(model.key);
        const QString output = scratch.filePath(key(model) + "-capture.png");
        const CliResult result = RunCli(
            {"capture", "-o", output, "--serial", QString::number(model.identification.serial)},
            devices(sim));
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const QImage capture(output);
        const QImage snapshot(scratch.filePath(key(model) + ".png"));
        ASSERT_FALSE(snapshot.isNull()) << "the capture read no screen";
        const int panel = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
        ASSERT_EQ(capture.size(), QSize(model.width, model.height + panel));
        EXPECT_EQ(mismatches(model, capture, snapshot), 0);
        if (panel > 0) {
            // The icons the simulator lights show in the panel rows.
            EXPECT_GT(inkedPixels(capture.copy(0, 0, model.width, panel)), 0);
        }
    }
}

TEST(CliCaptureIntegrationTest, ExitStatusTellsNoInstrumentFromNoFrame) {
    QTemporaryDir empty;
    const CliResult none = RunCli({"capture", "-o", empty.filePath("none.png")}, empty.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no instrument could be connected")) << none.err.toStdString();

    // Every screen reply is cut short, so the session connects but never gets a frame.
    SimProcess sim({"--do", "cut 1 sc 10", "colour"});
    QTemporaryDir scratch;
    const CliResult noFrame =
        RunCli({"capture", "-o", scratch.filePath("x.png"), "--timeout", "2"}, devices(sim));
    EXPECT_EQ(noFrame.exitCode, 2) << noFrame.err.toStdString();
    EXPECT_FALSE(QFile::exists(scratch.filePath("x.png")));
}

TEST(CliPressIntegrationTest, SendsTheCodesOfNamedAndRawKeys) {
    SimProcess sim({"mono"});
    const CliResult result = RunCli({"press", "menu", "Down", "0x62"}, devices(sim));
    ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
    EXPECT_EQ(result.out, "0x6A\n0x68\n0x62\n");
    const std::string received = SimRecord(sim.recordPath(), 1).received();
    const std::size_t menu = received.find(";#0,\x6A;");
    ASSERT_NE(menu, std::string::npos) << received;
    EXPECT_LT(menu, received.find(";#0,\x68;"));
    EXPECT_LT(received.find(";#0,\x68;"), received.find(";#0,\x62;"));
}

TEST(CliPressIntegrationTest, AnUnknownKeyFailsWithoutSendingIt) {
    SimProcess sim({"mono"});
    const CliResult result = RunCli({"press", "enter", "NOSUCHKEY"}, devices(sim));
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out, "0x61\n");
    EXPECT_TRUE(result.err.contains("NOSUCHKEY")) << result.err.toStdString();
    EXPECT_EQ(RunCli({"press"}, devices(sim)).exitCode, 64);
    EXPECT_EQ(RunCli({"press", "0x100"}, devices(sim)).exitCode, 64);
}

} // namespace
