#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace ombrix::testing {

struct CliResult {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs ombrix-cli with instruments from `deviceDirectory` only (no USB). An
// empty `modelDirectory` leaves the program directory to the executable's folder.
CliResult RunCli(const QStringList& arguments, const QString& deviceDirectory,
                 const QString& modelDirectory = {});

// ombrix-cli started in the background as RunCli runs it, through `wrapper`
// (a program and its arguments, ombrix-cli's path and arguments following)
// when given; killed if still running when destroyed.
class CliRun {
public:
    CliRun(const QStringList& arguments, const QString& deviceDirectory,
           const QStringList& wrapper = {});
    CliRun(const CliRun&) = delete;
    CliRun& operator=(const CliRun&) = delete;
    ~CliRun();

    // Whether standard error says `text` within `timeoutMs`.
    bool waitForError(const QString& text, int timeoutMs);
    void signal(int number);
    CliResult finish();

private:
    QProcess process_;
    QString err_;
};

} // namespace ombrix::testing
