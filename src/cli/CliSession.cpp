#include "cli/CliSession.h"

#include "cli/InstrumentReport.h"
#include "session/ProgramDirectory.h"
#include "settings/SettingsStore.h"

#include <QFileInfo>

namespace ombrix::cli {

namespace {

// As in the window: after a key its screen is read without a whole pass's
// wait, unless the user's settings turn that off.
bool FastKeyResponseSetting() {
    settings::GlobalProfile profile;
    settings::SettingsStore().LoadProfile(profile);
    return profile.fastKeyResponse != 0;
}

} // namespace

CliSession::CliSession(CliContext& context, std::optional<link::Serial> serial)
    : context_(context), serial_(serial),
      connection_(context.backend, context.clock, context.claims),
      doc_(connection_, document::COmbrixDoc::Options{session::ProgramDirectory(),
                                                      serial,
                                                      serial.has_value(),
                                                      {},
                                                      FastKeyResponseSetting()}) {}

CliSession::Wait CliSession::waitUntil(const std::function<bool()>& done,
                                       std::chrono::milliseconds timeout) {
    const link::Ticks start = context_.clock.ticks();
    while (true) {
        doc_.OnTimer(document::DocumentTimer::Refresh);
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
        context_.clock.sleepFor(document::kRefreshTimerPeriod);
    }
}

CliSession::Wait CliSession::waitForModel(std::chrono::milliseconds timeout) {
    return waitUntil([this] { return !doc_.Model().model().hardwareName.isEmpty(); }, timeout);
}

bool CliSession::connect(std::string_view command) {
    constexpr std::chrono::seconds kConnectTimeout{10};
    if (const Wait outcome = waitForModel(kConnectTimeout); outcome != Wait::Done) {
        report(outcome, command, "no instrument model was loaded within 10 s");
        return false;
    }
    announce(command);
    return true;
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
    if (outcome == Wait::Done) {
        return;
    }
    doc_.StopThreads();
    switch (outcome) {
    case Wait::Done:
        return;
    case Wait::NoInstrument:
        err << "ombrix-cli " << command << ": "
            << DescribeMissingInstrument(serial_, connection_.LastProbes(),
                                         context_.deviceDirectory)
            << '\n';
        return;
    case Wait::ModelRefused:
        err << "ombrix-cli " << command << ": " << doc_.LoadError().toStdString() << '\n';
        return;
    case Wait::TimedOut:
        err << "ombrix-cli " << command << ": " << timeoutText << '\n';
        return;
    }
}

void CliSession::announce(std::string_view command) {
    const std::optional<session::ModelSelection> selection = doc_.SyncInfo().selection();
    if (!selection) {
        return;
    }
    const QString file =
        QFileInfo(QString::fromStdU16String(selection->modelPath.u16string())).fileName();
    context_.err << "ombrix-cli " << command << ": instrument " << selection->serial << " ("
                 << file.toStdString() << ")\n";
}

} // namespace ombrix::cli
