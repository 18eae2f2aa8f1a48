#pragma once

#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/types.h>
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
    void spawn(const std::vector<std::string>& arguments);
    void release();
    void send(std::string_view text);
    std::string readLine(std::chrono::milliseconds timeout);

    QTemporaryDir scratch_;
    std::filesystem::path deviceDirectory_;
    pid_t pid_ = -1; // -1 once the process has been waited for
    int exitCode_ = -1;
    int input_ = -1;  // the simulator's standard input
    int output_ = -1; // its standard output
    std::string unread_;
};

// Path of the program under test.
std::filesystem::path simProgram();

} // namespace ombrix::sim::testing
