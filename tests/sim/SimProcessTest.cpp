// ombrix-sim as a program: its command line, signals, control channel and record.
#include "SimProcess.h"

#include "AppLink.h"
#include "SimRecord.h"

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>

namespace ombrix::sim::testing {
namespace {

struct Finished {
    int exitCode = -1;
    std::string errors;
};

Finished runSim(const QStringList& arguments) {
    QProcess process;
    process.start(QString::fromStdString(simProgram().string()), arguments);
    process.closeWriteChannel();
    process.waitForFinished(20'000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardError().toStdString()};
}

// SIGTERM, SIGINT and the control command "quit" each remove the socket files
// and end the run cleanly.
TEST(SimProgram, StopsCleanlyOnASignalOrQuit) {
    for (const int signal : {SIGTERM, SIGINT, 0}) {
        SCOPED_TRACE(signal);
        SimProcess sim({"mono", "colour"});
        EXPECT_TRUE(std::filesystem::is_socket(sim.socketPath(1)));
        EXPECT_TRUE(std::filesystem::is_socket(sim.socketPath(2)));
        if (signal == 0) {
            EXPECT_EQ(sim.control("quit").back(), "ok");
        }
        EXPECT_EQ(signal == 0 ? sim.waitForExit() : sim.stop(signal), 0);
        EXPECT_TRUE(std::filesystem::is_empty(sim.deviceDirectory()));
    }
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

// A model given twice gets the next free serial; commands given on the command
// line apply before "ready"; a bad control line is answered and the run goes on.
TEST(SimProgram, ControlChannelListsPortsAndAnswersErrors) {
    SimProcess sim(
        {"mono", "mono", "mono:10747", "--do", "rate all 1000000", "--do", "cut 1 sc 10"});
    const auto lines = sim.control("list");
    ASSERT_EQ(lines.size(), 4U);
    EXPECT_NE(lines[0].find("serial 10745 "), std::string::npos);
    EXPECT_NE(lines[0].find("faults cut:sc:10 rate:1000000"), std::string::npos);
    EXPECT_NE(lines[1].find("serial 10746 "), std::string::npos);
    EXPECT_NE(lines[2].find("serial 10747 "), std::string::npos);

    EXPECT_EQ(sim.control("unplug 9").back(), "error: no port 9 (ports 1 to 3)");
    EXPECT_EQ(sim.control("frobnicate").back().substr(0, 22), "error: unknown command");
    EXPECT_EQ(sim.control("swap 1 toaster").back().substr(0, 20), "error: unknown model");
    EXPECT_EQ(sim.control("stall all on").back(), "ok");
    EXPECT_NE(sim.control("list")[2].find("faults stall"), std::string::npos);
}

TEST(SimProgram, TimedCommandsRunLater) {
    SimProcess sim({"mono", "--at", "300:unplug 1"});
    EXPECT_TRUE(std::filesystem::exists(sim.socketPath(1)));
    for (int wait = 0; wait < 100 && std::filesystem::exists(sim.socketPath(1)); ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(std::filesystem::exists(sim.socketPath(1)));
}

// A bad command line is a usage error (2); a start command that fails ends the
// run (1) without leaving sockets.
TEST(SimProgram, BadCommandLinesEndTheRunSayingWhy) {
    const Finished unknownOption = runSim({"--bogus"});
    EXPECT_EQ(unknownOption.exitCode, 2);
    EXPECT_NE(unknownOption.errors.find("unknown option \"--bogus\""), std::string::npos);
    const Finished unknownModel = runSim({"toaster"});
    EXPECT_EQ(unknownModel.exitCode, 2);
    EXPECT_NE(unknownModel.errors.find("unknown model \"toaster\""), std::string::npos);

    QTemporaryDir scratch;
    const std::string directory = scratch.path().toStdString() + "/devices";
    const Finished failing =
        runSim({"--device-dir", QString::fromStdString(directory), "--do", "unplug 9", "mono"});
    EXPECT_EQ(failing.exitCode, 1);
    EXPECT_NE(failing.errors.find("unplug 9"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(directory));
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
    EXPECT_TRUE(std::filesystem::is_empty(directory));
}

// The socket of a killed run is replaced; one another run still serves is not
// taken over.
TEST(SimProgram, ASocketIsTakenOverOnlyFromARunThatEnded) {
    QTemporaryDir scratch;
    const std::filesystem::path directory = scratch.path().toStdString() + "/devices";
    {
        SimProcess killed({"mono"}, directory);
        killed.stop(SIGKILL);
    }
    ASSERT_TRUE(std::filesystem::is_socket(directory / "port1.sock"));
    SimProcess first({"mono"}, directory);
    link::SystemClock clock;
    AppLink app(directory, clock);
    EXPECT_EQ(app.open(), 10745U);

    const Finished second =
        runSim({"--device-dir", QString::fromStdString(directory.string()), "mono"});
    EXPECT_EQ(second.exitCode, 1);
    EXPECT_NE(second.errors.find("already served"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_socket(first.socketPath(1)));
}

} // namespace
} // namespace ombrix::sim::testing
