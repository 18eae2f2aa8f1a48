// Faults set over ombrix-sim's control channel, seen through the application's
// own device link. The replies themselves are checked in process
// (SimulatedInstrumentTest) and by every integration test, each of which also
// reconnects at once after its device refresh.
#include "AppLink.h"

#include <chrono>
#include <gtest/gtest.h>
#include <string>

namespace ombrix::sim::testing {
namespace {

using namespace std::chrono_literals;
using session::DataSource;

constexpr std::string_view kIdentify = ";#1,U?,W?,N?,S?;";
constexpr std::string_view kMonoReply = "#1,U745A,W1.05.3,N10745,S2A4F;";
constexpr link::Serial kMono = 10745;
constexpr link::Serial kPalette = 20758;

class SimLink : public ::testing::Test {
protected:
    SimProcess sim{{"mono", "palette"}};
    link::SystemClock clock;
    AppLink app{sim.deviceDirectory(), clock};
};

// Requests made not supported get the marker and the device stays open; a
// garbage identification keeps an instrument out of the table until it ends.
TEST_F(SimLink, RequestFaultsReachTheHostAndEnd) {
    sim.controlOk("garbage 2 on");
    const link::Serial serial = app.open(kMono);
    EXPECT_FALSE(app.listed(kPalette));
    for (const char* request : {"sp1", "sp3", "ic"}) {
        sim.controlOk(std::string("unsupported 1 ") + request + " on");
    }
    EXPECT_TRUE(app.source.RequestBlock(serial, "#7,SP,1;").notSupported);
    EXPECT_TRUE(app.source.RequestBlock(serial, "#7,SP,3;").notSupported);
    EXPECT_TRUE(DataSource::IsNotSupported(app.source.RequestBytes(serial, "#7,IC;", 12, '?')));
    EXPECT_EQ(app.source.RequestText(serial, kIdentify), kMonoReply);

    sim.controlOk("garbage 2 off");
    app.connection.RefreshDevices();
    EXPECT_TRUE(app.listed(kPalette));
    EXPECT_TRUE(app.listed(kMono));
}

TEST_F(SimLink, TrickledRepliesArriveWholeButNoFasterThanTheGap) {
    const link::Serial serial = app.open(kMono);
    sim.controlOk("trickle 1 10");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(app.source.RequestText(serial, kIdentify), kMonoReply);
    EXPECT_GE(std::chrono::steady_clock::now() - start, 29 * 10ms);
}

} // namespace
} // namespace ombrix::sim::testing
