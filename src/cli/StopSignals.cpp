#include "cli/StopSignals.h"

#include <array>
#include <csignal>

namespace ombrix::cli {

namespace {

constexpr std::array kSignals = {SIGINT, SIGTERM, SIGHUP};

volatile std::sig_atomic_t stopRequested = 0;
std::array<struct sigaction, kSignals.size()> previous{};

void onStopSignal(int) {
    stopRequested = 1;
}

} // namespace

StopSignals::StopSignals() {
    stopRequested = 0;
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &action, &previous[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        ::sigaction(kSignals[i], &previous[i], nullptr);
    }
}

bool StopSignals::Received() const {
    return stopRequested != 0;
}

} // namespace ombrix::cli
