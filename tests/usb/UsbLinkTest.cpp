// The USB path on the emulated bus, below the window: the candidates, the
// listed pairs, identification, screens and keys through ombrix-cli's
// commands, and the ways a real device fails.
#include "EmulatedUsbBus.h"
#include "SimScreen.h"
#include "catalogue/ModelCatalogue.h"
#include "cli/CliCommand.h"
#include "link/LibusbBackend.h"
#include "link/LinkErrors.h"
#include "link/UsbCandidates.h"
#include "link/UsbConnection.h"

#include <QImage>
#include <QTemporaryDir>
#include <chrono>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>

namespace ombrix::usbtest {
namespace {

using link::DeviceProbe;
using link::OpenFailure;
using Outcome = DeviceProbe::Outcome;

constexpr link::UsbId kMonoPair{0x1a2b, 0x0001};
constexpr link::UsbId kColourPair{0x1a2b, 0x0002};

UsbDeviceTraits traits(const std::string& model, int port, link::UsbId id) {
    UsbDeviceTraits device;
    device.modelKey = model;
    device.port = port;
    device.vendor = id.vendor;
    device.product = id.product;
    device.productName = "ORMA " + model;
    return device;
}

class UsbLinkTest : public ::testing::Test {
protected:
    EmulatedUsbBus bus;
    link::SystemClock clock;
    link::LibusbBackend backend{{kMonoPair}};
    link::UsbConnection connection{backend, clock};

    link::Serial open() {
        std::optional<link::Serial> serial;
        EXPECT_TRUE(connection.OpenDevice(serial));
        return serial.value_or(0);
    }

    // ombrix-cli's command over this backend; what it printed on `out`.
    int runCli(std::vector<std::string> arguments, std::string& out) {
        std::ostringstream output;
        std::ostringstream errors;
        cli::CliContext context{backend,      clock,   output,       errors,
                                std::nullopt, nullptr, backend.ids()};
        const int status = cli::RunCli(arguments, context);
        out = output.str();
        EXPECT_TRUE(status == 0 || !errors.str().empty());
        lastErrors = errors.str();
        return status;
    }

    std::string lastErrors;
};

// Only a device of a listed pair is ever opened; the candidates come from
// descriptors alone, and a pair listed while the backend runs counts at once.
TEST_F(UsbLinkTest, OnlyListedPairsAreOpenedAndCandidatesAreReadFromDescriptors) {
    bus.plug(traits("mono", 2, kMonoPair));
    EmulatedUsbDevice& colour = bus.plug(traits("colour", 3, kColourPair));
    UsbDeviceTraits noPair = traits("mono", 4, {0x1a2b, 0x0003});
    noPair.layout = InterfaceLayout::NoBulkPair;
    EmulatedUsbDevice& odd = bus.plug(noPair);

    link::UsbCandidateScanner scanner;
    const auto candidates = scanner.scan();
    ASSERT_TRUE(candidates.has_value());
    ASSERT_EQ(candidates->size(), 2u); // neither the root hub nor the device without a pair
    EXPECT_EQ((*candidates)[0], (link::UsbCandidate{kMonoPair, "usb:1-2", "Velmora", "ORMA mono",
                                                    bus.node(2), true}));
    EXPECT_EQ((*candidates)[1].path, "usb:1-3");

    std::string out;
    ASSERT_EQ(runCli({"devices", "--candidates"}, out), 0);
    EXPECT_EQ(out, "1a2b:0001\tusb:1-2\tVelmora\tORMA mono\taccess\tlisted\n"
                   "1a2b:0002\tusb:1-3\tVelmora\tORMA colour\taccess\tnot listed\n");

    EXPECT_EQ(backend.listDevicePaths(), (std::vector<std::string>{"usb:1-2"}));
    EXPECT_EQ(open(), 10745u);
    EXPECT_EQ(connection.Devices().at(10745).pathRecord.path, "usb:1-2");
    EXPECT_EQ(colour.transfers(), 0);
    EXPECT_EQ(odd.transfers(), 0);

    backend.setIds({kMonoPair, kColourPair, {0x1a2b, 0x0003}});
    connection.RefreshDevices();
    EXPECT_EQ(connection.LastProbes(),
              (std::vector<DeviceProbe>{
                  {"usb:1-2", Outcome::InUse, 10745},
                  {"usb:1-3", Outcome::Identified, 30302, OpenFailure::None, "302"},
                  {"usb:1-4", Outcome::CannotOpen, std::nullopt, OpenFailure::NoBulkInterface}}));
    EXPECT_EQ(odd.transfers(), 0);
}

// ombrix-cli edits the pairs in the settings ombrix reads; the environment's
// are shown apart, as they only add.
TEST_F(UsbLinkTest, UsbIdsAreEditedInTheSettings) {
    std::string out;
    ASSERT_EQ(runCli({"usb-ids", "add", "1A2B:0002", "dead:beef"}, out), 0);
    ASSERT_EQ(runCli({"usb-ids", "remove", "dead:beef"}, out), 0);
    ASSERT_EQ(runCli({"usb-ids", "list"}, out), 0);
    EXPECT_EQ(out, "1a2b:0002\n1a2b:0001\t(from OMBRIX_USB_IDS)\n");
    EXPECT_EQ(runCli({"usb-ids", "add", "1a2b"}, out), cli::kUsageError);
    ASSERT_EQ(runCli({"usb-ids", "remove", "1a2b:0002"}, out), 0);
}

TEST_F(UsbLinkTest, ABulkPairBehindAnotherInterfaceIsFound) {
    UsbDeviceTraits device = traits("palette", 2, kMonoPair);
    device.layout = InterfaceLayout::BulkPairSecond;
    bus.plug(device);
    EXPECT_EQ(open(), 20758u);
}

// Frames of a one-bit screen with its icon panel and of a 320 x 240 colour
// screen (150 KiB: hundreds of packets and a whole number of them, so its end
// comes with a zero-length packet or, without one, with the time-out of the
// last read) arrive whole through ombrix-cli capture; keys go out with press.
TEST_F(UsbLinkTest, CaptureAndPressRunOverUsb) {
    struct Case {
        const char* model;
        bool zeroLengthPackets;
    };
    for (const Case& each : {Case{"mono", true}, Case{"colour", true}, Case{"colour", false}}) {
        SCOPED_TRACE(std::string(each.model) + (each.zeroLengthPackets ? "" : ", no ZLP"));
        UsbDeviceTraits device = traits(each.model, 2, kMonoPair);
        device.zeroLengthPackets = each.zeroLengthPackets;
        EmulatedUsbDevice& instrument = bus.plug(device);
        instrument.setFrozen(true);
        const sim::InstrumentModel& model = *sim::findModel(each.model);
        if (model.bitsPerPixel == 1) {
            instrument.pressKey(model.keys.backlight); // the default colours: backlight off
        }
        const QImage snapshot = instrument.snapshot();
        QTemporaryDir scratch;
        const std::string file = scratch.filePath(QStringLiteral("screen.png")).toStdString();
        std::string out;
        ASSERT_EQ(runCli({"capture", "-o", file}, out), 0) << lastErrors;
        const QImage capture(QString::fromStdString(file));
        const int top = model.bitsPerPixel == 1 ? model.iconPanelHeight : 0;
        ASSERT_EQ(capture.size(), QSize(model.width, model.height + top));
        EXPECT_EQ(testing::ScreenMismatches(model, capture, snapshot), 0);

        ASSERT_EQ(runCli({"press", "MENU"}, out), 0) << lastErrors;
        EXPECT_EQ(instrument.keysReceived(), std::vector<std::uint8_t>{model.keys.menu});
        bus.unplug(2);
    }
}

// A device another program holds, one this user may not open, and bytes the
// device had queued before the host asked.
TEST_F(UsbLinkTest, BusyAndLockedDevicesSayWhyAndStaleBytesAreDropped) {
    bus.plug(traits("mono", 2, kMonoPair)).setBusy(true);
    bus.plug(traits("colour", 3, kColourPair));
    bus.denyAccess(3);
    backend.setIds({kMonoPair, kColourPair});
    connection.RefreshDevices();
    EXPECT_EQ(connection.LastProbes(),
              (std::vector<DeviceProbe>{
                  {"usb:1-2", Outcome::InUseElsewhere, std::nullopt, OpenFailure::InUse},
                  {"usb:1-3", Outcome::CannotOpen, std::nullopt, OpenFailure::PermissionDenied}}));
    std::string out;
    EXPECT_EQ(runCli({"devices"}, out), 1);
    EXPECT_NE(lastErrors.find("usb:1-3 cannot be opened: permission denied"), std::string::npos)
        << lastErrors;
    EXPECT_NE(lastErrors.find("usb:1-2 is in use by another program"), std::string::npos);

    bus.device(2).setBusy(false);
    bus.device(2).queueStale({'#', '7', ',', 'U', 'S', ',', '9', ';', 'x', 'y'});
    EXPECT_EQ(open(), 10745u);
}

// A read waiting on an instrument that is unplugged fails at once, not after
// the silence time-out; plugged in again at the same place (a new device
// number) it is the same instrument at the same path; unplugged for good it is
// gone.
TEST_F(UsbLinkTest, UnplugDuringAReadReplugAndUnplugForGood) {
    EmulatedUsbDevice& first = bus.plug(traits("mono", 2, kMonoPair));
    const link::Serial serial = open();
    const std::string firstNode = bus.node(2);
    sim::FaultSettings silent;
    silent.stalled = true;
    first.setFaults(silent);
    connection.WriteCommand(serial, "#7,SC;");
    std::jthread unplug([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        bus.unplug(2);
    });
    const auto start = std::chrono::steady_clock::now();
    link::Bytes bytes;
    EXPECT_THROW(connection.ReadExact(serial, 1024, std::nullopt, bytes),
                 link::DataSourceException);
    EXPECT_LT(std::chrono::steady_clock::now() - start, link::kReplyTimeout);
    unplug.join();

    bus.replug(2);
    EXPECT_NE(bus.node(2), firstNode);
    EXPECT_EQ(open(), serial);
    EXPECT_EQ(connection.Devices().at(serial).pathRecord.path, "usb:1-2");

    bus.unplug(2);
    std::optional<link::Serial> none;
    EXPECT_FALSE(connection.OpenDevice(none));
    EXPECT_TRUE(connection.Devices().empty());
}

// One stall is cleared and the transfer goes on; a second one in a row is a
// failure like any other.
TEST_F(UsbLinkTest, AStallIsClearedOnceAndTwiceInARowFails) {
    EmulatedUsbDevice& device = bus.plug(traits("mono", 2, kMonoPair));
    device.stallNext(EmulatedUsbDevice::kBulkOut);
    const link::Serial serial = open();
    EXPECT_EQ(device.stalls(), 1);
    EXPECT_EQ(device.clearedHalts(), 1);

    device.stallNext(EmulatedUsbDevice::kBulkOut, 2);
    EXPECT_THROW(connection.WriteCommand(serial, "#7,SP,3;"), link::DataSourceException);
    EXPECT_EQ(device.clearedHalts(), 2);
    EXPECT_EQ(open(), serial); // the halt cleared, the instrument answers again
}

} // namespace
} // namespace ombrix::usbtest
