#pragma once

#include "catalogue/InstrumentModel.h"
#include "instrument/FaultSettings.h"
#include "protocol/Command.h"
#include "protocol/ReplyEncoder.h"
#include "screen/FrontPanel.h"
#include "screen/LiveScreen.h"

#include <cstdint>
#include <optional>

namespace ombrix::sim {

// One instrument of a model: its identity, its front panel and live screen.
// Answers each request with the bytes to send back, shaped by the injected faults.
class SimulatedInstrument {
public:
    SimulatedInstrument(const InstrumentModel& model, std::uint32_t serial);

    // The reply to a request, or nothing (key presses, a stalled instrument).
    std::optional<Bytes> answer(const Command& command, const FaultSettings& faults);

    // One half-second step of the measurement.
    void tick();
    // A host connected: it has not seen the screen yet.
    void onConnected();

    const InstrumentModel& model() const { return model_; }
    std::uint32_t serial() const { return serial_; }
    const FrontPanel& panel() const { return panel_; }
    // The screen the next "#7,SC;" sends, as a picture (see FrameSnapshot).
    QImage snapshot() const { return screen_.snapshot(); }

private:
    Bytes replyTo(CommandKind kind, const FaultSettings& faults);
    Bytes identificationReply(CommandKind kind, const FaultSettings& faults) const;
    Bytes screenRequestReply(CommandKind kind) const;
    Bytes iconReply() const;
    void pressKey(std::uint8_t code);

    const InstrumentModel& model_;
    std::uint32_t serial_;
    FrontPanel panel_;
    LiveScreen screen_;
};

} // namespace ombrix::sim
