#include "CliProcess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>

namespace ombrix::testing {

namespace {

// Long enough for a capture's own time-out on a loaded machine.
constexpr int kCliTimeoutMs = 60000;

QProcessEnvironment cliEnvironment(const QString& deviceDirectory, const QString& modelDirectory) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR", deviceDirectory);
    environment.remove("OMBRIX_USB_IDS");
    environment.remove("OMBRIX_MODEL_DIR");
    if (!modelDirectory.isEmpty()) {
        environment.insert("OMBRIX_MODEL_DIR", modelDirectory);
    }
    return environment;
}

} // namespace

CliResult RunCli(const QStringList& arguments, const QString& deviceDirectory,
                 const QString& modelDirectory) {
    QProcess process;
    process.setProcessEnvironment(cliEnvironment(deviceDirectory, modelDirectory));
    process.start(OMBRIX_CLI_PATH, arguments);
    if (!process.waitForFinished(kCliTimeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

CliRun::CliRun(const QStringList& arguments, const QString& deviceDirectory,
               const QStringList& wrapper) {
    process_.setProcessEnvironment(cliEnvironment(deviceDirectory, {}));
    if (wrapper.isEmpty()) {
        process_.start(OMBRIX_CLI_PATH, arguments);
    } else {
        process_.start(wrapper.front(),
                       wrapper.mid(1) + QStringList{QString(OMBRIX_CLI_PATH)} + arguments);
    }
    process_.waitForStarted();
}

CliRun::~CliRun() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished();
    }
}

bool CliRun::waitForError(const QString& text, int timeoutMs) {
    QElapsedTimer waited;
    waited.start();
    while (!err_.contains(text) && waited.elapsed() < timeoutMs &&
           process_.state() == QProcess::Running) {
        process_.waitForReadyRead(50);
        err_ += QString::fromUtf8(process_.readAllStandardError());
    }
    return err_.contains(text);
}

void CliRun::signal(int number) {
    ::kill(static_cast<pid_t>(process_.processId()), number);
}

CliResult CliRun::finish() {
    if (!process_.waitForFinished(kCliTimeoutMs)) {
        process_.kill();
        process_.waitForFinished();
    }
    err_ += QString::fromUtf8(process_.readAllStandardError());
    return {process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1,
            QString::fromUtf8(process_.readAllStandardOutput()), err_};
}

} // namespace ombrix::testing
