// What the window's end-to-end tests share: running helpers and ombrix itself
// as a child process on the test's virtual X server.
#pragma once

#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <filesystem>
#include <functional>

namespace ombrix::testing {

// How long a test waits for something the window should do.
inline constexpr int kPatienceMs = 30'000;

// The program's standard output, trimmed, once it has ended.
QString run(const QString& program, const QStringList& arguments);
// Whether the condition became true within the patience, checked every 100 ms.
bool eventually(const std::function<bool()>& condition);
// The first visible window whose title matches the pattern, or none.
QString windowNamed(const QString& pattern);

// openbox, the window manager, on the test's X server for as long as this
// lives: windows get frames, are placed and resized as a desktop does it.
class WindowManager {
public:
    WindowManager();
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;
    ~WindowManager();

    // Whether openbox manages the screen.
    bool started() const { return started_; }

private:
    QProcess process_;
    bool started_ = false;
};

// A window's inside on the screen, as the X server has it.
QRect WindowGeometry(const QString& window);
// A pointer drag with the left button from `from` to `to`, in steps, as a
// hand makes it.
void Drag(QPoint from, QPoint to);

// ombrix with settings of its own (the Ombrix.conf text), finding instruments
// in `devices`; ended when destroyed.
class OmbrixProcess {
public:
    OmbrixProcess(const std::filesystem::path& devices, const QByteArray& settings);
    OmbrixProcess(const OmbrixProcess&) = delete;
    OmbrixProcess& operator=(const OmbrixProcess&) = delete;
    ~OmbrixProcess();

    bool started() const { return started_; }
    // The settings file the program reads and writes.
    QString settingsFile() const;
    // Sends SIGTERM and waits; the exit status, or -1 when it did not end by
    // itself.
    int terminate();
    // The main window, once one titled "... - Ombrix" is on the screen.
    QString waitForWindow();
    // The main window once its title names a loaded model file; empty when no
    // model was loaded within the patience.
    QString waitForModel();

private:
    QTemporaryDir config_;
    QProcess process_;
    bool started_ = false;
};

} // namespace ombrix::testing
