#include "EndToEnd.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace ombrix::testing {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool eventually(const std::function<bool()>& condition) {
    QElapsedTimer waited;
    waited.start();
    while (!condition()) {
        if (waited.elapsed() > kPatienceMs) {
            return false;
        }
        QThread::msleep(100);
    }
    return true;
}

QString windowNamed(const QString& pattern) {
    return run(QStringLiteral("xdotool"), {"search", "--onlyvisible", "--name", pattern})
        .section(u'\n', 0, 0);
}

// openbox names itself on the root window once it manages the screen; a name
// left by one that ended before does not count.
WindowManager::WindowManager() {
    process_.start(QStringLiteral("openbox"), {QStringLiteral("--sm-disable")});
    if (!process_.waitForStarted()) {
        return;
    }
    const QString pid = QString::number(process_.processId());
    started_ = eventually([&] {
        return run(QStringLiteral("xprop"), {"-root", "_OPENBOX_PID"}).endsWith(u' ' + pid);
    });
}

WindowManager::~WindowManager() {
    process_.terminate();
    if (!process_.waitForFinished()) {
        process_.kill();
        process_.waitForFinished();
    }
}

// xwininfo, as xdotool counts a window manager's frame twice.
QRect WindowGeometry(const QString& window) {
    const QString info = run(QStringLiteral("xwininfo"), {"-id", window});
    const auto value = [&](const char* key) {
        return info.section(QString::fromLatin1(key), 1).section(u'\n', 0, 0).trimmed().toInt();
    };
    return {value("Absolute upper-left X:"), value("Absolute upper-left Y:"), value("Width:"),
            value("Height:")};
}

void Drag(QPoint from, QPoint to) {
    constexpr int kSteps = 10;
    const auto at = [](QPoint point) {
        return QStringList{QString::number(point.x()), QString::number(point.y())};
    };
    run(QStringLiteral("xdotool"), QStringList{"mousemove"} + at(from));
    QThread::msleep(100);
    run(QStringLiteral("xdotool"), {"mousedown", "1"});
    for (int step = 1; step <= kSteps; ++step) {
        run(QStringLiteral("xdotool"),
            QStringList{"mousemove"} + at(from + (to - from) * step / kSteps));
        QThread::msleep(30);
    }
    QThread::msleep(200);
    run(QStringLiteral("xdotool"), {"mouseup", "1"});
}

OmbrixProcess::OmbrixProcess(const std::filesystem::path& devices, const QByteArray& settings) {
    if (!QDir().mkpath(config_.filePath(QStringLiteral("Velmora")))) {
        return;
    }
    QFile file(config_.filePath(QStringLiteral("Velmora/Ombrix.conf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(settings) != settings.size()) {
        return;
    }
    file.close();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("OMBRIX_DEVICE_DIR"),
                       QString::fromStdString(devices.string()));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), config_.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
    environment.remove(QStringLiteral("OMBRIX_USB_IDS"));
    environment.remove(QStringLiteral("OMBRIX_MODEL_DIR"));
    process_.setProcessEnvironment(environment);
    process_.start(QStringLiteral(OMBRIX_PROGRAM), {});
    started_ = process_.waitForStarted();
}

OmbrixProcess::~OmbrixProcess() {
    process_.terminate();
    if (!process_.waitForFinished()) {
        process_.kill();
        process_.waitForFinished();
    }
}

QString OmbrixProcess::settingsFile() const {
    return config_.filePath(QStringLiteral("Velmora/Ombrix.conf"));
}

int OmbrixProcess::terminate() {
    process_.terminate();
    const bool ended = process_.waitForFinished(kPatienceMs);
    return ended && process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
}

QString OmbrixProcess::waitForWindow() {
    QString window;
    eventually([&] {
        window = windowNamed(QStringLiteral(" - Ombrix$"));
        return !window.isEmpty();
    });
    return window;
}

QString OmbrixProcess::waitForModel() {
    const QString window = waitForWindow();
    const bool loaded = !window.isEmpty() && eventually([&] {
        return run(QStringLiteral("xdotool"), {"getwindowname", window}).contains(".def");
    });
    return loaded ? window : QString();
}

} // namespace ombrix::testing
