#include "link/SocketBackend.h"

#include "SocketPeer.h"
#include "link/LinkErrors.h"
#include "link/UsbConnection.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace ombrix::link {
namespace {

using ombrix::testing::SocketPeer;

class SocketBackendTest : public ::testing::Test {
protected:
    QTemporaryDir temporary;
    std::filesystem::path directory{temporary.path().toStdString()};
    SocketBackend backend{directory};

    std::string devicePath(const std::string& name) {
        return "sock:" + (directory / name).string();
    }

    std::string readAll(DeviceChannel& channel, std::size_t expected) {
        std::string text;
        for (int attempt = 0; attempt < 200 && text.size() < expected; ++attempt) {
            std::uint8_t buffer[kReadBlockSize];
            const auto n = channel.read(buffer);
            if (!n) {
                break;
            }
            text.append(buffer, buffer + *n);
        }
        return text;
    }
};

TEST_F(SocketBackendTest, ListsSocketsNamedDotSockInBytewiseOrder) {
    SocketPeer lower(directory / "a.sock");
    SocketPeer upper(directory / "B.sock");
    SocketPeer other(directory / "c.socket");
    std::ofstream(directory / "d.sock") << "not a socket";
    const auto paths = backend.listDevicePaths();
    ASSERT_TRUE(paths.has_value());
    EXPECT_EQ(*paths, (std::vector<std::string>{devicePath("B.sock"), devicePath("a.sock")}));
}

TEST_F(SocketBackendTest, AMissingDirectoryAndPathsOfOtherBackendsHaveNoInstruments) {
    SocketBackend missing(directory / "nowhere");
    const auto paths = missing.listDevicePaths();
    ASSERT_TRUE(paths.has_value());
    EXPECT_TRUE(paths->empty());
    EXPECT_EQ(missing.open("sock:" + (directory / "nowhere" / "x.sock").string()), nullptr);
    EXPECT_EQ(backend.open("usb:1-2"), nullptr);
    EXPECT_EQ(backend.open("sock:/" + std::string(200, 'x') + ".sock"), nullptr);
}

TEST_F(SocketBackendTest, CarriesTheBytesUnchangedBothWays) {
    SocketPeer peer(directory / "i.sock");
    peer.answer(";#0,;;", "ok;");
    auto channel = backend.open(devicePath("i.sock"));
    ASSERT_NE(channel, nullptr);
    std::uint8_t nothing[16];
    EXPECT_EQ(channel->read(nothing), 0u); // nothing to read: returns empty-handed
    const std::string command = ";#0,;;";
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(command.data());
    EXPECT_EQ(channel->write({bytes, command.size()}), command.size());
    EXPECT_EQ(readAll(*channel, 3), "ok;");
    EXPECT_EQ(peer.received(), command);
    EXPECT_TRUE(channel->setTransferTimeout(4'000'000));
}

TEST_F(SocketBackendTest, UnpluggingRemovesTheDeviceAndBreaksTheChannel) {
    SocketPeer peer(directory / "i.sock");
    auto channel = backend.open(devicePath("i.sock"));
    ASSERT_NE(channel, nullptr);
    peer.unplug();
    EXPECT_TRUE(backend.listDevicePaths()->empty());
    std::uint8_t buffer[16];
    EXPECT_FALSE(channel->read(buffer).has_value());
    const std::uint8_t byte = ';';
    EXPECT_FALSE(channel->write({&byte, 1}).has_value());
}

// The one test in real time: identification and the silence time-out over a socket.
TEST_F(SocketBackendTest, ConnectionIdentifiesAndTimesOutOverARealSocket) {
    SocketPeer peer(directory / "i.sock");
    peer.answer(";#1,U?,N?;", "#1,U745A,N4242;");
    peer.answer(";#7,US;", "#7,US,3;");
    SystemClock clock;
    UsbConnection connection(backend, clock);
    std::optional<Serial> serial;
    ASSERT_TRUE(connection.OpenDevice(serial));
    EXPECT_EQ(serial, 4242u);

    connection.WriteCommand(4242, "#7,SC;");
    std::string reply;
    const Ticks start = clock.ticks();
    EXPECT_THROW(connection.ReadUntil(4242, reply), DataSourceException);
    EXPECT_GT(elapsedSince(start, clock.ticks()), 4000u);
    EXPECT_TRUE(connection.Devices().empty());
}

} // namespace
} // namespace ombrix::link
