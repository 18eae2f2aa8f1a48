#pragma once

#include "instrument/FaultSettings.h"
#include "instrument/Recorder.h"
#include "instrument/SimulatedInstrument.h"
#include "link/ClientConnection.h"
#include "link/FileDescriptor.h"
#include "protocol/CommandParser.h"

#include <QSocketNotifier>
#include <QTimer>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::sim {

// One socket file in the device directory: the "USB port" an instrument is
// plugged into. Serves one host at a time; a second host is accepted and closed
// at once. Unplugging removes the socket file and drops the host. Faults belong
// to the port and stay when another instrument is plugged in.
class InstrumentPort {
public:
    InstrumentPort(int number, std::filesystem::path socketPath,
                   std::unique_ptr<SimulatedInstrument> instrument, Recorder& recorder);
    InstrumentPort(const InstrumentPort&) = delete;
    InstrumentPort& operator=(const InstrumentPort&) = delete;
    ~InstrumentPort();

    // Creates the socket file; the error text when that failed.
    std::optional<std::string> plug();
    void unplug();
    // Puts another instrument in place of the current one, as unplugging one and
    // plugging in the other would: the host is dropped.
    void replaceInstrument(std::unique_ptr<SimulatedInstrument> instrument);

    // Applies changed trickle and byte-rate settings to the current host.
    void applyLinkFaults();
    // One step of the measurement clock; nothing while frozen.
    void tick();
    // Frozen, the screen changes only on key presses, so reads repeat exactly.
    void setFrozen(bool frozen) { frozen_ = frozen; }
    bool frozen() const { return frozen_; }

    int number() const { return number_; }
    const std::filesystem::path& socketPath() const { return socketPath_; }
    bool plugged() const { return listener_.valid(); }
    bool hostConnected() const { return client_ != nullptr; }
    SimulatedInstrument& instrument() { return *instrument_; }
    const SimulatedInstrument& instrument() const { return *instrument_; }
    FaultSettings& faults() { return faults_; }
    const FaultSettings& faults() const { return faults_; }

private:
    void acceptHosts();
    void received(std::span<const std::uint8_t> bytes);
    void dropHost(std::string_view event);

    int number_;
    std::filesystem::path socketPath_;
    std::unique_ptr<SimulatedInstrument> instrument_;
    Recorder& recorder_;
    FaultSettings faults_;
    bool frozen_ = false;
    FileDescriptor listener_;
    std::unique_ptr<QSocketNotifier> acceptNotifier_;
    std::unique_ptr<ClientConnection> client_;
    // Closed connections wait here until control is back in the event loop,
    // since a connection is often closed from inside its own notification.
    std::vector<std::unique_ptr<ClientConnection>> closed_;
    QTimer reaper_;
    CommandParser parser_;
};

} // namespace ombrix::sim
