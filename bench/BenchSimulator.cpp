#include "BenchSimulator.h"

#include <chrono>
#include <stdexcept>

namespace ombrix::bench {

namespace {

constexpr std::chrono::seconds kAnswerTimeout{20};
constexpr std::string_view kSocketPathPrefix = "sock:";

} // namespace

BenchSimulator::BenchSimulator(const QStringList& models) {
    QStringList arguments{"--device-dir", QString::fromStdString(deviceDirectory().string()),
                          "--do", "freeze all on"};
    arguments += models;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(OMBRIX_SIM_PROGRAM, arguments);
    while (readLine() != "ready") {
    }
}

BenchSimulator::~BenchSimulator() {
    process_.terminate();
    process_.waitForFinished();
}

std::filesystem::path BenchSimulator::deviceDirectory() const {
    return std::filesystem::path(scratch_.path().toStdString()) / "devices";
}

std::string BenchSimulator::devicePath(int port) const {
    const auto socket = deviceDirectory() / ("port" + std::to_string(port) + ".sock");
    return std::string(kSocketPathPrefix) + socket.string();
}

void BenchSimulator::control(std::string_view line) {
    process_.write(QByteArray(line.data(), static_cast<qsizetype>(line.size())) + '\n');
    process_.waitForBytesWritten();
    std::string answer;
    while ((answer = readLine()) != "ok") {
        if (answer.starts_with("error")) {
            throw std::runtime_error("ombrix-sim refused: " + std::string(line));
        }
    }
}

std::string BenchSimulator::readLine() {
    const auto deadline = std::chrono::steady_clock::now() + kAnswerTimeout;
    while (!process_.canReadLine()) {
        if (std::chrono::steady_clock::now() > deadline ||
            process_.state() == QProcess::NotRunning) {
            throw std::runtime_error("ombrix-sim gave no answer");
        }
        process_.waitForReadyRead(100);
    }
    return process_.readLine().trimmed().toStdString();
}

} // namespace ombrix::bench
