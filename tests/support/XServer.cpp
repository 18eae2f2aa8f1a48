#include "XServer.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace ombrix::testing {

namespace {

constexpr int kFirstDisplay = 90;
constexpr int kLastDisplay = 140;
constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr auto kPoll = std::chrono::milliseconds(20);

std::filesystem::path socketOf(int display) {
    return "/tmp/.X11-unix/X" + std::to_string(display);
}

bool taken(int display) {
    return std::filesystem::exists("/tmp/.X" + std::to_string(display) + "-lock") ||
           std::filesystem::exists(socketOf(display));
}

// ":N". Appended rather than concatenated: GCC 12 warns falsely (-Wrestrict)
// about a literal plus a string at -O3.
std::string displayName(int display) {
    std::string name(1, ':');
    name += std::to_string(display);
    return name;
}

} // namespace

XServer::XServer(int width, int height) {
    for (int display = kFirstDisplay; display <= kLastDisplay; ++display) {
        if (taken(display)) {
            continue;
        }
        std::vector<std::string> arguments{"Xvfb",
                                           displayName(display),
                                           "-screen",
                                           "0",
                                           std::to_string(width) + "x" + std::to_string(height) +
                                               "x24",
                                           "-nolisten",
                                           "tcp"};
        std::vector<char*> argv;
        for (std::string& argument : arguments) {
            argv.push_back(argument.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawnp(&pid_, "Xvfb", nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
        while (running() && std::chrono::steady_clock::now() < deadline) {
            if (std::filesystem::exists(socketOf(display))) {
                display_ = displayName(display);
                return;
            }
            std::this_thread::sleep_for(kPoll);
        }
        stop(); // another server took the display first: try the next one
    }
}

// Whether the server still runs; one that ended is reaped and forgotten.
bool XServer::running() {
    int status = 0;
    if (pid_ > 0 && ::waitpid(pid_, &status, WNOHANG) == pid_) {
        pid_ = -1;
    }
    return pid_ > 0;
}

XServer::~XServer() {
    stop();
}

void XServer::stop() {
    if (pid_ > 0) {
        ::kill(pid_, SIGTERM);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }
}

} // namespace ombrix::testing
