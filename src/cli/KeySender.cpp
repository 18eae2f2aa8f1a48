#include "cli/KeySender.h"

#include <cstdio>

namespace ombrix::cli {

// A code is only handed over while the instrument is connected: an instrument
// lost meanwhile is waited for (the session takes no other in its place), a
// code stored while none is would be dropped.
bool KeySender::send(std::uint8_t code) {
    document::COmbrixDoc& doc = session_.document();
    const std::uint32_t sentBefore = doc.SentKeys();
    const std::uint32_t failedBefore = doc.FailedKeys();
    const CliSession::Wait connected =
        session_.waitUntil([&] { return doc.CanSendKeys(); }, document::kKeySendTimeout);
    if (connected != CliSession::Wait::Done || !doc.StoreKey(code)) {
        session_.report(CliSession::Wait::TimedOut, command_,
                        "the instrument was lost: a key code could not be sent");
        return false;
    }
    const auto done = [&] {
        return doc.SentKeys() != sentBefore || doc.FailedKeys() != failedBefore;
    };
    const CliSession::Wait outcome = session_.waitUntil(done, document::kKeySendTimeout);
    if (outcome != CliSession::Wait::Done || doc.SentKeys() == sentBefore) {
        session_.report(CliSession::Wait::TimedOut, command_, "a key code could not be sent");
        return false;
    }
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", code);
    out_ << text << '\n';
    return true;
}

} // namespace ombrix::cli
