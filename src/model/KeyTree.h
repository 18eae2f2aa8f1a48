#pragma once

#include "model/MouseButton.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace ombrix::model {

// A node of a key prefix tree, used both as a tree's root and as the cursor that
// the next key is looked up in. Each key leads to the entries that pass through
// it, each with the keys it still needs, in the order the entries were added. In
// a sequence tree an entry passes through its keys in order; in a combination
// tree any of its keys may come next, so the keys may be pressed in any order.
class KeyTree {
public:
    enum class Order { Sequence, Combination };

    struct Step {
        bool matched = false;
        std::optional<std::uint8_t> code;
    };

    explicit KeyTree(Order order) : order_(order) {}

    // Adds an entry; an entry without keys can never be reached and is ignored.
    void insert(const std::vector<std::uint32_t>& keys, std::uint8_t code);

    // Moves this cursor on by `key`: it then holds the rest of every entry that
    // went through the key. An entry ending at the key gives its code; with the
    // left button the first such entry wins at once, with the right button only
    // while no entry continues, and any continuing entry withdraws a code found
    // before it.
    Step advance(std::uint32_t key, MouseButton button);

private:
    struct Branch {
        std::vector<std::uint32_t> rest;
        std::uint8_t code = 0;
    };

    Order order_;
    std::map<std::uint32_t, std::vector<Branch>> children_;
};

} // namespace ombrix::model
