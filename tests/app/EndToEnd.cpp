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
