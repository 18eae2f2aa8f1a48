// ombrix-sim as a program: its command line, signals, control channel and record.
#include "SimProcess.h"

#include "LinkFixture.h"
#include "SimRecord.h"

#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

namespace ombrix::sim::testing {
namespace {

struct Finished {
    int exitCode = -1;
    std::string errors;
};

Finished runSim(const QStringList& arguments,
                const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(simProgram().string()), arguments);
    process.closeWriteChannel();
    process.waitForFinished(20'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardError().toStdString()};
}

bool directoryEmpty(const std::filesystem::path& directory) {
    return std::filesystem::is_empty(directory);
}

class EachStopSignal : public ::testing::TestWithParam<int> {};

TEST_P(EachStopSignal, RemovesTheSocketFilesAndExitsCleanly) {
    SimProcess sim({"mono", "colour"});
    EXPECT_TRUE(std::filesystem::is_socket(sim.socketPath(1)));
    EXPECT_TRUE(std::filesystem::is_socket(sim.socketPath(2)));
    EXPECT_EQ(sim.stop(GetParam()), 0);
    EXPECT_TRUE(directoryEmpty(sim.deviceDirectory()));
}

INSTANTIATE_TEST_SUITE_P(SimProgram, EachStopSignal, ::testing::Values(SIGTERM, SIGINT));

TEST(SimProgram, QuitCommandStopsAndCleansUp) {
    SimProcess sim({"legacy"});
    EXPECT_EQ(sim.control("quit").back(), "ok");
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_TRUE(directoryEmpty(sim.deviceDirectory()));
}

TEST(SimProgram, RecordHoldsTheExactBytesTheApplicationSent) {
    SimProcess sim({"mono"});
    {
        link::SystemClock clock;
        AppLink app(sim.deviceDirectory(), clock);
        const link::Serial serial = app.open();
        app.source.SendKey('A', serial);
        app.source.RequestText(serial, ";#1,U?,W?,N?,S?;");
    }
    sim.controlOk("unplug 1");
    const SimRecord record(sim.recordPath(), 1);
    EXPECT_EQ(record.received(), ";#1,U?,N?;;#7,US;;#0,A;;#1,U?,W?,N?,S?;");
    EXPECT_EQ(record.eventCount("connect"), 2u); // the device refresh, then the session
    EXPECT_EQ(record.eventCount("disconnect"), 2u);
    EXPECT_EQ(record.eventCount("unplug"), 1u);
}

TEST(SimProgram, ModelGivenTwiceGetsTheNextFreeSerial) {
    SimProcess sim({"mono", "mono", "mono:10747"});
    const auto lines = sim.control("list");
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_NE(lines[0].find("serial 10745 "), std::string::npos);
    EXPECT_NE(lines[1].find("serial 10746 "), std::string::npos);
    EXPECT_NE(lines[2].find("serial 10747 "), std::string::npos);
}

TEST(SimProgram, ControlErrorsAreAnsweredAndTheRunGoesOn) {
    SimProcess sim({"mono"});
    EXPECT_EQ(sim.control("unplug 9").back(), "error: no port 9 (ports 1 to 1)");
    EXPECT_EQ(sim.control("frobnicate").back().substr(0, 22), "error: unknown command");
    EXPECT_EQ(sim.control("swap 1 toaster").back().substr(0, 20), "error: unknown model");
    const auto lines = sim.control("stall all on");
    EXPECT_EQ(lines.back(), "ok");
    EXPECT_NE(sim.control("list").front().find("faults stall"), std::string::npos);
}

TEST(SimProgram, StartCommandsApplyBeforeReady) {
    SimProcess sim({"mono", "--do", "rate all 1000000", "--do", "cut 1 sc 10"});
    EXPECT_NE(sim.control("list").front().find("faults cut:sc:10 rate:1000000"), std::string::npos);
}

TEST(SimProgram, TimedCommandsRunLater) {
    SimProcess sim({"mono", "--at", "300:unplug 1"});
    EXPECT_TRUE(std::filesystem::exists(sim.socketPath(1)));
    for (int wait = 0; wait < 100 && std::filesystem::exists(sim.socketPath(1)); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(std::filesystem::exists(sim.socketPath(1)));
}

TEST(SimProgram, BadCommandLinesExitWithAUsageError) {
    const Finished unknownOption = runSim({"--bogus"});
    EXPECT_EQ(unknownOption.exitCode, 2);
    EXPECT_NE(unknownOption.errors.find("unknown option \"--bogus\""), std::string::npos);
    const Finished unknownModel = runSim({"toaster"});
    EXPECT_EQ(unknownModel.exitCode, 2);
    EXPECT_NE(unknownModel.errors.find("unknown model \"toaster\""), std::string::npos);
}

TEST(SimProgram, FailingStartCommandEndsTheRunWithoutLeavingSockets) {
    QTemporaryDir scratch;
    const std::string directory = scratch.path().toStdString() + "/devices";
    const Finished run =
        runSim({"--device-dir", QString::fromStdString(directory), "--do", "unplug 9", "mono"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.errors.find("unplug 9"), std::string::npos);
    EXPECT_TRUE(directoryEmpty(directory));
}

TEST(SimProgram, DeviceDirectoryComesFromTheEnvironment) {
    QTemporaryDir scratch;
    const std::filesystem::path directory = scratch.path().toStdString() + "/from-env";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR", QString::fromStdString(directory.string()));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QString::fromStdString(simProgram().string()), {"legacy"});
    ASSERT_TRUE(process.waitForReadyRead(20'000));
    EXPECT_TRUE(std::filesystem::is_socket(directory / "port1.sock"));
    process.terminate();
    EXPECT_TRUE(process.waitForFinished(10'000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(directoryEmpty(directory));
}

TEST(SimProgram, LeftoverSocketOfAKilledRunIsReplaced) {
    QTemporaryDir scratch;
    const std::filesystem::path directory = scratch.path().toStdString() + "/devices";
    {
        SimProcess killed({"mono"}, directory);
        killed.stop(SIGKILL);
    }
    ASSERT_TRUE(std::filesystem::is_socket(directory / "port1.sock"));
    SimProcess second({"mono"}, directory);
    link::SystemClock clock;
    AppLink app(directory, clock);
    EXPECT_EQ(app.open(), 10745U);
}

TEST(SimProgram, ASocketStillServedByAnotherRunIsNotTakenOver) {
    SimProcess first({"mono"});
    const Finished second =
        runSim({"--device-dir", QString::fromStdString(first.deviceDirectory().string()), "mono"});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.errors.find("already served"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_socket(first.socketPath(1)));
}

} // namespace
} // namespace ombrix::sim::testing
