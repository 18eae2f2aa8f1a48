// How fast ombrix-sim answers over its socket, unthrottled, against a baseline
// of the same run: a thread that answers the same number of bytes from memory
// over a socket pair, the least any instrument behind a socket could cost.
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::string_view kStatusRequest = "#7,SP,3;";
constexpr std::size_t kStatusReplySize = 12;
constexpr std::string_view kScreenRequest = "#7,SC;";
constexpr std::size_t kScreenReplySize = 320 * 240 * 2;

void writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    for (std::size_t sent = 0; sent < size;) {
        const ssize_t count = ::send(fd, bytes + sent, size - sent, MSG_NOSIGNAL);
        if (count <= 0) {
            throw std::runtime_error("send failed");
        }
        sent += static_cast<std::size_t>(count);
    }
}

// False when the peer closed before `size` bytes came.
bool readAll(int fd, std::uint8_t* out, std::size_t size) {
    for (std::size_t received = 0; received < size;) {
        const ssize_t count = ::recv(fd, out + received, size - received, 0);
        if (count <= 0) {
            return false;
        }
        received += static_cast<std::size_t>(count);
    }
    return true;
}

// One request, one reply of known size; returns how long the round trip took.
Clock::duration exchange(int fd, std::string_view request, std::vector<std::uint8_t>& reply) {
    const auto start = Clock::now();
    writeAll(fd, request.data(), request.size());
    if (!readAll(fd, reply.data(), reply.size())) {
        throw std::runtime_error("reply cut short");
    }
    return Clock::now() - start;
}

// ombrix-sim serving one 320 x 240 x 16-bit instrument, and a connection to it.
class SimulatorLink {
public:
    SimulatorLink() {
        const std::string directory = scratch_.path().toStdString();
        process_.start(OMBRIX_SIM_PROGRAM,
                       {"--device-dir", QString::fromStdString(directory), "colour"});
        while (process_.waitForReadyRead(20'000)) {
            if (process_.readAll().contains("ready")) {
                break;
            }
        }
        fd_ = connectTo(directory + "/port1.sock");
    }
    SimulatorLink(const SimulatorLink&) = delete;
    SimulatorLink& operator=(const SimulatorLink&) = delete;
    ~SimulatorLink() {
        ::close(fd_);
        process_.terminate();
        process_.waitForFinished();
    }
    int fd() const { return fd_; }

private:
    static int connectTo(const std::string& path) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
            throw std::runtime_error("cannot reach ombrix-sim");
        }
        return fd;
    }

    QTemporaryDir scratch_;
    QProcess process_;
    int fd_ = -1;
};

// Answers every request of `requestSize` bytes with `replySize` bytes from memory.
class BaselineLink {
public:
    BaselineLink(std::size_t requestSize, std::size_t replySize) {
        int fds[2];
        if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) {
            throw std::runtime_error("socketpair failed");
        }
        client_ = fds[0];
        server_ = std::jthread([fd = fds[1], requestSize, replySize] {
            std::vector<std::uint8_t> request(requestSize);
            const std::vector<std::uint8_t> reply(replySize, 0x5A);
            while (readAll(fd, request.data(), request.size())) {
                writeAll(fd, reply.data(), reply.size());
            }
            ::close(fd);
        });
    }
    BaselineLink(const BaselineLink&) = delete;
    BaselineLink& operator=(const BaselineLink&) = delete;
    ~BaselineLink() {
        ::shutdown(client_, SHUT_RDWR); // ends the server's loop
        server_.join();
        ::close(client_);
    }
    int fd() const { return client_; }

private:
    int client_ = -1;
    std::jthread server_;
};

// Times the simulator (manual time) and the baseline in alternation, so both
// see the same machine load, and reports the baseline and the ratio.
void measureAgainstBaseline(benchmark::State& state, std::string_view request,
                            std::size_t replySize) {
    SimulatorLink simulator;
    BaselineLink baseline(request.size(), replySize);
    std::vector<std::uint8_t> reply(replySize);
    Clock::duration simulatorTotal{};
    Clock::duration baselineTotal{};
    for (auto _ : state) {
        const auto simulatorTime = exchange(simulator.fd(), request, reply);
        baselineTotal += exchange(baseline.fd(), request, reply);
        simulatorTotal += simulatorTime;
        state.SetIterationTime(std::chrono::duration<double>(simulatorTime).count());
    }
    const double iterations = static_cast<double>(state.iterations());
    const auto microseconds = [&](Clock::duration total) {
        return std::chrono::duration<double, std::micro>(total).count() / iterations;
    };
    state.counters["sim_us"] = microseconds(simulatorTotal);
    state.counters["baseline_us"] = microseconds(baselineTotal);
    state.counters["sim_per_baseline"] = microseconds(simulatorTotal) / microseconds(baselineTotal);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(replySize));
}

void BM_SimStatusRequest(benchmark::State& state) {
    measureAgainstBaseline(state, kStatusRequest, kStatusReplySize);
}
BENCHMARK(BM_SimStatusRequest)->UseManualTime()->Unit(benchmark::kMicrosecond);

void BM_SimScreen320x240x16(benchmark::State& state) {
    measureAgainstBaseline(state, kScreenRequest, kScreenReplySize);
}
BENCHMARK(BM_SimScreen320x240x16)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
