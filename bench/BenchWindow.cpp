#include "BenchWindow.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

namespace ombrix::bench {

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::seconds kPatience{30};
// A frame is on the window when this many pixels have the colour that most of
// the instrument's screen has: a few times less than the screen covers.
constexpr int kFramePixels = 20000;
constexpr int kColourTolerance = 6;

bool near(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) <= kColourTolerance &&
           std::abs(qGreen(a) - qGreen(b)) <= kColourTolerance &&
           std::abs(qBlue(a) - qBlue(b)) <= kColourTolerance;
}

} // namespace

void waitFor(const std::function<bool()>& condition, const char* what, Clock::duration poll) {
    const auto deadline = Clock::now() + kPatience;
    while (!condition()) {
        if (Clock::now() > deadline) {
            throw std::runtime_error(std::string("gave up waiting for ") + what);
        }
        std::this_thread::sleep_for(poll);
    }
}

OmbrixWindow::OmbrixWindow(const std::filesystem::path& devices, const char* settings,
                           const QStringList& arguments) {
    QDir().mkpath(config_.filePath("Velmora"));
    QFile file(config_.filePath("Velmora/Ombrix.conf"));
    file.open(QIODevice::WriteOnly);
    file.write(settings);
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR", QString::fromStdString(devices.string()));
    environment.insert("XDG_CONFIG_HOME", config_.path());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    environment.remove("OMBRIX_USB_IDS");
    environment.remove("OMBRIX_MODEL_DIR");
    process_.setProcessEnvironment(environment);
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    started_ = Clock::now();
    process_.start(OMBRIX_PROGRAM, arguments);
    if (!process_.waitForStarted()) {
        throw std::runtime_error("ombrix did not start");
    }
}

OmbrixWindow::~OmbrixWindow() {
    process_.terminate();
    process_.waitForFinished();
}

WId OmbrixWindow::window() {
    if (window_ == 0) {
        QProcess search;
        search.start("xdotool",
                     {"search", "--onlyvisible", "--pid", QString::number(process_.processId())});
        search.waitForFinished();
        window_ = search.readAllStandardOutput().trimmed().split('\n').front().toULongLong();
    }
    return window_;
}

bool OmbrixWindow::showsFrame(QRgb screenColour) {
    if (window() == 0) {
        return false;
    }
    const QImage shown =
        QGuiApplication::primaryScreen()->grabWindow(window()).toImage().convertToFormat(
            QImage::Format_RGB32);
    int matching = 0;
    for (int y = 0; y < shown.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(shown.constScanLine(y));
        for (int x = 0; x < shown.width(); ++x) {
            matching += near(line[x], screenColour) ? 1 : 0;
        }
    }
    return matching >= kFramePixels;
}

void OmbrixWindow::press(const QString& keys) {
    const QString id = QString::number(window());
    QProcess::execute("xdotool", {"windowfocus", "--sync", id});
    QProcess::execute("xdotool", {"key", keys});
}

double OmbrixWindow::cpuSeconds() const {
    return statField(14) + statField(15);
}

double OmbrixWindow::residentMegabytes() const {
    std::ifstream status("/proc/" + std::to_string(process_.processId()) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.starts_with("VmRSS:")) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    throw std::runtime_error("no resident size");
}

// utime and stime of /proc/PID/stat, in seconds.
double OmbrixWindow::statField(int field) const {
    std::ifstream stat("/proc/" + std::to_string(process_.processId()) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string value;
    for (int i = 3; i <= field; ++i) {
        rest >> value;
    }
    return std::stod(value) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

} // namespace ombrix::bench
