#include "link/ClientConnection.h"

#include "link/UnixSocket.h"

#include <array>

namespace ombrix::sim {

namespace {

constexpr std::size_t kReadChunk = 4096;

} // namespace

ClientConnection::ClientConnection(FileDescriptor socket, Received onReceived,
                                   std::function<void()> onGone)
    : socket_(std::move(socket)), onReceived_(std::move(onReceived)), onGone_(std::move(onGone)),
      readable_(static_cast<qintptr>(socket_.get()), QSocketNotifier::Read),
      pacer_(socket_, [this] { lost(); }) {
    QObject::connect(&readable_, &QSocketNotifier::activated, &readable_,
                     [this] { readAvailable(); });
}

bool ClientConnection::readAvailable() {
    std::array<std::uint8_t, kReadChunk> buffer{};
    const auto received = unix_socket::receiveSome(socket_, buffer);
    if (!received) {
        lost();
        return false;
    }
    if (*received > 0) {
        onReceived_(std::span<const std::uint8_t>(buffer.data(), *received));
    }
    return *received > 0;
}

void ClientConnection::readPending() {
    while (open() && readAvailable()) {
    }
}

void ClientConnection::lost() {
    if (!open()) {
        return;
    }
    close();
    onGone_();
}

void ClientConnection::close() {
    readable_.setEnabled(false);
    pacer_.shutDown();
    socket_.reset();
}

} // namespace ombrix::sim
