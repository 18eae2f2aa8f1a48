#include "SimulatorProcess.h"
#include "SocketPeer.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ombrix::testing::SimulatorProcess;
using ombrix::testing::SocketPeer;

struct CliResult {
    int exitCode = -1;
    QString out;
};

CliResult runCli(const QStringList& arguments, const QString& deviceDirectory) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR", deviceDirectory);
    environment.remove("OMBRIX_USB_IDS");
    process.setProcessEnvironment(environment);
    process.start(OMBRIX_CLI_PATH, arguments);
    if (!process.waitForFinished(30000)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput())};
}

TEST(CliDevicesIntegrationTest, ListsOnlyTheInstrumentThatIdentifiesItself) {
    QTemporaryDir directory;
    const std::filesystem::path root = directory.path().toStdString();
    SocketPeer garbage(root / "a-garbage.sock");
    garbage.answer(";#1,U?,N?;", "\x01\x02?!garbage;");
    SocketPeer good(root / "b-good.sock");
    good.answer(";#1,U?,N?;", "#1,U745A,N40123;");
    good.answer(";#7,US;", "#7,US,3;");

    const CliResult result = runCli({"devices"}, directory.path());
    EXPECT_EQ(result.exitCode, 0);
    const QString path = "sock:" + QString::fromStdString((root / "b-good.sock").string());
    EXPECT_EQ(result.out, "40123\t745\t1\t3\t" + path + "\n");
    EXPECT_EQ(garbage.received(), ";#1,U?,N?;");
}

TEST(CliDevicesIntegrationTest, AnEmptyDeviceDirectoryListsNothing) {
    QTemporaryDir directory;
    const CliResult result = runCli({"devices"}, directory.path());
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.out.isEmpty());
}

TEST(CliDevicesIntegrationTest, ListsEverySimulatedInstrument) {
    QTemporaryDir directory;
    SimulatorProcess simulator(directory.path());
    const CliResult result = runCli({"devices"}, directory.path());
    EXPECT_EQ(result.exitCode, 0);
    const QString port = "sock:" + directory.path() + "/port%1.sock";
    EXPECT_EQ(result.out, "10745\t745\t1\t1\t" + port.arg(1) + "\n" + "20758\t758\t0\t2\t" +
                              port.arg(2) + "\n" + "30302\t302\t0\t3\t" + port.arg(3) + "\n" +
                              "40741\t741\t0\t0\t" + port.arg(4) + "\n");
}

} // namespace
