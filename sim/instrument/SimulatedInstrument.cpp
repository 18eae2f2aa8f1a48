#include "instrument/SimulatedInstrument.h"

#include "screen/StatusIcons.h"

namespace ombrix::sim {

SimulatedInstrument::SimulatedInstrument(const InstrumentModel& model, std::uint32_t serial)
    : model_(model), serial_(serial), panel_(model.keys, serial), screen_(model, serial) {
    screen_.update(panel_);
}

void SimulatedInstrument::tick() {
    panel_.tick();
    screen_.update(panel_);
}

void SimulatedInstrument::onConnected() {
    screen_.forgetSentFrame();
}

std::optional<Bytes> SimulatedInstrument::answer(const Command& command,
                                                 const FaultSettings& faults) {
    if (faults.stalled) {
        return std::nullopt;
    }
    if (command.kind == CommandKind::Key) {
        pressKey(command.keyCode);
        return std::nullopt;
    }
    Bytes reply = faults.unsupported.contains(command.kind) ? encodeNotSupported()
                                                            : replyTo(command.kind, faults);
    const auto cut = faults.cutAfter.find(command.kind);
    if (cut != faults.cutAfter.end() && cut->second < reply.size()) {
        reply.resize(cut->second);
    }
    return reply;
}

void SimulatedInstrument::pressKey(std::uint8_t code) {
    if (panel_.pressKey(code)) {
        screen_.update(panel_);
    }
}

Bytes SimulatedInstrument::replyTo(CommandKind kind, const FaultSettings& faults) {
    switch (kind) {
    case CommandKind::Identify:
    case CommandKind::ShortIdentify:
    case CommandKind::UsValue:
        return identificationReply(kind, faults);
    case CommandKind::ScreenParameters:
    case CommandKind::Palette:
    case CommandKind::Status:
        return screenRequestReply(kind);
    case CommandKind::Icons:
        return iconReply();
    case CommandKind::Screen:
        return screen_.takeFrame();
    case CommandKind::Key:
        break;
    }
    return {};
}

Bytes SimulatedInstrument::identificationReply(CommandKind kind,
                                               const FaultSettings& faults) const {
    const Identification& id = model_.identification;
    if (kind == CommandKind::UsValue) {
        return id.usValue ? encodeUsValue(*id.usValue) : encodeNotSupported();
    }
    if (faults.garbageIdentification) {
        return encodeGarbageIdentification();
    }
    return kind == CommandKind::Identify ? encodeIdentification(id, serial_)
                                         : encodeShortIdentification(id, serial_);
}

Bytes SimulatedInstrument::screenRequestReply(CommandKind kind) const {
    if (!model_.knowsScreenRequests) {
        return encodeNotSupported();
    }
    if (kind == CommandKind::ScreenParameters) {
        return encodeScreenParameters(model_);
    }
    if (kind == CommandKind::Palette) {
        return encodePalette(model_.palette);
    }
    return encodeStatus(statusWord(panel_, screen_.hasNewContent()));
}

Bytes SimulatedInstrument::iconReply() const {
    if (!model_.knowsIconRequest) {
        return encodeNotSupported();
    }
    return encodeIcons(iconWords(panel_, screen_.hasNewContent(), model_.iconPanelHeight > 0));
}

} // namespace ombrix::sim
