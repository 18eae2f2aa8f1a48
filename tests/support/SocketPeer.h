#pragma once

#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace ombrix::testing {

// A minimal socket instrument for tests: listens on a Unix-domain socket, and
// answers each complete command it knows with a fixed reply. Everything it
// receives is kept for inspection.
class SocketPeer {
public:
    explicit SocketPeer(std::filesystem::path socketPath);
    SocketPeer(const SocketPeer&) = delete;
    SocketPeer& operator=(const SocketPeer&) = delete;
    ~SocketPeer();

    void answer(const std::string& command, const std::string& reply);
    std::string received() const;
    // Removes the socket file and drops the connection, as an unplugged instrument.
    void unplug();
    const std::filesystem::path& path() const { return path_; }

private:
    void serve(std::stop_token stop);
    void serveConnection(int fd, std::stop_token stop);
    void respond(int fd, std::string& pending);

    std::filesystem::path path_;
    int listener_ = -1;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> answers_;
    std::string received_;
    std::jthread thread_;
};

} // namespace ombrix::testing
