#include "link/UsbConnection.h"

#include "LinkTestSupport.h"
#include "link/LinkErrors.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace ombrix::link {
namespace {

using namespace std::chrono_literals;
using testing::addInstrument;

class UsbConnectionTest : public ::testing::Test {
protected:
    ManualClock clock{1000};
    ScriptedBackend backend{clock};
    UsbConnection connection{backend, clock};

    Serial open(std::optional<Serial> preferred = std::nullopt) {
        EXPECT_TRUE(connection.OpenDevice(preferred));
        return preferred.value_or(0);
    }

    // Runs an operation that must fail with a closed device: code 1.
    template <typename Operation> void expectLinkFailure(Operation operation) {
        try {
            operation();
            ADD_FAILURE() << "no DataSourceException";
        } catch (const DataSourceException& e) {
            EXPECT_EQ(e.code(), DataSourceException::kLinkFailure);
        }
    }
};

TEST_F(UsbConnectionTest, OpensTheLowestSerialWhateverTheEnumerationOrder) {
    addInstrument(backend, "sock:/first", 900, "758");
    addInstrument(backend, "sock:/second", 120, "302B", 4);
    EXPECT_EQ(open(), 120u);

    const DeviceTable& table = connection.Devices();
    ASSERT_EQ(table.size(), 2u);
    const DeviceEntry& entry = table.at(120);
    EXPECT_EQ(entry.pathRecord, (DevicePathRecord{2, "sock:/second"}));
    EXPECT_EQ(entry.unitType, 302);
    EXPECT_EQ(entry.variant, 2);
    EXPECT_EQ(entry.usValue, 4);
    EXPECT_EQ(table.at(900).variant, 0);
    EXPECT_EQ(backend.device("sock:/first").timeoutRequests(),
              std::vector<std::int32_t>{4'000'000});
}

TEST_F(UsbConnectionTest, NoInstrumentMeansNoDevice) {
    std::optional<Serial> serial = 5;
    EXPECT_FALSE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 5u);
}

TEST_F(UsbConnectionTest, TheOpenInstrumentStaysInUseAndNewOnesAreListed) {
    ScriptedDevice& used = addInstrument(backend, "sock:/a", 500);
    const Serial serial = open();
    const auto identifyWrites = used.writes().size();

    addInstrument(backend, "sock:/b", 100);
    std::optional<Serial> preferred = serial;
    EXPECT_TRUE(connection.OpenDevice(preferred));
    EXPECT_EQ(preferred, 500u);
    EXPECT_EQ(used.writes().size(), identifyWrites); // not identified again
    EXPECT_EQ(used.openCount(), 2);                  // refresh + session, never reopened
    EXPECT_TRUE(connection.Devices().contains(100));
}

TEST_F(UsbConnectionTest, OpeningWithoutPreferenceKeepsTheLowestSerialAlreadyOpen) {
    ScriptedDevice& used = addInstrument(backend, "sock:/a", 500);
    ASSERT_EQ(open(), 500u);
    std::optional<Serial> none;
    EXPECT_TRUE(connection.OpenDevice(none));
    EXPECT_EQ(none, 500u);
    EXPECT_EQ(used.openCount(), 2); // refresh + session, never reopened
}

TEST_F(UsbConnectionTest, AnUnpluggedPreferenceFallsBackToTheLowestSerial) {
    ScriptedDevice& gone = addInstrument(backend, "sock:/a", 50);
    addInstrument(backend, "sock:/b", 700);
    addInstrument(backend, "sock:/c", 300);
    std::optional<Serial> serial = open();
    ASSERT_EQ(serial, 50u);
    gone.setPresent(false);
    EXPECT_TRUE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 300u);
    EXPECT_FALSE(connection.Devices().contains(50));
}

TEST_F(UsbConnectionTest, AListedPreferenceIsReopenedAfterALinkFailure) {
    addInstrument(backend, "sock:/low", 10);
    ScriptedDevice& preferred = addInstrument(backend, "sock:/high", 20);
    std::optional<Serial> serial = 20;
    ASSERT_TRUE(connection.OpenDevice(serial));
    ASSERT_EQ(serial, 20u);
    expectLinkFailure([&] { connection.CloseDevice(20); });

    EXPECT_TRUE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 20u);
    EXPECT_NO_THROW(connection.WriteCommand(20, "#7,SC;"));
    EXPECT_EQ(preferred.writes().back(), "#7,SC;");
}

TEST_F(UsbConnectionTest, ALowestSerialThatCannotBeOpenedFailsTheOpen) {
    ScriptedDevice& low = addInstrument(backend, "sock:/low", 1);
    addInstrument(backend, "sock:/high", 2);
    connection.RefreshDevices();
    low.setFailOpen(true);
    std::optional<Serial> serial;
    EXPECT_FALSE(connection.OpenDevice(serial));
    EXPECT_FALSE(serial.has_value());
}

TEST_F(UsbConnectionTest, GarbageIdentificationKeepsTheInstrumentOutAfterAPause) {
    ScriptedDevice& bad = backend.addDevice("sock:/bad");
    bad.answer(testing::kShortIdentification, "HELLO;");
    addInstrument(backend, "sock:/good", 77);

    const Ticks before = clock.ticks();
    connection.RefreshDevices();
    EXPECT_EQ(connection.Devices().size(), 1u);
    EXPECT_TRUE(connection.Devices().contains(77));
    EXPECT_GE(elapsedSince(before, clock.ticks()), 100u);
}

TEST_F(UsbConnectionTest, IdentificationWithoutSerialOrUnitIsRejected) {
    backend.addDevice("sock:/noserial").answer(testing::kShortIdentification, "#1,U745,NX;");
    backend.addDevice("sock:/nounit").answer(testing::kShortIdentification, "#1,U,N5;");
    backend.device("sock:/noserial").answer(testing::kUsRequest, "#7,US,1;");
    backend.device("sock:/nounit").answer(testing::kUsRequest, "#7,US,1;");
    connection.RefreshDevices();
    EXPECT_TRUE(connection.Devices().empty());
}

TEST_F(UsbConnectionTest, SilentInstrumentIsSkippedAfterTheTimeout) {
    backend.addDevice("sock:/silent");
    addInstrument(backend, "sock:/good", 8);
    const Ticks before = clock.ticks();
    connection.RefreshDevices();
    EXPECT_EQ(connection.Devices().size(), 1u);
    EXPECT_GT(elapsedSince(before, clock.ticks()), 4000u);
}

TEST_F(UsbConnectionTest, AVanishedInstrumentLeavesTheTable) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    connection.RefreshDevices();
    ASSERT_EQ(connection.Devices().size(), 1u);
    device.setPresent(false);
    connection.RefreshDevices();
    EXPECT_TRUE(connection.Devices().empty());
}

TEST_F(UsbConnectionTest, APathThatAnswersWithAnotherSerialIsListedUnderItOnly) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    connection.RefreshDevices();
    device.answer(testing::kShortIdentification, "#1,U758,N4;"); // swapped on the same port
    connection.RefreshDevices();
    ASSERT_EQ(connection.Devices().size(), 1u);
    EXPECT_EQ(connection.Devices().begin()->first, 4u);
}

TEST_F(UsbConnectionTest, TheLastRefreshSaysWhatItFoundAtEveryPath) {
    using Outcome = DeviceProbe::Outcome;
    addInstrument(backend, "sock:/a-open", 3);
    addInstrument(backend, "sock:/b-good", 8);
    backend.addDevice("sock:/c-silent");
    backend.addDevice("sock:/d-garbage").answer(testing::kShortIdentification, "#9;");
    backend.addDevice("sock:/e-refuses").setFailOpen(true);
    addInstrument(backend, "sock:/f-busy", 9).setFailRead(true);
    backend.addDevice("usb:1-2").setFailOpen(true, OpenFailure::PermissionDenied);
    backend.addDevice("usb:1-3").setFailOpen(true, OpenFailure::InUse);
    backend.addDevice("usb:1-4").setFailOpen(true, OpenFailure::NoBulkInterface);
    open(3);
    connection.RefreshDevices();
    EXPECT_EQ(connection.LastProbes(),
              (std::vector<DeviceProbe>{
                  {"sock:/a-open", Outcome::InUse, 3},
                  {"sock:/b-good", Outcome::Identified, 8, OpenFailure::None, "745A"},
                  {"sock:/c-silent", Outcome::NoAnswer},
                  {"sock:/d-garbage", Outcome::NotAnInstrument},
                  {"sock:/e-refuses", Outcome::CannotOpen, std::nullopt, OpenFailure::Failed},
                  {"sock:/f-busy", Outcome::ConnectionLost},
                  {"usb:1-2", Outcome::CannotOpen, std::nullopt, OpenFailure::PermissionDenied},
                  {"usb:1-3", Outcome::InUseElsewhere, std::nullopt, OpenFailure::InUse},
                  {"usb:1-4", Outcome::CannotOpen, std::nullopt, OpenFailure::NoBulkInterface},
              }));
}

// Another program's record names the instrument behind a busy device; the
// session's own device is recorded while open and forgotten when closed.
TEST_F(UsbConnectionTest, ClaimsNameTheInstrumentAnotherProgramHolds) {
    using Outcome = DeviceProbe::Outcome;
    const std::filesystem::path directory =
        std::filesystem::path(::testing::TempDir()) / "claims-connection";
    std::filesystem::remove_all(directory);
    DeviceClaims claims(directory);
    UsbConnection claiming(backend, clock, &claims);
    addInstrument(backend, "sock:/a", 3);
    addInstrument(backend, "sock:/b-busy", 9).setFailRead(true);
    std::filesystem::create_directories(directory);
    std::ofstream(directory / "sock%3A%2Fb%2Dbusy.claim") << "sock:/b-busy\n9\n1\n"; // pid 1 lives

    std::optional<Serial> serial;
    ASSERT_TRUE(claiming.OpenDevice(serial));
    EXPECT_EQ(claiming.LastProbes()[1],
              (DeviceProbe{"sock:/b-busy", Outcome::InUseElsewhere, 9, OpenFailure::InUse}));
    EXPECT_TRUE(std::filesystem::exists(directory / "sock%3A%2Fa.claim"));
    EXPECT_EQ(claims.holder("sock:/a"), std::nullopt); // this process's own

    backend.device("sock:/a").setFailWrite(true);
    expectLinkFailure([&] { claiming.WriteCommand(3, ";#7,US;"); });
    EXPECT_FALSE(std::filesystem::exists(directory / "sock%3A%2Fa.claim"));
}

TEST_F(UsbConnectionTest, AReadFailureClosesTheInstrumentAtOnce) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const std::function<void(Serial)> reads[] = {
        [&](Serial serial) {
            std::string text;
            connection.ReadUntil(serial, text);
        },
        [&](Serial serial) {
            Bytes bytes;
            connection.ReadExact(serial, 8, std::nullopt, bytes);
        },
    };
    for (const auto& read : reads) {
        device.setFailRead(false);
        const Serial serial = open();
        device.setFailRead(true); // unplugged, or the connection dropped, mid-reply
        const Ticks before = clock.ticks();
        expectLinkFailure([&] { read(serial); });
        EXPECT_LT(elapsedSince(before, clock.ticks()), 100u);
        EXPECT_FALSE(connection.Devices().contains(serial));
    }
}

TEST_F(UsbConnectionTest, ATextReplyLongerThanAnyOfTheProtocolIsMalformed) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    Serial serial = open();
    device.send(std::string(kMaxTextReplySize - 1, 'y') + ";");
    std::string text;
    connection.ReadUntil(serial, text);
    EXPECT_EQ(text.size(), kMaxTextReplySize);

    device.send(std::string(1024 * 1024, 'x') + ";");
    expectLinkFailure([&] { connection.ReadUntil(serial, text); });
    EXPECT_LE(text.size(), kMaxTextReplySize);
    EXPECT_FALSE(connection.Devices().contains(serial));
}

TEST_F(UsbConnectionTest, ACommandGoesOutInChunksOf64Bytes) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    const auto before = device.writes().size();
    connection.WriteCommand(serial, std::string(150, 'c'));
    const auto writes = device.writes();
    ASSERT_EQ(writes.size(), before + 3);
    EXPECT_EQ(writes[before].size(), 64u);
    EXPECT_EQ(writes[before + 1].size(), 64u);
    EXPECT_EQ(writes[before + 2].size(), 22u);

    connection.WriteCommand(serial, "");
    EXPECT_EQ(device.writes().size(), before + 3);
}

TEST_F(UsbConnectionTest, AFailedWriteClosesAndForgetsTheInstrument) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    device.setShortWrite(true);
    expectLinkFailure([&] { connection.WriteCommand(serial, "#7,SC;"); });
    EXPECT_TRUE(connection.Devices().empty());
    expectLinkFailure([&] { connection.WriteCommand(serial, "#7,SC;"); });
}

TEST_F(UsbConnectionTest, WriteDropsBytesNobodyRead) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    device.send("late reply;");
    Bytes header;
    connection.ReadExact(serial, 2, std::nullopt, header); // "la" in hand, rest buffered
    device.send("stale;");                                 // still held by the device
    device.answer("#7,US;", "#7,US,9;");
    connection.WriteCommand(serial, "#7,US;");
    std::string reply;
    connection.ReadUntil(serial, reply);
    EXPECT_EQ(reply, "#7,US,9;");
    EXPECT_EQ(device.pendingBytes(), 0u);
}

TEST_F(UsbConnectionTest, ATrickleWithThreeSecondGapsCompletes) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    device.send("#", 3000ms);
    device.send("1", 6000ms);
    device.send(";", 9000ms);
    std::string reply;
    connection.ReadUntil(serial, reply);
    EXPECT_EQ(reply, "#1;");
}

TEST_F(UsbConnectionTest, AFiveSecondGapTimesOutAndRemovesTheInstrument) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    device.send("#7", 1000ms);
    device.send(",SP;", 6001ms);
    Bytes out;
    expectLinkFailure([&] { connection.ReadExact(serial, 8, std::nullopt, out); });
    EXPECT_TRUE(connection.Devices().empty());

    std::string text;
    expectLinkFailure([&] { connection.ReadUntil(serial, text); });
}

TEST_F(UsbConnectionTest, TheTimeoutCountsAcrossTheTickWrap) {
    ManualClock wrapping(0xFFFFFF00u);
    ScriptedBackend wrappingBackend{wrapping};
    UsbConnection wrappingConnection{wrappingBackend, wrapping};
    ScriptedDevice& device = addInstrument(wrappingBackend, "sock:/a", 3);
    std::optional<Serial> serial;
    ASSERT_TRUE(wrappingConnection.OpenDevice(serial));
    device.send(";", 3900ms);
    std::string reply;
    wrappingConnection.ReadUntil(*serial, reply);
    EXPECT_EQ(reply, ";");
}

TEST_F(UsbConnectionTest, ReadExactStopsAtTheStopByteWithTheRestOfTheBlock) {
    ScriptedDevice& device = addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    device.send("#7,?;xyz");
    Bytes out;
    connection.ReadExact(serial, 12, std::uint8_t{'?'}, out);
    EXPECT_EQ(std::string(out.begin(), out.end()), "#7,?;xyz");

    device.send("abcdef");
    connection.ReadExact(serial, 4, std::nullopt, out);
    EXPECT_EQ(std::string(out.begin(), out.end()), "abcd");
    connection.ReadExact(serial, 2, std::nullopt, out); // the rest stays buffered for the next read
    EXPECT_EQ(std::string(out.begin(), out.end()), "ef");
}

TEST_F(UsbConnectionTest, ReadExactOfNothingLeavesTheOutputAlone) {
    addInstrument(backend, "sock:/a", 3);
    const Serial serial = open();
    Bytes out{1, 2};
    connection.ReadExact(serial, 0, std::nullopt, out);
    EXPECT_EQ(out, (Bytes{1, 2}));
}

TEST_F(UsbConnectionTest, OperationsOnUnknownSerialsCloseWithCodeOne) {
    addInstrument(backend, "sock:/a", 3);
    open();
    Bytes out;
    std::string text;
    expectLinkFailure([&] { connection.WriteCommand(4, "x"); });
    expectLinkFailure([&] { connection.ReadExact(4, 1, std::nullopt, out); });
    expectLinkFailure([&] { connection.ReadUntil(4, text); });
    EXPECT_TRUE(connection.Devices().contains(3));
}

// A manual clock on which a stop is requested once a set time has passed, as
// the thread that owns the link requests it while the link waits for a reply.
class StoppingClock final : public Clock {
public:
    Ticks ticks() const override { return clock_.ticks(); }
    void sleepFor(std::chrono::milliseconds duration) override {
        clock_.sleepFor(duration);
        if (stopAt_ && clock_.ticks() >= *stopAt_) {
            stop_.request_stop();
        }
    }
    std::stop_token stopAfter(std::chrono::milliseconds delay) {
        stop_ = std::stop_source();
        stopAt_ = clock_.ticks() + static_cast<Ticks>(delay.count());
        return stop_.get_token();
    }

private:
    ManualClock clock_;
    std::optional<Ticks> stopAt_;
    std::stop_source stop_;
};

TEST(UsbConnectionInterruptionTest, AStopEndsAReplyWaitAsALinkFailureLongBeforeTheTimeout) {
    StoppingClock clock;
    ScriptedBackend backend{clock};
    UsbConnection connection{backend, clock};
    addInstrument(backend, "sock:/mute", 3); // identifies itself, then answers nothing
    const std::function<void(Serial)> waits[] = {
        [&](Serial serial) {
            std::string text;
            connection.ReadUntil(serial, text);
        },
        [&](Serial serial) {
            Bytes bytes;
            connection.ReadExact(serial, 8, std::uint8_t{'?'}, bytes);
        },
    };
    for (const auto& wait : waits) {
        connection.setInterruption({});
        std::optional<Serial> serial;
        ASSERT_TRUE(connection.OpenDevice(serial));
        connection.setInterruption(clock.stopAfter(1000ms));
        const Ticks before = clock.ticks();
        try {
            wait(*serial);
            ADD_FAILURE() << "the wait was not ended";
        } catch (const DataSourceException& e) {
            EXPECT_EQ(e.code(), DataSourceException::kLinkFailure);
        }
        const Ticks waited = elapsedSince(before, clock.ticks());
        EXPECT_GE(waited, 1000u);
        EXPECT_LE(waited, 1000u + kReadPollInterval.count());
        EXPECT_FALSE(connection.Devices().contains(*serial));
    }
}

TEST(UsbConnectionInterruptionTest, AStopEndsAReadWhileBytesKeepComing) {
    ManualClock clock;
    ScriptedBackend backend{clock};
    UsbConnection connection{backend, clock};
    ScriptedDevice& device = addInstrument(backend, "sock:/fast", 3);
    std::optional<Serial> serial;
    ASSERT_TRUE(connection.OpenDevice(serial));
    constexpr std::size_t kScreen = 64 * 1024;
    device.send(std::string(kScreen, 'x')); // bytes there at every read
    std::stop_source stop;
    stop.request_stop();
    connection.setInterruption(stop.get_token());
    Bytes screen;
    try {
        connection.ReadExact(*serial, kScreen, std::nullopt, screen);
        ADD_FAILURE() << "the read was not ended";
    } catch (const DataSourceException& e) {
        EXPECT_EQ(e.code(), DataSourceException::kLinkFailure);
    }
    EXPECT_LT(screen.size(), kReadBlockSize + 1);
}

} // namespace
} // namespace ombrix::link
