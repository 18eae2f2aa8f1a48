#include "instrument/InstrumentPort.h"

#include "link/UnixSocket.h"

#include <variant>

namespace ombrix::sim {

InstrumentPort::InstrumentPort(int number, std::filesystem::path socketPath,
                               std::unique_ptr<SimulatedInstrument> instrument, Recorder& recorder)
    : number_(number), socketPath_(std::move(socketPath)), instrument_(std::move(instrument)),
      recorder_(recorder) {
    reaper_.setSingleShot(true);
    reaper_.setInterval(0);
    QObject::connect(&reaper_, &QTimer::timeout, &reaper_, [this] { closed_.clear(); });
}

InstrumentPort::~InstrumentPort() {
    unplug();
}

std::optional<std::string> InstrumentPort::plug() {
    if (plugged()) {
        return std::nullopt;
    }
    auto result = unix_socket::listenAt(socketPath_);
    if (auto* error = std::get_if<std::string>(&result)) {
        return *error;
    }
    listener_ = std::move(std::get<FileDescriptor>(result));
    acceptNotifier_ = std::make_unique<QSocketNotifier>(static_cast<qintptr>(listener_.get()),
                                                        QSocketNotifier::Read);
    QObject::connect(acceptNotifier_.get(), &QSocketNotifier::activated, acceptNotifier_.get(),
                     [this] { acceptHosts(); });
    recorder_.record(number_, "plug");
    return std::nullopt;
}

void InstrumentPort::unplug() {
    if (!plugged()) {
        return;
    }
    dropHost("disconnect");
    acceptNotifier_.reset();
    listener_.reset();
    std::error_code ignored;
    std::filesystem::remove(socketPath_, ignored);
    recorder_.record(number_, "unplug");
}

void InstrumentPort::replaceInstrument(std::unique_ptr<SimulatedInstrument> instrument) {
    dropHost("disconnect");
    instrument_ = std::move(instrument);
}

void InstrumentPort::applyLinkFaults() {
    if (client_) {
        client_->pacer().setTrickleGap(faults_.trickleGap);
        client_->pacer().setByteRate(faults_.byteRate);
    }
}

void InstrumentPort::tick() {
    if (frozen_) {
        return;
    }
    instrument_->tick();
}

void InstrumentPort::acceptHosts() {
    while (true) {
        FileDescriptor socket = unix_socket::acceptNext(listener_);
        if (!socket.valid()) {
            return;
        }
        if (client_) {
            // A host that closed and at once reconnected is not turned away by
            // its own old connection.
            client_->readPending();
        }
        if (client_) {
            recorder_.record(number_, "refuse");
            continue; // closing the descriptor turns the second host away
        }
        client_ = std::make_unique<ClientConnection>(
            std::move(socket), [this](std::span<const std::uint8_t> bytes) { received(bytes); },
            [this] { dropHost("disconnect"); });
        parser_ = CommandParser();
        applyLinkFaults();
        instrument_->onConnected();
        recorder_.record(number_, "connect");
    }
}

void InstrumentPort::received(std::span<const std::uint8_t> bytes) {
    recorder_.record(number_, "rx", bytes);
    for (const Command& command : parser_.feed(bytes)) {
        const auto reply = instrument_->answer(command, faults_);
        if (reply && client_) {
            client_->pacer().send(*reply);
        }
    }
}

void InstrumentPort::dropHost(std::string_view event) {
    if (!client_) {
        return;
    }
    client_->close();
    closed_.push_back(std::move(client_));
    reaper_.start();
    recorder_.record(number_, event);
}

} // namespace ombrix::sim
