#include "CliProcess.h"
#include "SimProcess.h"
#include "SocketPeer.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using ombrix::sim::testing::SimProcess;
using ombrix::testing::CliResult;
using ombrix::testing::RunCli;
using ombrix::testing::SocketPeer;

TEST(CliDevicesIntegrationTest, ListsOnlyTheInstrumentThatIdentifiesItself) {
    QTemporaryDir directory;
    const std::filesystem::path root = directory.path().toStdString();
    SocketPeer garbage(root / "a-garbage.sock");
    garbage.answer(";#1,U?,N?;", "\x01\x02?!garbage;");
    SocketPeer good(root / "b-good.sock");
    good.answer(";#1,U?,N?;", "#1,U745A,N40123;");
    good.answer(";#7,US;", "#7,US,3;");

    const CliResult result = RunCli({"devices"}, directory.path());
    EXPECT_EQ(result.exitCode, 0);
    const QString path = "sock:" + QString::fromStdString((root / "b-good.sock").string());
    EXPECT_EQ(result.out, "40123\t745\t1\t3\t" + path + "\n");
    EXPECT_EQ(garbage.received(), ";#1,U?,N?;");
}

TEST(CliDevicesIntegrationTest, ListsEverySimulatedInstrument) {
    QTemporaryDir directory;
    SimProcess simulator({}, directory.path().toStdString());
    const CliResult result = RunCli({"devices"}, directory.path());
    EXPECT_EQ(result.exitCode, 0);
    const QString port = "sock:" + directory.path() + "/port%1.sock";
    EXPECT_EQ(result.out, "10745\t745\t1\t1\t" + port.arg(1) + "\n" + "20758\t758\t0\t2\t" +
                              port.arg(2) + "\n" + "30302\t302\t0\t3\t" + port.arg(3) + "\n" +
                              "40741\t741\t0\t0\t" + port.arg(4) + "\n");
}

} // namespace
