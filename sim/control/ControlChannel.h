#pragma once

#include "instrument/Simulator.h"

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace ombrix::sim {

// Reads control commands, one per line, from a descriptor (standard input) and
// writes each command's output followed by "ok" or "error: <reason>". Blank
// lines and lines starting with "#" are skipped. End of input leaves the
// simulator running.
class ControlChannel {
public:
    ControlChannel(int fd, Simulator& simulator, std::ostream& out, std::function<void()> onQuit);
    ControlChannel(const ControlChannel&) = delete;
    ControlChannel& operator=(const ControlChannel&) = delete;

    // Carries out one line and writes its answer; used for --do and --at too.
    // Returns false when the command failed.
    bool runLine(std::string_view line);

private:
    void readAvailable();

    int fd_;
    Simulator& simulator_;
    std::ostream& out_;
    std::function<void()> onQuit_;
    std::string partialLine_;
    std::unique_ptr<QSocketNotifier> readable_; // none when the descriptor is closed
};

} // namespace ombrix::sim
