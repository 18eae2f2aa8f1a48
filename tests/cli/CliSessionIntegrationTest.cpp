// ombrix-cli capture and press against ombrix-sim: the whole session (worker,
// model loading, polling, key sending) as the application runs it.
#include "CliProcess.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "SimScreen.h"
#include "catalogue/ModelCatalogue.h"

#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

// Pixels of `image` other than `paper`.
int pixelsUnlike(const QImage& image, QRgb paper) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            count += image.pixel(x, y) != paper ? 1 : 0;
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
        EXPECT_EQ(ombrix::testing::ScreenMismatches(model, capture, snapshot), 0);
        const QImage display = capture.copy(0, panel, model.width, model.height);
        EXPECT_GT(pixelsUnlike(display, display.pixel(0, 0)), 0) << "a blank screen proves nothing";
        if (panel > 0) {
            // The icons the simulator lights show in the panel rows.
            EXPECT_GT(pixelsUnlike(capture.copy(0, 0, model.width, panel), qRgb(255, 255, 255)), 0);
        }
    }
}

TEST(CliCaptureIntegrationTest, TheExtensionChoosesTheFormatAndOptionsFrameAndEnlarge) {
    SimProcess sim({"colour"});
    QTemporaryDir scratch;
    const auto capture = [&](const QString& name, const QStringList& options) {
        const QString output = scratch.filePath(name);
        const CliResult result =
            RunCli(QStringList{"capture", "-o", output} + options, devices(sim));
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        QFile file(output);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    EXPECT_TRUE(capture("a.tif", {}).startsWith("II*")) << "TIFF";
    EXPECT_TRUE(capture("a.TIFF", {}).startsWith("II*")) << "TIFF";
    const QByteArray pcx = capture("a.pcx", {"--zoom", "3"});
    ASSERT_GT(pcx.size(), 128);
    EXPECT_EQ(pcx[0], 10) << "PCX";
    EXPECT_EQ(qFromLittleEndian<quint16>(pcx.constData() + 70), 320 * 3);
    EXPECT_LT(capture("a.pcx", {}).size(), pcx.size()) << "an existing file is replaced";

    capture("framed.png", {"--framed", "--zoom", "2"});
    const QImage framed(scratch.filePath("framed.png"));
    EXPECT_EQ(framed.size(), QSize(328 * 2, 248 * 2));
    EXPECT_EQ(framed.pixel(1, 1), qRgb(0, 0, 0));
    EXPECT_EQ(framed.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(
        RunCli({"capture", "-o", scratch.filePath("x.png"), "--zoom", "5"}, devices(sim)).exitCode,
        64);
}

// Exit status 1 without an instrument; 2 without a frame within the time-out,
// whether every screen reply is cut short or the link is too slow for one (19200
// screen bytes at 1000 bytes a second outlast it).
TEST(CliCaptureIntegrationTest, ExitStatusTellsNoInstrumentFromNoFrameInTime) {
    QTemporaryDir scratch;
    const QString output = scratch.filePath("x.png");
    const CliResult none = RunCli({"capture", "-o", output}, scratch.path());
    EXPECT_EQ(none.exitCode, 1);
    EXPECT_TRUE(none.err.contains("no instrument could be connected")) << none.err.toStdString();

    for (const char* fault : {"cut 1 sc 10", "rate 1 1000"}) {
        SCOPED_TRACE(fault);
        SimProcess sim({"--do", fault, "palette"});
        QElapsedTimer elapsed;
        elapsed.start();
        const CliResult result = RunCli({"capture", "-o", output, "--timeout", "2"}, devices(sim));
        EXPECT_EQ(result.exitCode, 2) << result.err.toStdString();
        EXPECT_LT(elapsed.elapsed(), 3000) << "the capture did not end at its time-out";
        EXPECT_FALSE(QFile::exists(output));
    }
}

// Holds a connection to an instrument, as another program using it does.
class InstrumentHolder {
public:
    explicit InstrumentHolder(const std::filesystem::path& socket)
        : fd_(::socket(AF_UNIX, SOCK_STREAM, 0)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, socket.c_str(), sizeof address.sun_path - 1);
        connected_ =
            ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    }
    InstrumentHolder(const InstrumentHolder&) = delete;
    InstrumentHolder& operator=(const InstrumentHolder&) = delete;
    ~InstrumentHolder() { ::close(fd_); }
    bool connected() const { return connected_; }

private:
    int fd_;
    bool connected_ = false;
};

TEST(CliCaptureIntegrationTest, AGivenSerialIsNeverReplacedByAnotherInstrument) {
    // Port 1 is the mono instrument, which a capture without --serial would use.
    SimProcess sim({"mono", "colour", "palette"});
    QTemporaryDir scratch;
    const QString output = scratch.filePath("x.png");
    const auto expectRefused = [&](const QString& serial, const char* reason) {
        const CliResult result =
            RunCli({"capture", "-o", output, "--serial", serial}, devices(sim));
        EXPECT_EQ(result.exitCode, 1) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains("instrument " + serial + " is not available"))
            << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(reason)) << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(output));
    };
    expectRefused("99999", "attached: 10745, 20758, 30302");
    {
        const InstrumentHolder busy(sim.socketPath(2));
        ASSERT_TRUE(busy.connected());
        expectRefused("30302", "closed the connection at once");
    }
    sim.controlOk("stall 2 on");
    expectRefused("30302", "did not answer within 4 s");
    sim.controlOk("stall 2 off");

    const CliResult used = RunCli({"capture", "-o", output, "--serial", "30302"}, devices(sim));
    EXPECT_EQ(used.exitCode, 0) << used.err.toStdString();
    EXPECT_TRUE(used.err.contains("instrument 30302 (lum302plus.def)")) << used.err.toStdString();
    EXPECT_EQ(QImage(output).size(), QSize(320, 240));
}

// Named and raw keys go out in order; an unknown name stops the run there.
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

    const CliResult unknown = RunCli({"press", "ok", "NOSUCHKEY"}, devices(sim));
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_EQ(unknown.out, "0x61\n");
    EXPECT_TRUE(unknown.err.contains("NOSUCHKEY")) << unknown.err.toStdString();
    EXPECT_EQ(RunCli({"press", "0x100"}, devices(sim)).exitCode, 64);
}

} // namespace
