#include "EmulatedUsbDevice.h"

#include "catalogue/ModelCatalogue.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <stdexcept>
#include <umockdev.h>

namespace ombrix::usbtest {

namespace {

constexpr auto kMeasurementPeriod = std::chrono::milliseconds(500);
constexpr std::uint32_t kCapabilities = USBDEVFS_CAP_ZERO_PACKET | USBDEVFS_CAP_BULK_CONTINUATION |
                                        USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                        USBDEVFS_CAP_REAP_AFTER_DISCONNECT;

// An argument's memory, resolved in the client and released here.
struct Resolved {
    UMockdevIoctlData* data = nullptr;
    explicit Resolved(UMockdevIoctlData* resolved) : data(resolved) {}
    Resolved(const Resolved&) = delete;
    Resolved& operator=(const Resolved&) = delete;
    ~Resolved() {
        if (data != nullptr) {
            umockdev_ioctl_data_unref(data);
        }
    }
};

std::uint32_t argumentValue(UMockdevIoctlData* argument) {
    const Resolved value(umockdev_ioctl_data_resolve(argument, 0, sizeof(std::uint32_t), nullptr));
    std::uint32_t number = 0;
    if (value.data != nullptr) {
        std::memcpy(&number, value.data->data, sizeof number);
    }
    return number;
}

void completeWith(UMockdevIoctlClient* client, int error) {
    umockdev_ioctl_client_complete(client, error == 0 ? 0 : -1, error);
}

std::string hex(std::initializer_list<int> bytes) {
    std::string text;
    for (const int byte : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", byte & 0xFF);
        text += pair;
    }
    return text;
}

std::string endpoint(int address, int attributes, int maxPacket) {
    return hex({7, 5, address, attributes, maxPacket & 0xFF, maxPacket >> 8, 0});
}

std::string interface(int number, int endpoints) {
    return hex({9, 4, number, 0, endpoints, 0xFF, 0, 0, 0});
}

gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer device) {
    return static_cast<EmulatedUsbDevice*>(device)->handle(client) ? TRUE : FALSE;
}

} // namespace

struct EmulatedUsbDevice::Urb {
    UMockdevIoctlData* data = nullptr;   // the usbdevfs_urb, referenced
    UMockdevIoctlData* buffer = nullptr; // its buffer, referenced
    unsigned char endpoint = 0;
    std::size_t length = 0;
    std::size_t actual = 0;
    int status = 0;

    ~Urb() {
        umockdev_ioctl_data_unref(buffer);
        umockdev_ioctl_data_unref(data);
    }
    bool in() const { return (endpoint & 0x80) != 0; }
};

std::string DescriptorsHex(const UsbDeviceTraits& traits) {
    constexpr int kBulk = 2;
    constexpr int kInterrupt = 3;
    std::string interfaces;
    int count = 1;
    switch (traits.layout) {
    case InterfaceLayout::BulkPair:
        interfaces = interface(0, 2) + endpoint(0x81, kBulk, 512) + endpoint(0x02, kBulk, 512);
        break;
    case InterfaceLayout::BulkPairSecond:
        interfaces = interface(0, 1) + endpoint(0x83, kInterrupt, 16) + interface(1, 2) +
                     endpoint(0x81, kBulk, 512) + endpoint(0x02, kBulk, 512);
        count = 2;
        break;
    case InterfaceLayout::NoBulkPair:
        interfaces = interface(0, 2) + endpoint(0x81, kBulk, 512) + endpoint(0x83, kBulk, 512);
        break;
    }
    const int total = 9 + static_cast<int>(interfaces.size() / 2);
    const std::string device =
        hex({18, 1, 0x00, 0x02, 0, 0, 0, 64, traits.vendor & 0xFF, traits.vendor >> 8,
             traits.product & 0xFF, traits.product >> 8, 0x00, 0x01, 1, 2, 3, 1});
    const std::string configuration = hex({9, 2, total & 0xFF, total >> 8, count, 1, 0, 0x80, 50});
    return device + configuration + interfaces;
}

EmulatedUsbDevice::EmulatedUsbDevice(const UsbDeviceTraits& traits)
    : traits_(traits), handler_(umockdev_ioctl_base_new()),
      lastTick_(std::chrono::steady_clock::now()) {
    const sim::InstrumentModel* model = sim::findModel(traits.modelKey);
    if (model == nullptr) {
        throw std::invalid_argument("no simulated model " + traits.modelKey);
    }
    instrument_ = std::make_unique<sim::SimulatedInstrument>(
        *model, traits.serial != 0 ? traits.serial : model->identification.serial);
    g_signal_connect(handler_, "handle-ioctl", G_CALLBACK(&onIoctl), this);
}

EmulatedUsbDevice::~EmulatedUsbDevice() {
    g_signal_handlers_disconnect_by_data(handler_, this);
    g_object_unref(handler_);
}

bool EmulatedUsbDevice::handle(UMockdevIoctlClient* client) {
    const std::lock_guard lock(mutex_);
    UMockdevIoctlData* argument = umockdev_ioctl_client_get_arg(client);
    const gulong request = umockdev_ioctl_client_get_request(client);
    if (gone_ && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_REAPURB) {
        completeWith(client, ENODEV);
        return true;
    }
    tickMeasurement();
    switch (request) {
    case USBDEVFS_GET_CAPABILITIES: {
        const Resolved value(
            umockdev_ioctl_data_resolve(argument, 0, sizeof kCapabilities, nullptr));
        std::memcpy(value.data->data, &kCapabilities, sizeof kCapabilities);
        completeWith(client, 0);
        return true;
    }
    case USBDEVFS_GETDRIVER:
    case USBDEVFS_IOCTL:
        completeWith(client, ENODATA); // no kernel driver to detach
        return true;
    case USBDEVFS_CLAIMINTERFACE:
        claim(client, argument);
        return true;
    case USBDEVFS_RELEASEINTERFACE:
        completeWith(client, 0);
        return true;
    case USBDEVFS_CLEAR_HALT:
        clearHalt(client, argument);
        return true;
    case USBDEVFS_SUBMITURB:
        submit(client, argument);
        return true;
    case USBDEVFS_REAPURB:
    case USBDEVFS_REAPURBNDELAY:
        reap(client, argument);
        return true;
    case USBDEVFS_DISCARDURB:
        discard(client, argument);
        return true;
    default:
        return false; // umockdev answers ENOTTY, as a kernel without the call would
    }
}

// A new host: the instrument has not sent it a screen yet.
void EmulatedUsbDevice::claim(UMockdevIoctlClient* client, UMockdevIoctlData* argument) {
    argumentValue(argument);
    if (busy_) {
        completeWith(client, EBUSY);
        return;
    }
    parser_ = sim::CommandParser();
    instrument_->onConnected();
    halted_.clear();
    completeWith(client, 0);
}

void EmulatedUsbDevice::clearHalt(UMockdevIoctlClient* client, UMockdevIoctlData* argument) {
    const auto endpoint = static_cast<unsigned char>(argumentValue(argument));
    if (halted_.erase(endpoint) > 0) {
        ++clearedHalts_;
    }
    completeWith(client, 0);
}

void EmulatedUsbDevice::submit(UMockdevIoctlClient* client, UMockdevIoctlData* argument) {
    auto urb = std::make_unique<Urb>();
    urb->data = umockdev_ioctl_data_resolve(argument, 0, sizeof(usbdevfs_urb), nullptr);
    auto* request = reinterpret_cast<usbdevfs_urb*>(urb->data->data);
    urb->endpoint = request->endpoint;
    urb->length = static_cast<std::size_t>(std::max(request->buffer_length, 0));
    urb->buffer = umockdev_ioctl_data_resolve(urb->data, offsetof(usbdevfs_urb, buffer),
                                              std::max<std::size_t>(urb->length, 1), nullptr);
    completeWith(client, 0);
    ++transfers_;
    if (int& stalls = stallNext_[urb->endpoint]; stalls > 0) {
        --stalls;
        halted_.insert(urb->endpoint);
        ++stalls_;
    }
    if (halted_.contains(urb->endpoint)) {
        finish(std::move(urb), -EPIPE);
        return;
    }
    if (urb->in()) {
        pendingReads_.push_back(std::move(urb));
        fillPendingReads();
        return;
    }
    received(static_cast<const std::uint8_t*>(request->buffer), urb->length);
    urb->actual = urb->length;
    finish(std::move(urb), 0);
    fillPendingReads();
}

void EmulatedUsbDevice::received(const std::uint8_t* bytes, std::size_t count) {
    for (const sim::Command& command : parser_.feed({bytes, count})) {
        if (command.kind == sim::CommandKind::Key && !faults_.stalled) {
            keys_.push_back(command.keyCode);
        }
        if (const auto reply = instrument_->answer(command, faults_)) {
            queueReply(*reply);
        }
    }
}

// A reply goes out in full packets and a short last one; one of whole packets
// ends with a zero-length packet only where the device sends one.
void EmulatedUsbDevice::queueReply(const std::vector<std::uint8_t>& reply) {
    for (std::size_t offset = 0; offset < reply.size(); offset += kPacketSize) {
        const std::size_t size = std::min(kPacketSize, reply.size() - offset);
        packets_.emplace_back(reply.begin() + static_cast<std::ptrdiff_t>(offset),
                              reply.begin() + static_cast<std::ptrdiff_t>(offset + size));
    }
    if (traits_.zeroLengthPackets && reply.size() % kPacketSize == 0) {
        packets_.emplace_back();
    }
}

// A read ends with a short packet or a full buffer, as a bulk IN transfer does;
// without either it waits for more, or for the host to give up.
void EmulatedUsbDevice::fillPendingReads() {
    while (!pendingReads_.empty() && !packets_.empty()) {
        Urb& urb = *pendingReads_.front();
        std::vector<std::uint8_t>& packet = packets_.front();
        const std::size_t size = std::min(packet.size(), urb.length - urb.actual);
        if (size > 0) {
            std::memcpy(static_cast<std::uint8_t*>(urb.buffer->data) + urb.actual, packet.data(),
                        size);
        }
        urb.actual += size;
        const bool shortPacket = packet.size() < kPacketSize;
        packet.erase(packet.begin(), packet.begin() + static_cast<std::ptrdiff_t>(size));
        if (packet.empty()) {
            packets_.pop_front();
        }
        if (shortPacket || urb.actual == urb.length) {
            std::unique_ptr<Urb> done = std::move(pendingReads_.front());
            pendingReads_.pop_front();
            finish(std::move(done), 0);
        }
    }
}

void EmulatedUsbDevice::finish(std::unique_ptr<Urb> urb, int status) {
    urb->status = status;
    completed_.push_back(std::move(urb));
}

// The URB's status and length, and what it read, reach the host with the
// pointer to it.
void EmulatedUsbDevice::reap(UMockdevIoctlClient* client, UMockdevIoctlData* argument) {
    if (completed_.empty()) {
        completeWith(client, gone_ ? ENODEV : EAGAIN);
        return;
    }
    const std::unique_ptr<Urb> urb = std::move(completed_.front());
    completed_.pop_front();
    int status = urb->status;
    int actual = static_cast<int>(urb->actual);
    umockdev_ioctl_data_update(urb->data, offsetof(usbdevfs_urb, status),
                               reinterpret_cast<guint8*>(&status), sizeof status);
    umockdev_ioctl_data_update(urb->data, offsetof(usbdevfs_urb, actual_length),
                               reinterpret_cast<guint8*>(&actual), sizeof actual);
    const Resolved pointer(umockdev_ioctl_data_resolve(argument, 0, sizeof(gpointer), nullptr));
    umockdev_ioctl_data_set_ptr(pointer.data, 0, urb->data);
    completeWith(client, 0);
}

// The host gave up on a read (its time-out): it ends with what came so far.
void EmulatedUsbDevice::discard(UMockdevIoctlClient* client, UMockdevIoctlData* argument) {
    gulong address = 0;
    std::memcpy(&address, argument->data, sizeof address);
    const auto found =
        std::find_if(pendingReads_.begin(), pendingReads_.end(),
                     [&](const auto& urb) { return urb->data->client_addr == address; });
    if (found == pendingReads_.end()) {
        completeWith(client, EINVAL);
        return;
    }
    std::unique_ptr<Urb> urb = std::move(*found);
    pendingReads_.erase(found);
    finish(std::move(urb), -ENOENT);
    completeWith(client, 0);
}

void EmulatedUsbDevice::tickMeasurement() {
    const auto now = std::chrono::steady_clock::now();
    while (now - lastTick_ >= kMeasurementPeriod) {
        lastTick_ += kMeasurementPeriod;
        if (!frozen_) {
            instrument_->tick();
        }
    }
}

void EmulatedUsbDevice::setBusy(bool busy) {
    const std::lock_guard lock(mutex_);
    busy_ = busy;
}

void EmulatedUsbDevice::stallNext(unsigned char endpoint, int count) {
    const std::lock_guard lock(mutex_);
    stallNext_[endpoint] = count;
}

void EmulatedUsbDevice::pressKey(std::uint8_t code) {
    const std::lock_guard lock(mutex_);
    instrument_->answer({sim::CommandKind::Key, code}, faults_);
}

int EmulatedUsbDevice::transfers() const {
    const std::lock_guard lock(mutex_);
    return transfers_;
}

void EmulatedUsbDevice::queueStale(const std::vector<std::uint8_t>& bytes) {
    const std::lock_guard lock(mutex_);
    queueReply(bytes);
}

void EmulatedUsbDevice::setFaults(const sim::FaultSettings& faults) {
    const std::lock_guard lock(mutex_);
    faults_ = faults;
}

void EmulatedUsbDevice::setFrozen(bool frozen) {
    const std::lock_guard lock(mutex_);
    frozen_ = frozen;
}

void EmulatedUsbDevice::disconnect() {
    const std::lock_guard lock(mutex_);
    gone_ = true;
    while (!pendingReads_.empty()) {
        finish(std::move(pendingReads_.front()), -ESHUTDOWN);
        pendingReads_.pop_front();
    }
}

QImage EmulatedUsbDevice::snapshot() const {
    const std::lock_guard lock(mutex_);
    return instrument_->snapshot();
}

std::vector<std::uint8_t> EmulatedUsbDevice::keysReceived() const {
    const std::lock_guard lock(mutex_);
    return keys_;
}

int EmulatedUsbDevice::stalls() const {
    const std::lock_guard lock(mutex_);
    return stalls_;
}

int EmulatedUsbDevice::clearedHalts() const {
    const std::lock_guard lock(mutex_);
    return clearedHalts_;
}

} // namespace ombrix::usbtest
