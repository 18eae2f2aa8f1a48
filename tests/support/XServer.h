#pragma once

#include <string>
#include <sys/types.h>

namespace ombrix::testing {

// A virtual X server (Xvfb) on a free display, for the window's end-to-end
// tests; stopped when destroyed. Started without Qt, so it can be running
// before the test's QGuiApplication connects to it.
class XServer {
public:
    XServer(int width, int height);
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;
    ~XServer();

    // ":N", or empty when no server could be started.
    const std::string& display() const { return display_; }

private:
    bool running();
    void stop();

    pid_t pid_ = -1;
    std::string display_;
};

} // namespace ombrix::testing
