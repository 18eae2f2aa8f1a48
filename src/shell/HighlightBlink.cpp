#include "shell/HighlightBlink.h"

namespace ombrix::shell {

// A cyclic blink with no period has nothing to wrap in: it stays at 0, which is
// not below the period, so its rings go at the first tick.
void HighlightBlink::Advance() {
    elapsed_ += kStep;
    if (cyclic_) {
        elapsed_ = period_.count() > 0 ? elapsed_ % period_ : std::chrono::milliseconds(0);
    }
}

} // namespace ombrix::shell
