#pragma once

#include "catalogue/InstrumentModel.h"
#include "instrument/FaultSettings.h"
#include "instrument/SimulatedInstrument.h"
#include "protocol/CommandParser.h"

#include <QImage>
#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

// umockdev's types, whose header (GLib's) cannot meet Qt's keywords.
using UMockdevIoctlBase = struct _UMockdevIoctlBase;
using UMockdevIoctlClient = struct _UMockdevIoctlClient;
using UMockdevIoctlData = struct _UMockdevIoctlData;

namespace ombrix::usbtest {

// How the emulated device presents its interfaces.
enum class InterfaceLayout {
    BulkPair,       // interface 0: vendor-specific, one bulk IN, one bulk OUT
    BulkPairSecond, // interface 0 has an interrupt endpoint; the bulk pair is interface 1
    NoBulkPair,     // interface 0: vendor-specific with two bulk IN endpoints
};

// What is plugged into one port of the emulated bus.
struct UsbDeviceTraits {
    std::string modelKey = "mono"; // a model of ombrix-sim's catalogue
    std::uint32_t serial = 0;      // 0: the model's own
    std::uint16_t vendor = 0x1a2b;
    std::uint16_t product = 0x0001;
    int port = 2;
    std::string manufacturer = "Velmora";
    std::string productName = "ORMA instrument";
    InterfaceLayout layout = InterfaceLayout::BulkPair;
    // Whether a reply of whole packets is closed by a zero-length packet.
    bool zeroLengthPackets = true;
};

// The kernel's usbdevfs for one emulated device: the URBs the host submits are
// carried to and from ombrix-sim's instrument logic (its command parser, its
// replies, its faults), cut into 512-byte packets as a high-speed bulk
// endpoint would. Runs on umockdev's handler thread; the test's thread changes
// it through the locked operations below.
class EmulatedUsbDevice {
public:
    static constexpr std::size_t kPacketSize = 512;

    explicit EmulatedUsbDevice(const UsbDeviceTraits& traits);
    EmulatedUsbDevice(const EmulatedUsbDevice&) = delete;
    EmulatedUsbDevice& operator=(const EmulatedUsbDevice&) = delete;
    ~EmulatedUsbDevice();

    UMockdevIoctlBase* handler() const { return handler_; }
    // One usbdevfs call of the host, on umockdev's handler thread; false for a
    // call the device does not know.
    bool handle(UMockdevIoctlClient* client);
    const UsbDeviceTraits& traits() const { return traits_; }
    // The endpoints of the interface that carries the protocol.
    static constexpr unsigned char kBulkIn = 0x81;
    static constexpr unsigned char kBulkOut = 0x02;

    // Claiming the interface fails with EBUSY, as when another program holds it.
    void setBusy(bool busy);
    // The next `count` transfers on `endpoint` stall; each time the endpoint
    // stays halted until the host clears it.
    void stallNext(unsigned char endpoint, int count = 1);
    // Bytes the device has queued for the host before anybody asked.
    void queueStale(const std::vector<std::uint8_t>& bytes);
    // The instrument's faults, as ombrix-sim's control commands set them: those
    // of its replies (garbage, silence, not supported, cut short); pacing the
    // link (trickle, byte rate) is the socket port's and has no part here.
    void setFaults(const sim::FaultSettings& faults);
    // Without the measurement clock the screen changes only on key presses.
    void setFrozen(bool frozen);
    // Unplugged: pending URBs end with ESHUTDOWN, every later call with ENODEV.
    void disconnect();
    // A key pressed on the instrument itself.
    void pressKey(std::uint8_t code);
    // The screen the next "#7,SC;" sends.
    QImage snapshot() const;
    // Key codes the instrument received, in order.
    std::vector<std::uint8_t> keysReceived() const;
    // Submitted URBs that ended with a stall, and halts the host cleared.
    int stalls() const;
    int clearedHalts() const;
    // Transfers the host submitted to the device: none for a device it never opened.
    int transfers() const;

private:
    struct Urb;

    void submit(UMockdevIoctlClient* client, UMockdevIoctlData* argument);
    void reap(UMockdevIoctlClient* client, UMockdevIoctlData* argument);
    void discard(UMockdevIoctlClient* client, UMockdevIoctlData* argument);
    void claim(UMockdevIoctlClient* client, UMockdevIoctlData* argument);
    void clearHalt(UMockdevIoctlClient* client, UMockdevIoctlData* argument);
    void received(const std::uint8_t* bytes, std::size_t count);
    void queueReply(const std::vector<std::uint8_t>& reply);
    void fillPendingReads();
    void finish(std::unique_ptr<Urb> urb, int status);
    void tickMeasurement();

    UsbDeviceTraits traits_;
    UMockdevIoctlBase* handler_;
    mutable std::mutex mutex_;
    std::unique_ptr<sim::SimulatedInstrument> instrument_;
    sim::CommandParser parser_;
    sim::FaultSettings faults_;
    std::deque<std::vector<std::uint8_t>> packets_; // device to host
    std::deque<std::unique_ptr<Urb>> pendingReads_;
    std::deque<std::unique_ptr<Urb>> completed_;
    std::map<unsigned char, int> stallNext_;
    std::set<unsigned char> halted_;
    std::vector<std::uint8_t> keys_;
    bool busy_ = false;
    bool gone_ = false;
    bool frozen_ = false;
    int stalls_ = 0;
    int clearedHalts_ = 0;
    int transfers_ = 0;
    std::chrono::steady_clock::time_point lastTick_;
};

// The descriptors the system reads from the device (device, configuration,
// interfaces, endpoints), as sysfs shows them: hexadecimal.
std::string DescriptorsHex(const UsbDeviceTraits& traits);

} // namespace ombrix::usbtest
