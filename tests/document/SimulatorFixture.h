#pragma once

#include "LiveSession.h"
#include "SimProcess.h"
#include "SimRecord.h"

#include <QImage>
#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::document::testing {

// The simulator's port the tests use: the first and only one.
inline constexpr int kPort = 1;

// Tests of the document over one instrument of ombrix-sim, which each test
// starts itself on a private device directory.
class SimulatorFixture : public ::testing::Test {
protected:
    // The simulator with the given models and options, then the document over it.
    void start(const QStringList& simArguments, COmbrixDoc::Hooks hooks = {});

    LiveSession& session() { return *session_; }
    COmbrixDoc& document() { return session_->document(); }
    sim::testing::SimProcess& sim() { return *sim_; }
    sim::testing::SimRecord record() const { return {sim_->recordPath(), kPort}; }
    // The screen the instrument sends with its next "#7,SC;".
    QImage snapshot();
    // The worker sent no status request for a second: a poll that was under
    // way when polling was switched off has finished.
    ::testing::AssertionResult waitForPollsToStop();

private:
    QTemporaryDir scratch_;
    std::optional<sim::testing::SimProcess> sim_;
    std::optional<LiveSession> session_;
};

// Arguments that start the model of this key with its screen frozen, so it
// changes only when a key is pressed; a one-bit screen with the backlight off,
// so its colours are the default paper and ink.
QStringList frozenModel(std::string_view key);

// The bytes of a key press as the instrument must receive them.
std::string keyCommand(std::uint8_t code);

} // namespace ombrix::document::testing
