#include "link/UsbDevicePort.h"

#include "doubles/ScriptedBackend.h"

#include <gtest/gtest.h>

namespace ombrix::link {
namespace {

class UsbDevicePortTest : public ::testing::Test {
protected:
    ManualClock clock;
    ScriptedBackend backend{clock};
    UsbDevicePort port{backend};

    DevicePathRecord record(const std::string& path) { return {0, path}; }

    void openAndSelect(const std::string& path) {
        ASSERT_EQ(port.OpenByPath(record(path)), PortStatus::Done);
        ASSERT_EQ(port.SelectByPath(path), PortStatus::Done);
    }
};

TEST_F(UsbDevicePortTest, EnumerationCountsIndexesFromOneInOrder) {
    backend.addDevice("sock:/b");
    backend.addDevice("sock:/a");
    std::vector<DevicePathRecord> listed;
    ASSERT_EQ(port.EnumerateDevices(listed), PortStatus::Done);
    EXPECT_EQ(listed, (std::vector<DevicePathRecord>{{1, "sock:/b"}, {2, "sock:/a"}}));

    backend.setFailListing(true);
    EXPECT_EQ(port.EnumerateDevices(listed), PortStatus::PlatformFailure);
}

TEST_F(UsbDevicePortTest, OpenCloseAndSelectFollowTheRecordStates) {
    backend.addDevice("sock:/a");
    EXPECT_EQ(port.OpenByPath(record("sock:/missing")), PortStatus::PlatformFailure);
    EXPECT_EQ(port.OpenByPath(record("sock:/a")), PortStatus::Done);
    EXPECT_EQ(port.OpenByPath(record("sock:/a")), PortStatus::PlatformFailure);
    EXPECT_TRUE(port.IsOpen("sock:/a"));
    EXPECT_EQ(backend.device("sock:/a").openCount(), 1);

    EXPECT_EQ(port.SelectByPath("sock:/unknown"), PortStatus::NotSelected);
    EXPECT_EQ(port.CloseByPath(record("sock:/a")), PortStatus::Done);
    EXPECT_EQ(port.CloseByPath(record("sock:/a")), PortStatus::NotSelected);
    EXPECT_EQ(port.SelectByPath("sock:/a"), PortStatus::NotOpen);
    EXPECT_EQ(port.RecordCount(), 2u); // records are kept, also for failed opens
}

TEST_F(UsbDevicePortTest, TransfersNeedAnOpenSelection) {
    backend.addDevice("sock:/a");
    const Bytes bytes{1, 2, 3};
    Bytes out;
    EXPECT_EQ(port.WriteBytes(bytes), PortStatus::NotSelected);
    EXPECT_EQ(port.ReadAvailable(out), PortStatus::NotSelected);
    EXPECT_EQ(port.SetDriverTimeout(-1), PortStatus::BadArgument);

    openAndSelect("sock:/a");
    port.CloseByPath(record("sock:/a"));
    EXPECT_EQ(port.WriteBytes(bytes), PortStatus::NotOpen);
    EXPECT_EQ(port.SetDriverTimeout(5), PortStatus::NotOpen);
}

TEST_F(UsbDevicePortTest, WriteReportsFailureAndShortWrites) {
    ScriptedDevice& device = backend.addDevice("sock:/a");
    openAndSelect("sock:/a");
    EXPECT_EQ(port.WriteBytes({1, 2, 3, 4}), PortStatus::Done);
    device.setShortWrite(true);
    EXPECT_EQ(port.WriteBytes({1, 2, 3, 4}), PortStatus::BadArgument);
    device.setFailWrite(true);
    EXPECT_EQ(port.WriteBytes({1, 2, 3, 4}), PortStatus::PlatformFailure);
    EXPECT_EQ(port.SetDriverTimeout(4'000'000), PortStatus::Done);
    EXPECT_EQ(device.timeoutRequests(), std::vector<std::int32_t>{4'000'000});
}

TEST_F(UsbDevicePortTest, AFullBlockIsFollowedByAnotherRead) {
    ScriptedDevice& device = backend.addDevice("sock:/a");
    openAndSelect("sock:/a");
    device.send(std::string(kReadBlockSize, 'x'));
    Bytes out;
    EXPECT_EQ(port.ReadAvailable(out), PortStatus::Done);
    EXPECT_EQ(out.size(), kReadBlockSize);
    EXPECT_EQ(device.readCount(), 2);

    device.send(std::string(kReadBlockSize + 5, 'y'));
    out.clear();
    port.ReadAvailable(out);
    EXPECT_EQ(out.size(), kReadBlockSize + 5);
    EXPECT_EQ(device.readCount(), 4);
}

TEST_F(UsbDevicePortTest, ReadFailureKeepsWhatCameBefore) {
    ScriptedDevice& device = backend.addDevice("sock:/a");
    openAndSelect("sock:/a");
    device.setFailRead(true);
    Bytes out{9};
    EXPECT_EQ(port.ReadAvailable(out), PortStatus::PlatformFailure);
    EXPECT_EQ(out, Bytes{9});
    port.FillReceiveBuffer(); // swallowed: the buffer is just empty
    EXPECT_FALSE(port.HasUnread());
}

TEST_F(UsbDevicePortTest, GetByteFillsAnEmptyBufferFromTheDevice) {
    ScriptedDevice& device = backend.addDevice("sock:/a");
    openAndSelect("sock:/a");
    std::uint8_t byte = 0;
    EXPECT_FALSE(port.GetByte(byte));
    device.send("AB");
    ASSERT_TRUE(port.GetByte(byte));
    EXPECT_EQ(byte, 'A');
    EXPECT_TRUE(port.HasUnread());

    Bytes taken;
    port.TakeBytes(taken, 0);
    EXPECT_TRUE(taken.empty());
    port.TakeBytes(taken, 10);
    EXPECT_EQ(taken, Bytes{'B'});
    EXPECT_FALSE(port.HasUnread());
}

// A record holds 255 UTF-16 units: a longer path is refused, not cut.
TEST_F(UsbDevicePortTest, DevicePathsTooLongForARecordAreRefusedNotCut) {
    EXPECT_EQ(devicePathLength("\xC3\xA9"), 1u);         // e acute
    EXPECT_EQ(devicePathLength("\xF0\x9F\x98\x80"), 2u); // outside the BMP: a surrogate pair
    const std::string longPath = "sock:/" + std::string(250, 'p');
    backend.addDevice(longPath);
    EXPECT_EQ(devicePathLength(longPath), 256u);
    EXPECT_EQ(port.OpenByPath(record(longPath)), PortStatus::PlatformFailure);

    const std::string fits = "sock:/" + std::string(249, 'p');
    backend.addDevice(fits);
    EXPECT_EQ(port.OpenByPath(record(fits)), PortStatus::Done);
}

TEST_F(UsbDevicePortTest, CloseAllClosesEveryOpenRecord) {
    ScriptedDevice& a = backend.addDevice("sock:/a");
    backend.addDevice("sock:/b");
    openAndSelect("sock:/a");
    openAndSelect("sock:/b");
    a.setPresent(false);
    port.CloseAll();
    EXPECT_FALSE(port.IsOpen("sock:/a"));
    EXPECT_FALSE(port.IsOpen("sock:/b"));
}

} // namespace
} // namespace ombrix::link
