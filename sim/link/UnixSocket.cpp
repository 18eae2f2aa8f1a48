#include "link/UnixSocket.h"

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace ombrix::sim::unix_socket {

namespace {

constexpr int kListenBacklog = 4;

std::optional<sockaddr_un> addressOf(const std::filesystem::path& path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) {
        return std::nullopt;
    }
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return address;
}

const sockaddr* asSockaddr(const sockaddr_un& address) {
    return reinterpret_cast<const sockaddr*>(&address);
}

FileDescriptor newSocket() {
    return FileDescriptor(::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
}

// Someone accepts connections on the socket file.
bool isServed(const sockaddr_un& address) {
    const FileDescriptor probe(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    return probe.valid() && ::connect(probe.get(), asSockaddr(address), sizeof address) == 0;
}

std::string failure(const std::filesystem::path& path, const char* what) {
    return path.string() + ": " + what + ": " + std::strerror(errno);
}

bool transientError() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

} // namespace

std::variant<FileDescriptor, std::string> listenAt(const std::filesystem::path& path) {
    const auto address = addressOf(path);
    if (!address) {
        return path.string() + ": path too long for a Unix-domain socket";
    }
    std::error_code error;
    if (std::filesystem::is_socket(std::filesystem::symlink_status(path, error))) {
        if (isServed(*address)) {
            return path.string() + ": already served by another process";
        }
        std::filesystem::remove(path, error);
    }
    FileDescriptor socket = newSocket();
    if (!socket.valid()) {
        return failure(path, "socket");
    }
    if (::bind(socket.get(), asSockaddr(*address), sizeof *address) != 0) {
        return failure(path, "bind");
    }
    if (::listen(socket.get(), kListenBacklog) != 0) {
        return failure(path, "listen");
    }
    return socket;
}

FileDescriptor acceptNext(const FileDescriptor& listener) {
    return FileDescriptor(
        ::accept4(listener.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC));
}

std::optional<std::size_t> sendSome(const FileDescriptor& socket,
                                    std::span<const std::uint8_t> bytes) {
    const ssize_t sent = ::send(socket.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent >= 0) {
        return static_cast<std::size_t>(sent);
    }
    return transientError() ? std::optional<std::size_t>(0) : std::nullopt;
}

std::optional<std::size_t> receiveSome(const FileDescriptor& socket,
                                       std::span<std::uint8_t> buffer) {
    const ssize_t received = ::recv(socket.get(), buffer.data(), buffer.size(), 0);
    if (received > 0) {
        return static_cast<std::size_t>(received);
    }
    if (received < 0 && transientError()) {
        return 0;
    }
    return std::nullopt; // end of stream or a failure: the host is gone
}

} // namespace ombrix::sim::unix_socket
