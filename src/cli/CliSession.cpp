#include "cli/CliSession.h"

#include "session/ProgramDirectory.h"

namespace ombrix::cli {

namespace {

// The main window's model timer.
constexpr std::chrono::milliseconds kTimerPeriod{150};
constexpr int kModelTimer = 1;

} // namespace

CliSession::CliSession(CliContext& context, std::optional<link::Serial> serial)
    : context_(context), connection_(context.backend, context.clock),
      doc_(connection_, document::COmbrixDoc::Options{session::ProgramDirectory(), serial, {}}) {}

CliSession::Wait CliSession::waitUntil(const std::function<bool()>& done,
                                       std::chrono::milliseconds timeout) {
    const link::Ticks start = context_.clock.ticks();
    while (true) {
        doc_.OnTimer(kModelTimer);
        if (done()) {
            return Wait::Done;
        }
        if (const Wait failed = failure(); failed != Wait::Done) {
            return failed;
        }
        if (link::elapsedSince(start, context_.clock.ticks()) >=
            static_cast<link::Ticks>(timeout.count())) {
            return Wait::TimedOut;
        }
        context_.clock.sleepFor(kTimerPeriod);
    }
}

CliSession::Wait CliSession::waitForModel(std::chrono::milliseconds timeout) {
    return waitUntil([this] { return !doc_.Model().model().hardwareName.isEmpty(); }, timeout);
}

// A headless run has nobody to plug an instrument in: one failed attempt
// without any instrument found ends it.
CliSession::Wait CliSession::failure() const {
    if (!doc_.LoadError().isEmpty()) {
        return Wait::ModelRefused;
    }
    if (doc_.FailedConnections() > 0 && !doc_.SyncInfo().selection()) {
        return Wait::NoInstrument;
    }
    return Wait::Done;
}

void CliSession::report(Wait outcome, std::string_view command, std::string_view timeoutText) {
    std::ostream& err = context_.err;
    switch (outcome) {
    case Wait::Done:
        return;
    case Wait::NoInstrument:
        err << "ombrix-cli " << command
            << ": no instrument could be connected (none attached, or no model file fits it)\n";
        return;
    case Wait::ModelRefused:
        err << "ombrix-cli " << command << ": " << doc_.LoadError().toStdString() << '\n';
        return;
    case Wait::TimedOut:
        err << "ombrix-cli " << command << ": " << timeoutText << '\n';
        return;
    }
}

} // namespace ombrix::cli
