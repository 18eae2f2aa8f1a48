// ombrix-cli record against ombrix-sim: recordings read back through FFmpeg's
// decoders hold the simulator's screens, pixel for pixel, at the times they
// showed; a recording ended by SIGTERM or by a full disk is closed properly
// and plays.
#include "CliProcess.h"
#include "RecordingDecoder.h"
#include "SimProcess.h"
#include "SimScreen.h"
#include "catalogue/ModelCatalogue.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTime>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace {

using namespace std::chrono_literals;
using ombrix::sim::InstrumentModel;
using ombrix::sim::testing::SimProcess;
using ombrix::testing::CliResult;
using ombrix::testing::CliRun;
using ombrix::testing::DecodedRecording;
using ombrix::testing::DecodeRecording;

constexpr int kStartMs = 20'000;

QString devices(const SimProcess& sim) {
    return QString::fromStdString(sim.deviceDirectory().string());
}

const InstrumentModel& model(const char* key) {
    return *ombrix::sim::findModel(key);
}

// The largest channel difference between the display rows of a recorded
// picture and what the application shows for the simulator's snapshot.
int largestDifference(const InstrumentModel& model, const QImage& recorded,
                      const QImage& snapshot) {
    const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    int largest = 0;
    for (int y = 0; y < model.height; ++y) {
        for (int x = 0; x < model.width; ++x) {
            const QRgb shown = recorded.pixel(x, top + y);
            const QRgb expected = ombrix::testing::ExpectedScreenPixel(model, snapshot, x, y);
            largest = std::max({largest, std::abs(qRed(shown) - qRed(expected)),
                                std::abs(qGreen(shown) - qGreen(expected)),
                                std::abs(qBlue(shown) - qBlue(expected))});
        }
    }
    return largest;
}

// The recording's display rows each time they change (the icon rows of a
// one-bit screen blink on their own), with the time they changed.
std::vector<std::pair<std::chrono::milliseconds, QImage>>
displayChanges(const InstrumentModel& model, const DecodedRecording& recording) {
    const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
    const auto display = [&](const QImage& picture) {
        return picture.copy(0, top, model.width, model.height);
    };
    std::vector<std::pair<std::chrono::milliseconds, QImage>> changes;
    for (const auto& picture : recording.pictures) {
        if (changes.empty() || display(changes.back().second) != display(picture.image)) {
            changes.emplace_back(picture.time, picture.image);
        }
    }
    return changes;
}

struct Recorded {
    const char* model;
    const char* file;
    int allowedChannel; // GIF holds a colour screen's 5-6-5 colours within its palette
};

constexpr Recorded kRecorded[] = {
    {"colour", "colour.webm", 0}, {"colour", "colour.png", 0},   {"colour", "colour.gif", 43},
    {"mono", "mono.gif", 0},      {"palette", "palette.gif", 0},
};

QString snapshotPath(const QTemporaryDir& scratch, const Recorded& recorded, int step) {
    return scratch.filePath(QString("%1-%2.png").arg(recorded.file).arg(step));
}

// The instrument alone, so that its recording starts beside the others: a
// session looking for an instrument opens every one that is free. Its screen
// frozen, the backlight off (the default colours), its first screen in a
// snapshot.
std::unique_ptr<SimProcess> simulatorFor(const Recorded& recorded, const QTemporaryDir& scratch) {
    QStringList arguments{"--do", "freeze all on", recorded.model};
    if (model(recorded.model).bitsPerPixel == 1) {
        arguments << "--do"
                  << "key 1 " + QString::number(model(recorded.model).keys.backlight);
    }
    arguments << "--do"
              << "snapshot 1 " + snapshotPath(scratch, recorded, 0);
    return std::make_unique<SimProcess>(arguments);
}

// Five recordings of 5 s side by side while each instrument's menu is opened
// and walked 0.9 s apart; each new screen is snapshotted as the instrument
// sends it.
TEST(CliRecordIntegrationTest, HoldsEveryScreenPixelForPixelAtItsTimeInEveryFormat) {
    QTemporaryDir scratch;
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::unique_ptr<CliRun>> runs;
    for (const Recorded& recorded : kRecorded) {
        sims.push_back(simulatorFor(recorded, scratch));
        runs.push_back(std::make_unique<CliRun>(
            QStringList{"record", "-o", scratch.filePath(recorded.file), "--duration", "5"},
            devices(*sims.back())));
    }
    for (const auto& run : runs) {
        ASSERT_TRUE(run->waitForError("recording to", kStartMs)) << run->finish().err.toStdString();
    }
    const ombrix::sim::KeyCodes& keys = model("colour").keys;
    const int presses[] = {keys.menu, keys.down, keys.down, keys.up};
    QElapsedTimer clock;
    clock.start();
    std::vector<qint64> pressed;
    for (int step = 1; step <= 4; ++step) {
        QThread::msleep(
            static_cast<unsigned long>(std::max<qint64>(0, step * 900 - clock.elapsed())));
        pressed.push_back(clock.elapsed());
        for (std::size_t i = 0; i < sims.size(); ++i) {
            sims[i]->controlOk("key 1 " + std::to_string(presses[step - 1]));
            sims[i]->controlOk("snapshot 1 " +
                               snapshotPath(scratch, kRecorded[i], step).toStdString());
        }
    }
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const Recorded& recorded = kRecorded[i];
        SCOPED_TRACE(recorded.file);
        const CliResult result = runs[i]->finish();
        ASSERT_EQ(result.exitCode, 0) << result.err.toStdString();
        const DecodedRecording decoded = DecodeRecording(scratch.filePath(recorded.file));
        ASSERT_TRUE(decoded.whole) << decoded.error.toStdString();
        EXPECT_TRUE(decoded.finalised);
        EXPECT_NEAR(static_cast<double>(decoded.duration.count()), 5000.0, 20.0);
        const auto changes = displayChanges(model(recorded.model), decoded);
        ASSERT_EQ(changes.size(), 5u);
        for (int step = 0; step < 5; ++step) {
            const QImage snapshot(snapshotPath(scratch, recorded, step));
            ASSERT_FALSE(snapshot.isNull()) << step;
            EXPECT_LE(largestDifference(model(recorded.model), changes[step].second, snapshot),
                      recorded.allowedChannel)
                << step;
            if (step > 1) {
                const auto shownApart = (changes[step].first - changes[1].first).count();
                // A loaded machine delays a pass of the session now and then.
                EXPECT_NEAR(static_cast<double>(shownApart),
                            static_cast<double>(pressed[step - 1] - pressed[0]), 400.0)
                    << step;
            }
        }
    }
}

// Three recordings ended by SIGTERM and SIGINT on live screens; the colour
// instrument is unplugged for a second meanwhile, which its subtitles mark.
TEST(CliRecordIntegrationTest, ASignalEndsTheRecordingWithAClosedFileAndTheLossMarked) {
    QTemporaryDir scratch;
    const std::pair<const char*, int> recordings[] = {
        {"colour", SIGTERM}, {"mono", SIGINT}, {"palette", SIGTERM}};
    const char* const files[] = {"live.webm", "live.gif", "live.png"};
    std::vector<std::unique_ptr<SimProcess>> sims;
    std::vector<std::unique_ptr<CliRun>> runs;
    for (std::size_t i = 0; i < 3; ++i) {
        sims.push_back(std::make_unique<SimProcess>(QStringList{recordings[i].first}));
        runs.push_back(std::make_unique<CliRun>(
            QStringList{"record", "-o", scratch.filePath(files[i])}, devices(*sims.back())));
    }
    for (const auto& run : runs) {
        ASSERT_TRUE(run->waitForError("recording to", kStartMs)) << run->finish().err.toStdString();
    }
    QThread::msleep(500);
    sims[0]->controlOk("unplug 1");
    QThread::msleep(1000);
    sims[0]->controlOk("replug 1");
    QThread::msleep(2000);
    for (std::size_t i = 0; i < 3; ++i) {
        runs[i]->signal(recordings[i].second);
    }
    for (std::size_t i = 0; i < 3; ++i) {
        SCOPED_TRACE(files[i]);
        const CliResult result = runs[i]->finish();
        EXPECT_EQ(result.exitCode, 0) << result.err.toStdString();
        const DecodedRecording decoded = DecodeRecording(scratch.filePath(files[i]));
        EXPECT_TRUE(decoded.whole) << decoded.error.toStdString();
        EXPECT_TRUE(decoded.finalised);
        EXPECT_GT(decoded.duration, 3000ms);
        EXPECT_GT(decoded.pictures.size(), 2u) << "the screens go on after the signal came";
    }
    QFile subtitles(scratch.filePath("live.vtt"));
    ASSERT_TRUE(subtitles.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(subtitles.readAll()).split('\n');
    const qsizetype lost = lines.indexOf("Instrument lost");
    ASSERT_GT(lost, 0) << lines.join('\n').toStdString();
    const QTime start = QTime::fromString(lines[lost - 1].left(12), "hh:mm:ss.zzz");
    const QTime end = QTime::fromString(lines[lost - 1].mid(17, 12), "hh:mm:ss.zzz");
    EXPECT_NEAR(start.msecsSinceStartOfDay(), 500, 400) << lines[lost - 1].toStdString();
    EXPECT_GT(start.msecsTo(end), 900) << lines[lost - 1].toStdString();
}

// The disk full from the start (a small file system of its own, where the
// user's namespaces allow one), and the file-size limit reached on the way:
// each stops the recording with a message and a file that plays.
TEST(CliRecordIntegrationTest, AFullDiskOrTheFileSizeLimitStopsWithAPlayableFile) {
    QTemporaryDir scratch;
    SimProcess sim({"colour"});
    constexpr qint64 kLimit = 1024 * 1024 + 64 * 1024;
    CliRun limited({"record", "-o", scratch.filePath("limited.gif"), "--zoom", "4"}, devices(sim),
                   {"prlimit", QString("--fsize=%1").arg(kLimit)});
    const CliResult stopped = limited.finish();
    EXPECT_EQ(stopped.exitCode, 1) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.err.contains("the recording stopped: the file size limit is reached"))
        << stopped.err.toStdString();
    const DecodedRecording decoded = DecodeRecording(scratch.filePath("limited.gif"));
    EXPECT_TRUE(decoded.whole && decoded.finalised) << decoded.error.toStdString();
    EXPECT_GT(decoded.pictures.size(), 1u);
    EXPECT_LT(QFile(scratch.filePath("limited.gif")).size(), kLimit);

    if (QProcess::execute("unshare", {"-rm", "true"}) != 0) {
        GTEST_SKIP() << "no user namespace here for a file system of the test's own";
    }
    QDir(scratch.path()).mkdir("small");
    // 3 MiB less the 1 MiB filler cannot hold the room a recording keeps ahead.
    const QString script =
        QString("mount -t tmpfs -o size=3m tmpfs %1 && head -c 1048576 /dev/zero > %1/filler && "
                "\"$@\"; status=$?; cp %1/full.webm %1/full.vtt %2/; exit $status")
            .arg(scratch.filePath("small"), scratch.path());
    CliRun full({"record", "-o", scratch.filePath("small/full.webm")}, devices(sim),
                {"unshare", "-rm", "sh", "-c", script, "sh"});
    const CliResult disk = full.finish();
    EXPECT_EQ(disk.exitCode, 1) << disk.err.toStdString();
    EXPECT_TRUE(disk.err.contains("the recording stopped: the disk is full"))
        << disk.err.toStdString();
    const DecodedRecording fullDisk = DecodeRecording(scratch.filePath("full.webm"));
    EXPECT_TRUE(fullDisk.whole && fullDisk.finalised) << fullDisk.error.toStdString();
    EXPECT_FALSE(fullDisk.pictures.empty());
}

} // namespace
