#pragma once

#include "SimProcess.h"
#include "link/Clock.h"
#include "link/LinkErrors.h"
#include "link/SocketBackend.h"
#include "link/UsbConnection.h"
#include "session/DataSource.h"

#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>

namespace ombrix::sim::testing {

// Runs ten times faster than real time, so the 4 s reply time-out passes in 0.4 s.
class FastClock final : public link::Clock {
public:
    static constexpr int kSpeedUp = 10;
    link::Ticks ticks() const override;
    void sleepFor(std::chrono::milliseconds duration) override;

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// The application's device link over the simulator's device directory.
struct AppLink {
    AppLink(const std::filesystem::path& directory, link::Clock& clock)
        : backend(directory), connection(backend, clock), source(connection) {}

    // Opens the instrument with this serial (or the lowest) and returns its serial.
    link::Serial open(std::optional<link::Serial> preferred = std::nullopt);
    bool listed(link::Serial serial) const { return connection.Devices().contains(serial); }

    link::SocketBackend backend;
    link::UsbConnection connection;
    session::DataSource source;
};

// The code of the DataSourceException the call throws, or nothing.
std::optional<std::int32_t> failureCode(const std::function<void()>& call);

} // namespace ombrix::sim::testing
