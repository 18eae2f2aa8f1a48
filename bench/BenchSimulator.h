#pragma once

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <string_view>

namespace ombrix::bench {

// ombrix-sim serving `models` (ports 1, 2, ... in order) on a private device
// directory with every port frozen, so a screen changes only when a key is
// pressed. Failures throw, as a benchmark ends with their reason.
class BenchSimulator {
public:
    explicit BenchSimulator(const QStringList& models);
    BenchSimulator(const BenchSimulator&) = delete;
    BenchSimulator& operator=(const BenchSimulator&) = delete;
    ~BenchSimulator();

    std::filesystem::path deviceDirectory() const;
    // "sock:" and the socket of `port`.
    std::string devicePath(int port) const;
    // Returns once the simulator has acknowledged the command.
    void control(std::string_view line);

private:
    std::string readLine();

    QTemporaryDir scratch_;
    QProcess process_;
};

} // namespace ombrix::bench
