#include "CliProcess.h"

#include <QProcess>

namespace ombrix::testing {

namespace {

// Long enough for a capture's own time-out on a loaded machine.
constexpr int kCliTimeoutMs = 60000;

} // namespace

CliResult RunCli(const QStringList& arguments, const QString& deviceDirectory,
                 const QString& modelDirectory) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("OMBRIX_DEVICE_DIR", deviceDirectory);
    environment.remove("OMBRIX_USB_IDS");
    environment.remove("OMBRIX_MODEL_DIR");
    if (!modelDirectory.isEmpty()) {
        environment.insert("OMBRIX_MODEL_DIR", modelDirectory);
    }
    process.setProcessEnvironment(environment);
    process.start(OMBRIX_CLI_PATH, arguments);
    if (!process.waitForFinished(kCliTimeoutMs)) {
        process.kill();
        process.waitForFinished();
    }
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace ombrix::testing
