#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace ombrix::model {

// A computer key that presses an instrument key, the same for every model. Key
// tables and this table speak Windows virtual-key numbers.
struct ComputerKey {
    std::uint32_t instrumentCode;
    std::uint32_t virtualKey;
};

inline constexpr std::array<ComputerKey, 8> computerKeys = {{
    {0x61, 0x0D}, // Enter
    {0x62, 0x1B}, // Esc
    {0x65, 0x25}, // Left
    {0x66, 0x26}, // Up
    {0x67, 0x27}, // Right
    {0x68, 0x28}, // Down
    {0x69, 0x10}, // Shift
    {0x49, 0x12}, // Alt
}};

// The instrument code a computer key presses: the one it is paired with.
std::optional<std::uint32_t> instrumentCodeForComputerKey(std::uint32_t virtualKey);

// The Windows virtual-key number of a Qt key (a Qt::Key value): letters, digits,
// F1 to F24 and the named keys a keyboard commonly has; nothing for the rest.
std::optional<std::uint32_t> virtualKeyFromQtKey(int qtKey);

} // namespace ombrix::model
