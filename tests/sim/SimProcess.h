#pragma once

#include <QProcess>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace ombrix::sim::testing {

// ombrix-sim started as a child process on a private device directory; stopped
// (SIGTERM) when destroyed.
class SimProcess {
public:
    // Serves in a private temporary device directory, or in `deviceDirectory`.
    explicit SimProcess(const QStringList& arguments,
                        const std::filesystem::path& deviceDirectory = {});
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;
    ~SimProcess();

    const std::filesystem::path& deviceDirectory() const { return deviceDirectory_; }
    std::filesystem::path socketPath(int port) const;
    std::filesystem::path recordPath() const;

    // Sends one control line and returns the lines it answered, the last being
    // "ok" or "error: ...".
    std::vector<std::string> control(const std::string& line);
    // Sends one control line that must succeed.
    void controlOk(const std::string& line);

    // Sends the signal and returns the exit code; -1 when it did not exit normally.
    int stop(int signal);
    // Waits for the process to end by itself; its exit code, or -1.
    int waitForExit();

private:
    std::string readLine(std::chrono::milliseconds timeout);

    QTemporaryDir scratch_;
    std::filesystem::path deviceDirectory_;
    QProcess process_;
};

// Path of the program under test.
std::filesystem::path simProgram();

} // namespace ombrix::sim::testing
