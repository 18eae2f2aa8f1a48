#include "instrument/Simulator.h"

#include "catalogue/ModelCatalogue.h"

#include <QImage>
#include <QString>
#include <chrono>
#include <sstream>

namespace ombrix::sim {

namespace {

constexpr std::chrono::milliseconds kMeasurementInterval{500};

std::string faultSummary(const FaultSettings& faults) {
    std::ostringstream out;
    if (faults.garbageIdentification) {
        out << " garbage";
    }
    if (faults.stalled) {
        out << " stall";
    }
    for (const CommandKind kind : faults.unsupported) {
        out << " unsupported:" << commandName(kind);
    }
    for (const auto& [kind, bytes] : faults.cutAfter) {
        out << " cut:" << commandName(kind) << ':' << bytes;
    }
    if (faults.trickleGap.count() > 0) {
        out << " trickle:" << faults.trickleGap.count() << "ms";
    }
    if (faults.byteRate > 0) {
        out << " rate:" << faults.byteRate;
    }
    const std::string text = out.str();
    return text.empty() ? " none" : text;
}

} // namespace

Simulator::Simulator(std::filesystem::path deviceDirectory, Recorder& recorder)
    : deviceDirectory_(std::move(deviceDirectory)), recorder_(recorder) {
    measurementClock_.setInterval(kMeasurementInterval);
    QObject::connect(&measurementClock_, &QTimer::timeout, &measurementClock_, [this] {
        for (const auto& port : ports_) {
            port->tick();
        }
    });
}

void Simulator::start() {
    measurementClock_.start();
}

std::optional<std::string> Simulator::addInstrument(const InstrumentModel& model,
                                                    std::optional<std::uint32_t> serial) {
    const std::uint32_t chosen = serial ? *serial : freeSerial(model.identification.serial);
    if (serialInUse(chosen, nullptr)) {
        return "serial " + std::to_string(chosen) + " is already in use";
    }
    const int number = static_cast<int>(ports_.size()) + 1;
    const auto path = deviceDirectory_ / ("port" + std::to_string(number) + ".sock");
    auto port = std::make_unique<InstrumentPort>(
        number, path, std::make_unique<SimulatedInstrument>(model, chosen), recorder_);
    if (auto error = port->plug()) {
        return error;
    }
    ports_.push_back(std::move(port));
    return std::nullopt;
}

std::uint32_t Simulator::freeSerial(std::uint32_t wanted) const {
    while (serialInUse(wanted, nullptr)) {
        ++wanted;
    }
    return wanted;
}

bool Simulator::serialInUse(std::uint32_t serial, const InstrumentPort* except) const {
    return std::any_of(ports_.begin(), ports_.end(), [&](const auto& port) {
        return port.get() != except && port->instrument().serial() == serial;
    });
}

ControlResult Simulator::execute(const ControlCommand& command) {
    switch (command.verb) {
    case ControlVerb::Help: {
        ControlResult result;
        std::istringstream help{std::string(controlHelp())};
        for (std::string line; std::getline(help, line);) {
            result.lines.push_back(line);
        }
        return result;
    }
    case ControlVerb::List:
        return ControlResult{describePorts(), std::nullopt, false};
    case ControlVerb::Quit:
        return ControlResult{{}, std::nullopt, true};
    default:
        return executeOnPorts(command);
    }
}

ControlResult Simulator::executeOnPorts(const ControlCommand& command) {
    ControlResult result;
    if (command.port && (*command.port < 1 || *command.port > static_cast<int>(ports_.size()))) {
        result.error = "no port " + std::to_string(*command.port) + " (ports 1 to " +
                       std::to_string(ports_.size()) + ")";
        return result;
    }
    for (const auto& port : ports_) {
        if (!command.port || *command.port == port->number()) {
            if (auto error = executeOnPort(command, *port)) {
                result.error = std::move(error);
                return result;
            }
        }
    }
    return result;
}

std::optional<std::string> Simulator::executeOnPort(const ControlCommand& command,
                                                    InstrumentPort& port) {
    switch (command.verb) {
    case ControlVerb::Unplug:
        port.unplug();
        return std::nullopt;
    case ControlVerb::Replug:
        return port.plug();
    case ControlVerb::Swap:
        return swap(command, port);
    case ControlVerb::Key:
        port.instrument().answer({CommandKind::Key, static_cast<std::uint8_t>(command.amount)},
                                 port.faults());
        return std::nullopt;
    case ControlVerb::Freeze:
        port.setFrozen(command.enable);
        return std::nullopt;
    case ControlVerb::Snapshot:
        return snapshot(command, port);
    default:
        return applyFault(command, port);
    }
}

std::optional<std::string> Simulator::snapshot(const ControlCommand& command,
                                               const InstrumentPort& port) {
    if (!port.instrument().snapshot().save(QString::fromStdString(command.file), "PNG")) {
        return "cannot write the snapshot to \"" + command.file + "\"";
    }
    return std::nullopt;
}

std::optional<std::string> Simulator::swap(const ControlCommand& command, InstrumentPort& port) {
    const InstrumentModel* model = findModel(command.model);
    if (model == nullptr) {
        return "unknown model \"" + command.model + "\" (see --help)";
    }
    const std::uint32_t serial = command.serial.value_or(port.instrument().serial());
    if (serialInUse(serial, &port)) {
        return "serial " + std::to_string(serial) + " is already in use";
    }
    port.replaceInstrument(std::make_unique<SimulatedInstrument>(*model, serial));
    return std::nullopt;
}

std::optional<std::string> Simulator::applyFault(const ControlCommand& command,
                                                 InstrumentPort& port) {
    FaultSettings& faults = port.faults();
    switch (command.verb) {
    case ControlVerb::Garbage:
        faults.garbageIdentification = command.enable;
        break;
    case ControlVerb::Stall:
        faults.stalled = command.enable;
        break;
    case ControlVerb::Unsupported:
        if (command.enable) {
            faults.unsupported.insert(*command.request);
        } else {
            faults.unsupported.erase(*command.request);
        }
        break;
    case ControlVerb::Cut:
        if (command.enable) {
            faults.cutAfter[*command.request] = command.amount;
        } else {
            faults.cutAfter.erase(*command.request);
        }
        break;
    case ControlVerb::Trickle:
        faults.trickleGap = std::chrono::milliseconds(command.amount);
        break;
    case ControlVerb::Rate:
        faults.byteRate = command.amount;
        break;
    case ControlVerb::Clear:
        faults = FaultSettings{};
        break;
    default:
        break;
    }
    port.applyLinkFaults();
    return std::nullopt;
}

std::vector<std::string> Simulator::describePorts() const {
    std::vector<std::string> lines;
    for (const auto& port : ports_) {
        lines.push_back(describe(*port));
    }
    return lines;
}

std::string Simulator::describe(const InstrumentPort& port) const {
    const SimulatedInstrument& instrument = port.instrument();
    std::ostringstream out;
    out << "port " << port.number() << " model " << instrument.model().key << " serial "
        << instrument.serial() << (port.plugged() ? " plugged" : " unplugged")
        << (port.hostConnected() ? " host" : " idle") << (port.frozen() ? " frozen" : "")
        << " faults" << faultSummary(port.faults()) << " socket " << port.socketPath().string();
    return out.str();
}

} // namespace ombrix::sim
