#include "SocketPeer.h"

#include <cstring>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ombrix::testing {

namespace {

constexpr int kPollMs = 5;

bool waitReadable(int fd, const std::stop_token& stop) {
    while (!stop.stop_requested()) {
        pollfd request{fd, POLLIN, 0};
        if (::poll(&request, 1, kPollMs) > 0) {
            return true;
        }
    }
    return false;
}

} // namespace

SocketPeer::SocketPeer(std::filesystem::path socketPath) : path_(std::move(socketPath)) {
    listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path_.string();
    if (listener_ < 0 || text.size() >= sizeof address.sun_path) {
        throw std::runtime_error("cannot create test socket " + text);
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    if (::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 4) != 0) {
        ::close(listener_);
        throw std::runtime_error("cannot listen on test socket " + text);
    }
    thread_ = std::jthread([this](std::stop_token stop) { serve(stop); });
}

SocketPeer::~SocketPeer() {
    unplug();
}

void SocketPeer::answer(const std::string& command, const std::string& reply) {
    std::lock_guard lock(mutex_);
    answers_[command] = reply;
}

std::string SocketPeer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void SocketPeer::unplug() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
    if (listener_ >= 0) {
        ::close(listener_); // also resets connections not yet accepted
        listener_ = -1;
    }
}

void SocketPeer::serve(std::stop_token stop) {
    while (waitReadable(listener_, stop)) {
        const int fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) {
            serveConnection(fd, stop);
            ::close(fd);
        }
    }
}

void SocketPeer::serveConnection(int fd, std::stop_token stop) {
    std::string pending;
    while (waitReadable(fd, stop)) {
        char buffer[512];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        pending.append(buffer, static_cast<std::size_t>(n));
        {
            std::lock_guard lock(mutex_);
            received_.append(buffer, static_cast<std::size_t>(n));
        }
        respond(fd, pending);
    }
}

void SocketPeer::respond(int fd, std::string& pending) {
    std::string reply;
    {
        std::lock_guard lock(mutex_);
        for (const auto& [command, text] : answers_) {
            if (pending.ends_with(command)) {
                reply = text;
                pending.clear();
                break;
            }
        }
    }
    if (!reply.empty()) {
        ::send(fd, reply.data(), reply.size(), MSG_NOSIGNAL);
    }
}

} // namespace ombrix::testing
