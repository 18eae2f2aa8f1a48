#pragma once

#include "SimProcess.h"
#include "link/Clock.h"
#include "link/SocketBackend.h"
#include "link/UsbConnection.h"
#include "session/DataSource.h"

#include <gtest/gtest.h>
#include <optional>

namespace ombrix::sim::testing {

// The application's device link over the simulator's device directory.
struct AppLink {
    AppLink(const std::filesystem::path& directory, link::Clock& clock)
        : backend(directory), connection(backend, clock), source(connection) {}

    // Opens the instrument with this serial (or the lowest) and returns its serial.
    link::Serial open(std::optional<link::Serial> preferred = std::nullopt) {
        EXPECT_TRUE(connection.OpenDevice(preferred));
        return preferred.value_or(0);
    }
    bool listed(link::Serial serial) const { return connection.Devices().contains(serial); }

    link::SocketBackend backend;
    link::UsbConnection connection;
    session::DataSource source;
};

} // namespace ombrix::sim::testing
