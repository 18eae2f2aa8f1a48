#pragma once

namespace ombrix::cli {

// While an object of this class lives, SIGINT, SIGTERM and SIGHUP ask the
// command to stop instead of ending the program where it stands, so a
// recording still closes its file. The handler only sets a flag.
class StopSignals {
public:
    StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    // The handlers before come back.
    ~StopSignals();

    bool Received() const;
};

} // namespace ombrix::cli
