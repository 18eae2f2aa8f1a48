#include "LinkFixture.h"

#include <thread>

namespace ombrix::sim::testing {

link::Ticks FastClock::ticks() const {
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start_);
    return static_cast<link::Ticks>(elapsed.count() * kSpeedUp);
}

void FastClock::sleepFor(std::chrono::milliseconds duration) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(duration) / kSpeedUp);
}

link::Serial AppLink::open(std::optional<link::Serial> preferred) {
    std::optional<link::Serial> serial = preferred;
    EXPECT_TRUE(connection.OpenDevice(serial));
    EXPECT_TRUE(serial.has_value());
    return serial.value_or(0);
}

std::optional<std::int32_t> failureCode(const std::function<void()>& call) {
    try {
        call();
    } catch (const link::DataSourceException& error) {
        return error.code();
    }
    return std::nullopt;
}

} // namespace ombrix::sim::testing
