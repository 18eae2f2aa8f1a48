#pragma once

#include <cstdint>
#include <vector>

namespace ombrix::model {

// One entry of a key table: the key codes it names, in file order, and the code
// it sends.
struct KeyEntry {
    std::vector<std::uint32_t> keys;
    std::uint8_t code = 0;

    friend bool operator==(const KeyEntry&, const KeyEntry&) = default;
};

} // namespace ombrix::model
