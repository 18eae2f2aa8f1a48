#pragma once

#include "catalogue/InstrumentModel.h"
#include "control/ControlCommand.h"
#include "instrument/InstrumentPort.h"
#include "instrument/Recorder.h"

#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ombrix::sim {

// What a control command printed and whether it succeeded.
struct ControlResult {
    std::vector<std::string> lines;
    std::optional<std::string> error;
    bool quit = false;
};

// All simulated instruments of one run: one port per instrument in the device
// directory, the half-second measurement clock, and the control commands.
class Simulator {
public:
    Simulator(std::filesystem::path deviceDirectory, Recorder& recorder);
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Adds a port numbered after the existing ones and plugs the instrument in.
    // Without a serial the model's own is used, or the next free one after it.
    std::optional<std::string> addInstrument(const InstrumentModel& model,
                                             std::optional<std::uint32_t> serial);

    ControlResult execute(const ControlCommand& command);

    // Starts the measurement clock (every 500 ms).
    void start();

    std::vector<std::string> describePorts() const;

private:
    ControlResult executeOnPorts(const ControlCommand& command);
    std::optional<std::string> executeOnPort(const ControlCommand& command, InstrumentPort& port);
    std::optional<std::string> swap(const ControlCommand& command, InstrumentPort& port);
    static std::optional<std::string> snapshot(const ControlCommand& command,
                                               const InstrumentPort& port);
    std::optional<std::string> applyFault(const ControlCommand& command, InstrumentPort& port);
    std::uint32_t freeSerial(std::uint32_t wanted) const;
    bool serialInUse(std::uint32_t serial, const InstrumentPort* except) const;
    std::string describe(const InstrumentPort& port) const;

    std::filesystem::path deviceDirectory_;
    Recorder& recorder_;
    std::vector<std::unique_ptr<InstrumentPort>> ports_;
    QTimer measurementClock_;
};

} // namespace ombrix::sim
