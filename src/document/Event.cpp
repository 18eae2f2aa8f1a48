#include "document/Event.h"

namespace ombrix::document {

namespace {

// Step of every wait on an event, the reader's poll interval of the link.
constexpr std::chrono::milliseconds kEventPoll{10};

} // namespace

bool Event::waitFor(link::Clock& clock, std::chrono::milliseconds timeout) const {
    const link::Ticks start = clock.ticks();
    while (!isSet()) {
        if (link::elapsedSince(start, clock.ticks()) >= static_cast<link::Ticks>(timeout.count())) {
            return false;
        }
        clock.sleepFor(kEventPoll);
    }
    return true;
}

} // namespace ombrix::document
