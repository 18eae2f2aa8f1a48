#include "app/CommandLine.h"

namespace ombrix::app {

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (const QString& argument : arguments) {
        if (argument == u"--help" || argument == u"-h") {
            return {CommandLine::Action::Help, std::nullopt, {}};
        }
        if (argument == u"--version") {
            return {CommandLine::Action::Version, std::nullopt, {}};
        }
    }
    if (arguments.size() > 1) {
        return {CommandLine::Action::Error, std::nullopt,
                QStringLiteral("more than one document name given")};
    }
    if (!arguments.isEmpty()) {
        if (arguments.front().startsWith(u'-')) {
            return {CommandLine::Action::Error, std::nullopt,
                    QStringLiteral("unknown option '%1'").arg(arguments.front())};
        }
        line.documentName = arguments.front();
    }
    return line;
}

QString HelpText() {
    return QStringLiteral(
        "Usage: ombrix [MODEL.def*SERIAL]\n"
        "\n"
        "Shows the screen of the attached instrument live and presses its keys from\n"
        "the PC. Without an argument the first instrument found is shown (the one\n"
        "used before, else the lowest serial number); with one, the model description\n"
        "file MODEL.def is opened for the instrument with serial number SERIAL.\n"
        "\n"
        "Instruments are found on USB: View > Instruments... lists the devices that\n"
        "could be instruments; a device ticked there is used (its vendor:product pair\n"
        "is kept in the settings, and $OMBRIX_USB_IDS may add pairs, e.g.\n"
        "1a2b:0001,1a2b:0002). They are also found in the device directory\n"
        "($OMBRIX_DEVICE_DIR, else $XDG_RUNTIME_DIR/ombrix/devices, else\n"
        "/tmp/ombrix-<uid>/devices) as *.sock sockets.\n"
        "Model description files are looked for in $OMBRIX_MODEL_DIR, else beside the\n"
        "program when it has a Data folder, else in <prefix>/share/ombrix.\n"
        "\n"
        "  -h, --help     print this text\n"
        "      --version  print the version\n"
        "\n"
        "Exit status 1 when the document cannot be opened.\n");
}

} // namespace ombrix::app
