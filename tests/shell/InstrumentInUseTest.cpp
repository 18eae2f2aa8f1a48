// Two programs and one instrument: ombrix holds the simulated instrument, and
// the window of a second Ombrix says which instrument is in use elsewhere, as
// ombrix-cli devices does, until the first lets it go.
#include "MainFrameFixture.h"
#include "SimProcess.h"

#include <QLabel>
#include <QProcess>
#include <QTest>
#include <filesystem>

namespace ombrix::shell::testing {
namespace {

constexpr int kPatienceMs = 30'000;

class InstrumentInUseTest : public MainFrameFixture {
protected:
    QByteArray runtimeBefore = qgetenv("XDG_RUNTIME_DIR");

    // Both programs keep their records of held instruments in one place.
    QProcessEnvironment environment(const sim::testing::SimProcess& sim) const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), scratch.filePath(QStringLiteral("first")));
        env.insert(QStringLiteral("OMBRIX_DEVICE_DIR"),
                   QString::fromStdString(sim.deviceDirectory().string()));
        env.insert(QStringLiteral("OMBRIX_MODEL_DIR"), QString::fromStdString(kPrograms.string()));
        return env;
    }
    QString runtime() const { return scratch.filePath(QStringLiteral("runtime")); }
    // Whether a record of a held instrument names process `pid`.
    bool holds(qint64 pid) const {
        const std::filesystem::path claims =
            std::filesystem::path(runtime().toStdString()) / "ombrix" / "claims";
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(claims, error)) {
            QFile record(QString::fromStdString(entry.path().string()));
            if (record.open(QIODevice::ReadOnly) &&
                record.readAll().split('\n').value(2).toLongLong() == pid) {
                return true;
            }
        }
        return false;
    }
    QString status() const {
        return frame().findChild<QLabel*>(QStringLiteral("statusPane"))->text();
    }

    void TearDown() override {
        MainFrameFixture::TearDown();
        qputenv("XDG_RUNTIME_DIR", runtimeBefore);
    }
};

TEST_F(InstrumentInUseTest, ASecondOmbrixNamesTheInstrumentTheFirstHolds) {
    sim::testing::SimProcess sim({"colour"});
    QDir().mkpath(runtime());
    QProcess first;
    first.setProcessEnvironment(environment(sim));
    first.start(QStringLiteral(OMBRIX_PROGRAM), {});
    ASSERT_TRUE(first.waitForStarted());
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds(first.processId()); }, kPatienceMs));

    qputenv("XDG_RUNTIME_DIR", runtime().toLocal8Bit());
    application = std::make_unique<app::COmbrixApp>(
        app::COmbrixApp::Options{settingsFile(), sim.deviceDirectory(), {}, kPrograms});
    QString error;
    ASSERT_TRUE(application->InitInstance(std::nullopt, error));
    const QString inUse = QStringLiteral("Instrument #30302 is in use by another program");
    EXPECT_TRUE(QTest::qWaitFor([&] { return status() == inUse; }, kPatienceMs))
        << status().toStdString();

    QProcess cli;
    cli.setProcessEnvironment(environment(sim));
    cli.start(QStringLiteral(OMBRIX_CLI_PROGRAM), {QStringLiteral("devices")});
    ASSERT_TRUE(cli.waitForFinished(kPatienceMs));
    EXPECT_EQ(cli.exitCode(), 1);
    EXPECT_TRUE(cli.readAllStandardError().contains(
        "port1.sock is in use by another program (instrument #30302)"));

    const qint64 firstPid = first.processId();
    first.terminate(); // as a logout ends it: its record goes with it
    ASSERT_TRUE(first.waitForFinished(kPatienceMs));
    EXPECT_FALSE(holds(firstPid));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return status() == QStringLiteral("Connected (lum302plus.def)"); }, kPatienceMs))
        << status().toStdString();
}

} // namespace
} // namespace ombrix::shell::testing
