#include "SimulatorFixture.h"

#include "catalogue/ModelCatalogue.h"

#include <chrono>

namespace ombrix::document::testing {

namespace {

constexpr std::chrono::milliseconds kQuietPeriod{1000};

} // namespace

void SimulatorFixture::start(const QStringList& simArguments, COmbrixDoc::Hooks hooks) {
    sim_.emplace(simArguments);
    session_.emplace(sim_->deviceDirectory(), std::move(hooks));
}

QImage SimulatorFixture::snapshot() {
    const QString path = scratch_.filePath("snapshot.png");
    sim_->controlOk("snapshot " + std::to_string(kPort) + " " + path.toStdString());
    return QImage(path);
}

::testing::AssertionResult SimulatorFixture::waitForPollsToStop() {
    std::size_t polls = record().polls();
    auto lastPoll = std::chrono::steady_clock::now();
    return session_->waitUntil("a second without polls", [&] {
        const auto now = std::chrono::steady_clock::now();
        if (const std::size_t seen = record().polls(); seen != polls) {
            polls = seen;
            lastPoll = now;
        }
        return now - lastPoll >= kQuietPeriod;
    });
}

QStringList frozenModel(std::string_view key) {
    const sim::InstrumentModel& model = *sim::findModel(key);
    QStringList arguments{"--do", "freeze all on", QString::fromUtf8(key.data(), std::ssize(key))};
    if (model.bitsPerPixel == 1) {
        arguments += {"--do", QString("key %1 %2").arg(kPort).arg(model.keys.backlight)};
    }
    return arguments;
}

std::string keyCommand(std::uint8_t code) {
    return std::string(";#0,") + static_cast<char>(code) + ";";
}

} // namespace ombrix::document::testing
