#pragma once

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

} // namespace ombrix::testing
