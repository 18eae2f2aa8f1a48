#include "SimProcess.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace ombrix::sim::testing {

namespace {

constexpr std::chrono::milliseconds kStartTimeout{20'000};
constexpr std::chrono::milliseconds kReplyTimeout{10'000};
constexpr std::chrono::milliseconds kStopTimeout{10'000};
constexpr std::chrono::milliseconds kExitPoll{10};

// Both ends close on exec; the spawn duplicates the child's end onto its
// standard stream, which stays open.
std::array<int, 2> makePipe() {
    std::array<int, 2> ends{};
    if (::pipe2(ends.data(), O_CLOEXEC) != 0) {
        throw std::runtime_error("no pipe for ombrix-sim");
    }
    return ends;
}

void closeDescriptor(int& descriptor) {
    if (descriptor >= 0) {
        ::close(descriptor);
        descriptor = -1;
    }
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    const auto last = line.find_last_not_of(" \t\r");
    return first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
}

} // namespace

std::filesystem::path simProgram() {
    return OMBRIX_SIM_PROGRAM;
}

SimProcess::SimProcess(const QStringList& arguments, const std::filesystem::path& deviceDirectory)
    : deviceDirectory_(deviceDirectory.empty()
                           ? std::filesystem::path(scratch_.path().toStdString()) / "devices"
                           : deviceDirectory) {
    std::vector<std::string> all{simProgram().string(),     "--device-dir",
                                 deviceDirectory_.string(), "--record",
                                 recordPath().string(),     "--exit-with-parent"};
    for (const QString& argument : arguments) {
        all.push_back(argument.toStdString());
    }
    spawn(all);
    try {
        while (readLine(kStartTimeout) != "ready") {
        }
    } catch (const std::runtime_error&) {
        release();
        throw;
    }
}

SimProcess::~SimProcess() {
    release();
}

// posix_spawn rather than QProcess: QProcess starts the child with a clone that
// shares the parent's memory and thread-local storage, which ThreadSanitizer
// cannot follow; it then misses the parent's locks and reports false races.
void SimProcess::spawn(const std::vector<std::string>& arguments) {
    // A simulator that ended must fail the test with a message, not end it by SIGPIPE.
    ::signal(SIGPIPE, SIG_IGN);
    const std::array<int, 2> input = makePipe();
    const std::array<int, 2> output = makePipe();
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    ::posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    const int failed = ::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(output[1]);
    input_ = input[1];
    output_ = output[0];
    if (failed != 0) {
        pid_ = -1;
        release();
        throw std::runtime_error("ombrix-sim did not start");
    }
}

void SimProcess::release() {
    if (pid_ > 0) {
        stop(SIGTERM);
    }
    closeDescriptor(input_);
    closeDescriptor(output_);
}

std::filesystem::path SimProcess::socketPath(int port) const {
    return deviceDirectory_ / ("port" + std::to_string(port) + ".sock");
}

std::filesystem::path SimProcess::recordPath() const {
    return std::filesystem::path(scratch_.path().toStdString()) / "record.txt";
}

void SimProcess::send(std::string_view text) {
    while (!text.empty()) {
        const ssize_t written = ::write(input_, text.data(), text.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            throw std::runtime_error("ombrix-sim takes no more commands");
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
}

std::string SimProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::size_t end = 0;
    while ((end = unread_.find('\n')) == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd readable{output_, POLLIN, 0};
        const int ready =
            left.count() > 0 ? ::poll(&readable, 1, static_cast<int>(left.count())) : 0;
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        std::array<char, 4096> chunk{};
        const ssize_t got = ready > 0 ? ::read(output_, chunk.data(), chunk.size()) : 0;
        if (got <= 0) {
            throw std::runtime_error("ombrix-sim gave no answer");
        }
        unread_.append(chunk.data(), static_cast<std::size_t>(got));
    }
    const std::string line = unread_.substr(0, end);
    unread_.erase(0, end + 1);
    return trimmed(line);
}

std::vector<std::string> SimProcess::control(const std::string& line) {
    send(line + "\n");
    std::vector<std::string> lines;
    do {
        lines.push_back(readLine(kReplyTimeout));
    } while (lines.back() != "ok" && !lines.back().starts_with("error:"));
    return lines;
}

void SimProcess::controlOk(const std::string& line) {
    const auto answer = control(line);
    ASSERT_EQ(answer.back(), "ok") << line;
}

int SimProcess::stop(int signal) {
    if (pid_ > 0) {
        ::kill(pid_, signal);
    }
    return waitForExit();
}

int SimProcess::waitForExit() {
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    while (pid_ > 0) {
        int status = 0;
        const pid_t ended = ::waitpid(pid_, &status, WNOHANG);
        if (ended == pid_) {
            exitCode_ = exitCodeOf(status);
            pid_ = -1;
        } else if (ended < 0 && errno != EINTR) {
            exitCode_ = -1;
            pid_ = -1;
        } else if (std::chrono::steady_clock::now() > deadline) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            exitCode_ = -1;
            pid_ = -1;
        } else {
            std::this_thread::sleep_for(kExitPoll);
        }
    }
    return exitCode_;
}

} // namespace ombrix::sim::testing
