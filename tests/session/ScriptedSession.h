#pragma once

#include "doubles/ScriptedBackend.h"
#include "link/LinkErrors.h"
#include "session/DataSource.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <string_view>

namespace ombrix::session::testing {

// A binary block reply: header, 16-bit little-endian length, payload.
inline std::string Block(std::string_view header, std::string_view payload) {
    std::string reply(header);
    reply.push_back(static_cast<char>(payload.size() & 0xFF));
    reply.push_back(static_cast<char>(payload.size() >> 8));
    reply.append(payload);
    return reply;
}

inline std::string Block(std::string_view header, const Bytes& payload) {
    return Block(header,
                 std::string_view(reinterpret_cast<const char*>(payload.data()), payload.size()));
}

// A data source over scripted instruments on a manual clock, for request tests.
class ScriptedSession : public ::testing::Test {
protected:
    link::ManualClock clock;
    link::ScriptedBackend backend{clock};
    link::UsbConnection connection{backend, clock};
    DataSource source{connection};

    // An instrument that identifies itself during the device refresh.
    link::ScriptedDevice& addInstrument(const std::string& path, link::Serial serial,
                                        int usValue = 0) {
        return backend.addInstrument(path, serial, "745A", usValue);
    }

    void open(link::Serial serial) {
        std::optional<link::Serial> opened = serial;
        ASSERT_TRUE(connection.OpenDevice(opened));
        ASSERT_EQ(opened, serial);
    }

    bool deviceOpen(link::Serial serial) const { return connection.Devices().contains(serial); }

    // The code of the DataSourceException the operation raises; -1 when none.
    template <typename Operation> std::int32_t failureCode(Operation operation) {
        try {
            operation();
        } catch (const link::DataSourceException& e) {
            return e.code();
        }
        return -1;
    }
};

} // namespace ombrix::session::testing
