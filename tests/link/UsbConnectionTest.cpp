#include "link/UsbConnection.h"

#include "doubles/ScriptedBackend.h"
#include "link/LinkErrors.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace ombrix::link {
namespace {

using namespace std::chrono_literals;

// Runs an operation that must fail with a closed device: code 1.
void expectLinkFailure(const std::function<void()>& operation) {
    try {
        operation();
        ADD_FAILURE() << "no DataSourceException";
    } catch (const DataSourceException& e) {
        EXPECT_EQ(e.code(), DataSourceException::kLinkFailure);
    }
}

// The two ways of reading a reply: to its semicolon, and a number of bytes.
void readText(UsbConnection& connection, Serial serial) {
    std::string text;
    connection.ReadUntil(serial, text);
}

void readBytes(UsbConnection& connection, Serial serial) {
    Bytes bytes;
    connection.ReadExact(serial, 8, std::uint8_t{'?'}, bytes);
}

class UsbConnectionTest : public ::testing::Test {
protected:
    ManualClock clock{1000};
    ScriptedBackend backend{clock};
    UsbConnection connection{backend, clock};

    Serial open(std::optional<Serial> preferred = std::nullopt) {
        EXPECT_TRUE(connection.OpenDevice(preferred));
        return preferred.value_or(0);
    }
};

TEST_F(UsbConnectionTest, OpensTheLowestSerialWhateverTheEnumerationOrder) {
    backend.addInstrument("sock:/first", 900, "758");
    backend.addInstrument("sock:/second", 120, "302B", 4);
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

// The instrument open for the session is kept, with or without a preference,
// never identified or opened again; instruments plugged in meanwhile are listed.
TEST_F(UsbConnectionTest, TheOpenInstrumentStaysInUseAndNewOnesAreListed) {
    ScriptedDevice& used = backend.addInstrument("sock:/a", 500);
    ASSERT_EQ(open(), 500u);
    std::optional<Serial> none;
    EXPECT_TRUE(connection.OpenDevice(none));
    EXPECT_EQ(none, 500u);
    const auto identifyWrites = used.writes().size();

    backend.addInstrument("sock:/b", 100);
    std::optional<Serial> preferred = 500;
    EXPECT_TRUE(connection.OpenDevice(preferred));
    EXPECT_EQ(preferred, 500u);
    EXPECT_EQ(used.writes().size(), identifyWrites);
    EXPECT_EQ(used.openCount(), 2); // refresh + session, never reopened
    EXPECT_TRUE(connection.Devices().contains(100));
}

TEST_F(UsbConnectionTest, AnUnpluggedPreferenceFallsBackToTheLowestSerial) {
    ScriptedDevice& gone = backend.addInstrument("sock:/a", 50);
    backend.addInstrument("sock:/b", 700);
    backend.addInstrument("sock:/c", 300);
    std::optional<Serial> serial = open();
    ASSERT_EQ(serial, 50u);
    gone.setPresent(false);
    EXPECT_TRUE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 300u);
    EXPECT_FALSE(connection.Devices().contains(50));
}

TEST_F(UsbConnectionTest, AListedPreferenceIsReopenedAfterALinkFailure) {
    backend.addInstrument("sock:/low", 10);
    ScriptedDevice& preferred = backend.addInstrument("sock:/high", 20);
    std::optional<Serial> serial = 20;
    ASSERT_TRUE(connection.OpenDevice(serial));
    ASSERT_EQ(serial, 20u);
    expectLinkFailure([&] { connection.CloseDevice(20); });

    EXPECT_TRUE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 20u);
    EXPECT_NO_THROW(connection.WriteCommand(20, "#7,SC;"));
    EXPECT_EQ(preferred.writes().back(), "#7,SC;");
}

// With no instrument, and when the lowest serial cannot be opened, the open
// fails and leaves the caller's serial as it was.
TEST_F(UsbConnectionTest, AnOpenWithNothingToOpenFails) {
    std::optional<Serial> serial = 5;
    EXPECT_FALSE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 5u);

    ScriptedDevice& low = backend.addInstrument("sock:/low", 1);
    backend.addInstrument("sock:/high", 2);
    connection.RefreshDevices();
    low.setFailOpen(true);
    std::optional<Serial> none;
    EXPECT_FALSE(connection.OpenDevice(none));
    EXPECT_FALSE(none.has_value());
}

// Garbage, a reply without serial or unit, and silence keep a device out of
// the table; garbage costs a pause, silence the whole time-out.
TEST_F(UsbConnectionTest, OnlyDevicesThatIdentifyThemselvesAreListed) {
    backend.addDevice("sock:/bad").answer(kShortIdentification, "HELLO;");
    backend.addInstrument("sock:/good", 77);
    Ticks before = clock.ticks();
    connection.RefreshDevices();
    EXPECT_EQ(connection.Devices().size(), 1u);
    EXPECT_TRUE(connection.Devices().contains(77));
    EXPECT_GE(elapsedSince(before, clock.ticks()), 100u);

    backend.device("sock:/bad").answer(kShortIdentification, "#1,U745,NX;"); // no serial
    backend.device("sock:/bad").answer(";#7,US;", "#7,US,1;");
    backend.addInstrument("sock:/nounit", 5, ""); // no unit
    backend.addDevice("sock:/silent");
    before = clock.ticks();
    connection.RefreshDevices();
    EXPECT_EQ(connection.Devices().size(), 1u);
    EXPECT_GT(elapsedSince(before, clock.ticks()), 4000u);
}

// The table follows the ports: a device that vanished leaves it, a path that
// answers with another serial is listed under that serial only.
TEST_F(UsbConnectionTest, TheTableFollowsWhatIsBehindEachPath) {
    ScriptedDevice& swapped = backend.addInstrument("sock:/a", 3);
    ScriptedDevice& vanishing = backend.addInstrument("sock:/b", 5);
    connection.RefreshDevices();
    ASSERT_EQ(connection.Devices().size(), 2u);
    swapped.answer(kShortIdentification, "#1,U758,N4;");
    vanishing.setPresent(false);
    connection.RefreshDevices();
    ASSERT_EQ(connection.Devices().size(), 1u);
    EXPECT_EQ(connection.Devices().begin()->first, 4u);
}

TEST_F(UsbConnectionTest, TheLastRefreshSaysWhatItFoundAtEveryPath) {
    using Outcome = DeviceProbe::Outcome;
    backend.addInstrument("sock:/a-open", 3);
    backend.addInstrument("sock:/b-good", 8);
    backend.addDevice("sock:/c-silent");
    backend.addDevice("sock:/d-garbage").answer(kShortIdentification, "#9;");
    backend.addDevice("sock:/e-refuses").setFailOpen(true);
    backend.addInstrument("sock:/f-busy", 9).setFailRead(true);
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
    backend.addInstrument("sock:/a", 3);
    backend.addInstrument("sock:/b-busy", 9).setFailRead(true);
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
    ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
    for (const auto read : {readText, readBytes}) {
        device.setFailRead(false);
        const Serial serial = open();
        device.setFailRead(true); // unplugged, or the connection dropped, mid-reply
        const Ticks before = clock.ticks();
        expectLinkFailure([&] { read(connection, serial); });
        EXPECT_LT(elapsedSince(before, clock.ticks()), 100u);
        EXPECT_FALSE(connection.Devices().contains(serial));
    }
}

TEST_F(UsbConnectionTest, ATextReplyLongerThanAnyOfTheProtocolIsMalformed) {
    ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
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

// A command goes out in chunks of 64 bytes; a short write closes the device.
TEST_F(UsbConnectionTest, WritesGoOutInChunksAndAFailedOneClosesTheInstrument) {
    ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
    const Serial serial = open();
    const auto before = device.writes().size();
    connection.WriteCommand(serial, std::string(150, 'c'));
    connection.WriteCommand(serial, "");
    const auto writes = device.writes();
    ASSERT_EQ(writes.size(), before + 3);
    EXPECT_EQ(writes[before].size(), 64u);
    EXPECT_EQ(writes[before + 1].size(), 64u);
    EXPECT_EQ(writes[before + 2].size(), 22u);

    device.setShortWrite(true);
    expectLinkFailure([&] { connection.WriteCommand(serial, "#7,SC;"); });
    EXPECT_TRUE(connection.Devices().empty());
    expectLinkFailure([&] { connection.WriteCommand(serial, "#7,SC;"); });
}

TEST_F(UsbConnectionTest, WriteDropsBytesNobodyRead) {
    ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
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

// The 4000 ms time-out measures silence, not the whole reply, also across the
// wrap of the 32-bit ticks; a reply that stops for longer closes the device.
TEST(UsbConnectionTimeOutTest, CountsTheSilenceBetweenBytes) {
    struct Case {
        Ticks start;
        std::vector<ReplyPiece> pieces;
        bool exact;
        bool completes;
    };
    const Case cases[] = {
        {1000, {{3000ms, "#"}, {6000ms, "1"}, {9000ms, ";"}}, false, true},
        {0xFFFFFF00u, {{3900ms, ";"}}, false, true},
        {1000, {{1000ms, "#7"}, {6001ms, ",SP;"}}, true, false},
        {1000, {{5000ms, ";"}}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pieces.back().delay.count());
        ManualClock clock{c.start};
        ScriptedBackend backend{clock};
        UsbConnection connection{backend, clock};
        ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
        std::optional<Serial> serial;
        ASSERT_TRUE(connection.OpenDevice(serial));
        std::string sent;
        for (const ReplyPiece& piece : c.pieces) {
            device.send(piece.bytes, piece.delay);
            sent += piece.bytes;
        }
        std::string text;
        Bytes bytes;
        const auto read = [&] {
            if (c.exact) {
                connection.ReadExact(3, 8, std::nullopt, bytes);
            } else {
                connection.ReadUntil(3, text);
            }
        };
        if (c.completes) {
            read();
            EXPECT_EQ(text, sent);
        } else {
            expectLinkFailure(read);
            EXPECT_TRUE(connection.Devices().empty());
        }
    }
}

TEST_F(UsbConnectionTest, ReadExactStopsAtTheStopByteOrTheCountAndKeepsTheRest) {
    ScriptedDevice& device = backend.addInstrument("sock:/a", 3);
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
    connection.ReadExact(serial, 0, std::nullopt, out); // nothing to read leaves the output alone
    EXPECT_EQ(std::string(out.begin(), out.end()), "ef");
}

TEST_F(UsbConnectionTest, OperationsOnUnknownSerialsCloseWithCodeOne) {
    backend.addInstrument("sock:/a", 3);
    open();
    expectLinkFailure([&] { connection.WriteCommand(4, "x"); });
    expectLinkFailure([&] { readBytes(connection, 4); });
    expectLinkFailure([&] { readText(connection, 4); });
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

// A stop ends a wait for a silent instrument within one poll, and a read of
// bytes that keep coming at its next turn, as a link failure.
TEST(UsbConnectionInterruptionTest, AStopEndsAReplyWaitLongBeforeTheTimeout) {
    StoppingClock clock;
    ScriptedBackend backend{clock};
    UsbConnection connection{backend, clock};
    ScriptedDevice& device = backend.addInstrument("sock:/mute", 3); // then answers nothing
    for (const auto wait : {readText, readBytes}) {
        connection.setInterruption({});
        std::optional<Serial> serial;
        ASSERT_TRUE(connection.OpenDevice(serial));
        connection.setInterruption(clock.stopAfter(1000ms));
        const Ticks before = clock.ticks();
        expectLinkFailure([&] { wait(connection, *serial); });
        const Ticks waited = elapsedSince(before, clock.ticks());
        EXPECT_GE(waited, 1000u);
        EXPECT_LE(waited, 1000u + kReadPollInterval.count());
        EXPECT_FALSE(connection.Devices().contains(*serial));
    }

    connection.setInterruption({});
    std::optional<Serial> serial;
    ASSERT_TRUE(connection.OpenDevice(serial));
    constexpr std::size_t kScreen = 64 * 1024;
    device.send(std::string(kScreen, 'x')); // bytes there at every read
    std::stop_source stop;
    stop.request_stop();
    connection.setInterruption(stop.get_token());
    Bytes screen;
    expectLinkFailure([&] { connection.ReadExact(*serial, kScreen, std::nullopt, screen); });
    EXPECT_LT(screen.size(), kReadBlockSize + 1);
}

} // namespace
} // namespace ombrix::link
