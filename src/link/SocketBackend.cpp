#include "link/SocketBackend.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <system_error>
#include <unistd.h>

namespace ombrix::link {

namespace {

constexpr int kFirstByteWaitMs = 10;

class SocketChannel final : public DeviceChannel {
public:
    explicit SocketChannel(int fd) : fd_(fd) {}
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;
    ~SocketChannel() override { ::close(fd_); }

    std::optional<std::size_t> write(std::span<const std::uint8_t> bytes) override {
        std::size_t sent = 0;
        while (sent < bytes.size()) {
            const ssize_t n = ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return sent == 0 ? std::nullopt : std::optional<std::size_t>(sent);
            }
            sent += static_cast<std::size_t>(n);
        }
        return sent;
    }

    std::optional<std::size_t> read(std::span<std::uint8_t> buffer) override {
        pollfd request{fd_, POLLIN, 0};
        int ready = 0;
        do {
            ready = ::poll(&request, 1, kFirstByteWaitMs);
        } while (ready < 0 && errno == EINTR);
        if (ready < 0) {
            return std::nullopt;
        }
        if (ready == 0) {
            return 0;
        }
        return receive(buffer);
    }

    void discardPending(std::size_t maxBytes) override {
        std::uint8_t scratch[kReadBlockSize];
        std::size_t dropped = 0;
        while (dropped < maxBytes) {
            const auto n = receive(scratch);
            if (!n || *n == 0) {
                return;
            }
            dropped += *n;
        }
    }

    bool setTransferTimeout(std::int32_t value) override {
        // The value is the driver's: microseconds. It bounds a blocked write; reads
        // never wait longer than the first-byte wait anyway.
        timeval limit{};
        limit.tv_sec = value / 1'000'000;
        limit.tv_usec = value % 1'000'000;
        return ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit) == 0;
    }

private:
    // What has arrived, without waiting; end of stream (the instrument dropped the
    // connection) is a failure.
    std::optional<std::size_t> receive(std::span<std::uint8_t> buffer) {
        while (true) {
            const ssize_t n = ::recv(fd_, buffer.data(), buffer.size(), MSG_DONTWAIT);
            if (n > 0) {
                return static_cast<std::size_t>(n);
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return 0;
            }
            return std::nullopt;
        }
    }

    int fd_;
};

bool isSocketFile(const std::filesystem::path& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// A socket file nobody serves any more is an instrument that went away.
OpenFailure connectFailure(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return OpenFailure::PermissionDenied;
    case ENOENT:
    case ECONNREFUSED:
        return OpenFailure::Vanished;
    default:
        return OpenFailure::Failed;
    }
}

} // namespace

SocketBackend::SocketBackend(std::filesystem::path directory)
    : directory_(std::filesystem::absolute(directory)) {}

std::optional<std::vector<std::string>> SocketBackend::listDevicePaths() {
    std::error_code error;
    if (!std::filesystem::exists(directory_, error)) {
        return std::vector<std::string>{}; // no directory: no instrument
    }
    std::vector<std::string> names;
    for (std::filesystem::directory_iterator it(directory_, error), end; !error && it != end;
         it.increment(error)) {
        const auto& path = it->path();
        if (path.extension() == ".sock" && isSocketFile(path)) {
            names.push_back(path.filename().string());
        }
    }
    if (error) {
        return std::nullopt;
    }
    std::sort(names.begin(), names.end()); // bytewise: std::string compares chars as unsigned
    std::vector<std::string> paths;
    for (const auto& name : names) {
        paths.push_back(std::string(kSocketPathPrefix) + (directory_ / name).string());
    }
    return paths;
}

std::unique_ptr<DeviceChannel> SocketBackend::open(const std::string& path, OpenFailure& failure) {
    failure = OpenFailure::Vanished;
    if (!path.starts_with(kSocketPathPrefix)) {
        return nullptr;
    }
    const std::string socketPath = path.substr(kSocketPathPrefix.size());
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path) {
        failure = OpenFailure::Failed;
        return nullptr;
    }
    std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        failure = OpenFailure::Failed;
        return nullptr;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        failure = connectFailure(errno);
        ::close(fd);
        return nullptr;
    }
    failure = OpenFailure::None;
    return std::make_unique<SocketChannel>(fd);
}

} // namespace ombrix::link
