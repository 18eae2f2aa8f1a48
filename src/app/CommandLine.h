#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace ombrix::app {

// What the command line asks for.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };

    Action action = Action::Run;
    // The document to open: a model description path, "*" and a serial number.
    std::optional<QString> documentName;
    // Why the command line cannot be understood.
    QString error;
};

// Reads the arguments after the program name: none, one document name,
// --help or --version. Options of the window system are taken away before.
CommandLine ParseCommandLine(const QStringList& arguments);

// The text --help prints.
QString HelpText();

} // namespace ombrix::app
