#include "SimProcess.h"

#include <QElapsedTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <stdexcept>

namespace ombrix::sim::testing {

namespace {

constexpr std::chrono::milliseconds kStartTimeout{20'000};
constexpr std::chrono::milliseconds kReplyTimeout{10'000};
constexpr int kStopTimeoutMs = 10'000;

} // namespace

std::filesystem::path simProgram() {
    return OMBRIX_SIM_PROGRAM;
}

SimProcess::SimProcess(const QStringList& arguments, const std::filesystem::path& deviceDirectory)
    : deviceDirectory_(deviceDirectory.empty()
                           ? std::filesystem::path(scratch_.path().toStdString()) / "devices"
                           : deviceDirectory) {
    QStringList all{"--device-dir", QString::fromStdString(deviceDirectory_.string()), "--record",
                    QString::fromStdString(recordPath().string())};
    all += arguments;
    process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process_.start(QString::fromStdString(simProgram().string()), all);
    if (!process_.waitForStarted()) {
        throw std::runtime_error("ombrix-sim did not start");
    }
    while (readLine(kStartTimeout) != "ready") {
    }
}

SimProcess::~SimProcess() {
    if (process_.state() != QProcess::NotRunning) {
        stop(SIGTERM);
    }
}

std::filesystem::path SimProcess::socketPath(int port) const {
    return deviceDirectory_ / ("port" + std::to_string(port) + ".sock");
}

std::filesystem::path SimProcess::recordPath() const {
    return std::filesystem::path(scratch_.path().toStdString()) / "record.txt";
}

std::string SimProcess::readLine(std::chrono::milliseconds timeout) {
    QElapsedTimer waited;
    waited.start();
    while (!process_.canReadLine()) {
        if (waited.elapsed() > timeout.count() || process_.state() == QProcess::NotRunning) {
            throw std::runtime_error("ombrix-sim gave no answer");
        }
        process_.waitForReadyRead(100);
    }
    return process_.readLine().trimmed().toStdString();
}

std::vector<std::string> SimProcess::control(const std::string& line) {
    process_.write(QByteArray::fromStdString(line + "\n"));
    process_.waitForBytesWritten();
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
    ::kill(static_cast<pid_t>(process_.processId()), signal);
    return waitForExit();
}

int SimProcess::waitForExit() {
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished();
        return -1;
    }
    return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

} // namespace ombrix::sim::testing
