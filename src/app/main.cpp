// ombrix: builds the application's objects, runs the window and shuts down in
// reverse order (the window, then the document and its threads, then the link).
#include "app/COmbrixApp.h"
#include "app/CommandLine.h"
#include "app/TerminationSignals.h"
#include "link/DeviceDirectory.h"
#include "link/UsbIdList.h"
#include "session/ProgramDirectory.h"
#include "shell/Artwork.h"
#include "shell/CMainFrame.h"

#include <QApplication>
#include <QStringList>
#include <iostream>

namespace {

using namespace ombrix;

// Before the QApplication: --help and --version need no display.
std::optional<int> answerWithoutWindow(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const app::CommandLine line = app::ParseCommandLine(arguments);
    if (line.action == app::CommandLine::Action::Help) {
        std::cout << app::HelpText().toStdString();
        return 0;
    }
    if (line.action == app::CommandLine::Action::Version) {
        std::cout << "ombrix " OMBRIX_VERSION "\n";
        return 0;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char** argv) {
    if (const std::optional<int> answered = answerWithoutWindow(argc, argv)) {
        return *answered;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Ombrix"));
    QApplication::setOrganizationName(QStringLiteral("Velmora"));
    QApplication::setApplicationVersion(QStringLiteral(OMBRIX_VERSION));
    QApplication::setWindowIcon(shell::ApplicationIcon());
    QApplication::setDesktopFileName(QStringLiteral("com.velmora.Ombrix"));

    const app::CommandLine line = app::ParseCommandLine(QApplication::arguments().mid(1));
    if (line.action == app::CommandLine::Action::Error) {
        std::cerr << "ombrix: " << line.error.toStdString() << "; see ombrix --help\n";
        return 1;
    }
    app::COmbrixApp ombrix({std::nullopt, link::DeviceDirectory(),
                            link::UsbIdsFromEnvironment("ombrix", std::cerr),
                            session::ProgramDirectory()});
    QString error;
    if (!ombrix.InitInstance(line.documentName, error)) {
        std::cerr << "ombrix: " << error.toStdString() << '\n';
        return 1;
    }
    // The main window closed first, as by the person, so what it stores (the
    // bars shown among it) is what was on the screen; then every other window
    // and every event loop, an open dialog's too.
    const app::TerminationSignals termination([&ombrix] {
        ombrix.MainFrame().close();
        QApplication::closeAllWindows();
        QApplication::quit();
    });
    const int status = QApplication::exec();
    ombrix.ExitInstance();
    return status;
}
