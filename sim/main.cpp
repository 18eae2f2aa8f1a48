#include "catalogue/ModelCatalogue.h"
#include "control/ControlChannel.h"
#include "control/DeviceDirectory.h"
#include "control/Options.h"
#include "control/SignalWatcher.h"
#include "instrument/Recorder.h"
#include "instrument/Simulator.h"

#include <QCoreApplication>
#include <QTimer>
#include <csignal>
#include <iostream>
#include <memory>
#include <sys/prctl.h>
#include <unistd.h>
#include <variant>

namespace {

using namespace ombrix::sim;

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int fail(const std::string& message, int status) {
    std::cerr << "ombrix-sim: " << message << '\n';
    return status;
}

std::unique_ptr<Recorder> openRecorder(const Options& options) {
    return options.recordFile ? std::make_unique<Recorder>(*options.recordFile)
                              : std::make_unique<Recorder>();
}

std::optional<std::string> addInstruments(const Options& options, Simulator& simulator) {
    std::vector<InstrumentChoice> choices = options.instruments;
    if (choices.empty()) {
        for (const InstrumentModel& model : allModels()) {
            choices.push_back({&model, std::nullopt});
        }
    }
    for (const InstrumentChoice& choice : choices) {
        if (auto error = simulator.addInstrument(*choice.model, choice.serial)) {
            return error;
        }
    }
    return std::nullopt;
}

int serve(const Options& options, QCoreApplication& application) {
    const auto directory =
        std::filesystem::absolute(options.deviceDirectory.value_or(defaultDeviceDirectory()));
    if (auto error = prepareDeviceDirectory(directory)) {
        return fail(*error, kExitFailure);
    }
    const std::unique_ptr<Recorder> recorder = openRecorder(options);
    Simulator simulator(directory, *recorder);
    if (auto error = addInstruments(options, simulator)) {
        return fail(*error, kExitFailure);
    }
    ControlChannel control(STDIN_FILENO, simulator, std::cout, [] { QCoreApplication::quit(); });
    for (const std::string& command : options.startCommands) {
        if (!control.runLine(command)) {
            return fail("start command failed: " + command, kExitFailure);
        }
    }
    for (const TimedCommand& timed : options.timedCommands) {
        QTimer::singleShot(timed.delay, &application,
                           [&control, text = timed.text] { control.runLine(text); });
    }
    const SignalWatcher signalWatcher([] { QCoreApplication::quit(); });
    for (const std::string& line : simulator.describePorts()) {
        std::cout << line << '\n';
    }
    std::cout << "ready" << std::endl;
    simulator.start();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char** argv) {
    SignalWatcher::blockTerminationSignals();
    // A host that vanishes must not kill the simulator through a write to it.
    std::signal(SIGPIPE, SIG_IGN);
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const auto parsed = parseOptions(arguments);
    if (const auto* error = std::get_if<std::string>(&parsed)) {
        return fail(*error + "\nTry 'ombrix-sim --help'.", kExitUsage);
    }
    const Options& options = std::get<Options>(parsed);
    if (options.help) {
        std::cout << helpText();
        return 0;
    }
    // The parent's end arrives as SIGTERM, which ends the simulator cleanly.
    if (options.exitWithParent && (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() == 1)) {
        return 0;
    }
    QCoreApplication application(argc, argv);
    try {
        return serve(options, application);
    } catch (const std::exception& error) {
        return fail(error.what(), kExitFailure);
    }
}
