// The commands history round trip: keys pressed and held in the running window
// against ombrix-sim, the history saved from its bar with a comment, then
// played back by ombrix-cli (which knows nothing of that comment) against a
// fresh simulator, which must receive the same codes in the same order; a file
// naming a key the model lacks sends nothing.
#include "EndToEnd.h"
#include "SimProcess.h"
#include "SimRecord.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::sim::testing::SimRecord;
using ombrix::testing::eventually;
using ombrix::testing::run;
using ombrix::testing::windowNamed;

constexpr int kOk = 0x61;         // the sample colour model's OK
constexpr int kEscapeHeld = 0x6F; // ESC held
constexpr int kUpWithDown = 0x6E; // its combination of UP and DOWN
constexpr int kHoldLongerMs = 4'500;

struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

class HistoryEndToEnd : public ::testing::Test {
protected:
    QTemporaryDir scratch;

    QString historyPath() const { return scratch.filePath(QStringLiteral("history/log.txt")); }
    QByteArray settings() const {
        return "[MainSettings]\ndisplay_mode=1\n"
               "[MainSettings/MainFrame]\nregular_window_rect=\"0,0,640,480\"\n"
               "[MainSettings/CommandsToolbar]\nvisible=1\nfile_name=\"log.txt\"\n"
               "add_image_info=1\nseparator=\"Demo\"\nfolder=\"" +
               scratch.filePath(QStringLiteral("history")).toUtf8() + "\"\n";
    }

    // ombrix-cli replay against the instruments of `sim`, with settings of
    // its own that hold no comment.
    CliRun replay(const SimProcess& sim, const QString& file) const {
        const QString config = scratch.filePath(QStringLiteral("cli-config"));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("OMBRIX_DEVICE_DIR"),
                           QString::fromStdString(sim.deviceDirectory().string()));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
        environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(OMBRIX_CLI_PROGRAM), {"replay", file, "--pause", "100"});
        process.waitForFinished(ombrix::testing::kPatienceMs);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
};

TEST_F(HistoryEndToEnd, AHistorySavedInTheWindowReplaysTheSameCodes) {
    std::vector<int> pressed;
    {
        SimProcess sim({"--do", "freeze all on", "colour"});
        ombrix::testing::OmbrixProcess program(sim.deviceDirectory(), settings());
        ASSERT_TRUE(program.started());
        const QString window = program.waitForModel();
        ASSERT_FALSE(window.isEmpty()) << "no model was loaded";
        run(QStringLiteral("xdotool"), {"windowfocus", window});
        run(QStringLiteral("xdotool"), {"key", "--delay", "300", "Return", "ctrl+Up", "Down"});
        run(QStringLiteral("xdotool"), {"keydown", "Escape"});
        QThread::msleep(kHoldLongerMs);
        run(QStringLiteral("xdotool"), {"keyup", "Escape"});
        ASSERT_TRUE(
            eventually([&] { return SimRecord(sim.recordPath(), 1).keyCodes().size() == 3; }));
        pressed = SimRecord(sim.recordPath(), 1).keyCodes();
        EXPECT_EQ(pressed, (std::vector<int>{kOk, kUpWithDown, kEscapeHeld}));

        // Ctrl+S in the bar's list saves to the settings' file.
        const QString bar = windowNamed(QStringLiteral("^Commands history$"));
        ASSERT_FALSE(bar.isEmpty()) << "no commands history bar";
        run(QStringLiteral("xdotool"), {"mousemove", "--window", bar, "100", "200", "click", "1"});
        run(QStringLiteral("xdotool"), {"key", "ctrl+s"});
        ASSERT_TRUE(eventually([&] { return QFile::exists(historyPath()); })) << "not saved";
    }
    QFile saved(historyPath());
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), "Demo\n#Latest saved image: <None>\nOK\nUP + DOWN\nESC (hold)\n");

    SimProcess fresh({"--do", "freeze all on", "colour"});
    const CliRun played = replay(fresh, historyPath());
    EXPECT_EQ(played.status, 0) << played.err.toStdString();
    EXPECT_EQ(played.out, QStringLiteral("0x61\n0x6E\n0x6F\n"));
    EXPECT_EQ(SimRecord(fresh.recordPath(), 1).keyCodes(), pressed);

    const QString wrong = scratch.filePath(QStringLiteral("wrong.txt"));
    QFile file(wrong);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("Demo\nOK\nUP + SIDEWAYS\n");
    file.close();
    const CliRun refused = replay(fresh, wrong);
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("line 3: \"SIDEWAYS\" is not a key")))
        << refused.err.toStdString();
    EXPECT_TRUE(refused.out.isEmpty());
    EXPECT_EQ(SimRecord(fresh.recordPath(), 1).keyCodes(), pressed) << "a code was sent";
}

} // namespace
