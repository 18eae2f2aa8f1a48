#pragma once

#include <QProcess>
#include <QRgb>
#include <QStringList>
#include <QTemporaryDir>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <functional>

namespace ombrix::bench {

// Polls `condition` until it holds; throws, naming `what`, after 30 s.
void waitFor(const std::function<bool()>& condition, const char* what,
             std::chrono::steady_clock::duration poll = std::chrono::milliseconds(5));

// One run of ombrix on the benchmark's X server, with settings of its own (the
// Ombrix.conf text), finding instruments in `devices`; ended when destroyed.
class OmbrixWindow {
public:
    OmbrixWindow(const std::filesystem::path& devices, const char* settings,
                 const QStringList& arguments = {});
    OmbrixWindow(const OmbrixWindow&) = delete;
    OmbrixWindow& operator=(const OmbrixWindow&) = delete;
    ~OmbrixWindow();

    std::chrono::steady_clock::time_point started() const { return started_; }
    // The window, once it is on the screen; 0 before.
    WId window();
    // Whether the window shows the instrument's screen: many pixels of the
    // colour most of it has.
    bool showsFrame(QRgb screenColour);
    // Presses `keys` (xdotool's names) with the keyboard on the window.
    void press(const QString& keys);
    // User and system CPU time of the whole program so far.
    double cpuSeconds() const;
    double residentMegabytes() const;

private:
    double statField(int field) const;

    QTemporaryDir config_;
    QProcess process_;
    std::chrono::steady_clock::time_point started_;
    WId window_ = 0;
};

} // namespace ombrix::bench
