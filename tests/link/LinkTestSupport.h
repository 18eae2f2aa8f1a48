#pragma once

#include "doubles/ScriptedBackend.h"

#include <cstdint>
#include <string>

namespace ombrix::link::testing {

inline constexpr const char* kShortIdentification = ";#1,U?,N?;";
inline constexpr const char* kUsRequest = ";#7,US;";

// A scripted instrument that identifies itself as the refresh expects.
inline ScriptedDevice& addInstrument(ScriptedBackend& backend, const std::string& path,
                                     std::uint32_t serial, const std::string& unit = "745A",
                                     int usValue = 3) {
    ScriptedDevice& device = backend.addDevice(path);
    device.answer(kShortIdentification, "#1,U" + unit + ",N" + std::to_string(serial) + ";");
    device.answer(kUsRequest, "#7,US," + std::to_string(usValue) + ";");
    return device;
}

} // namespace ombrix::link::testing
