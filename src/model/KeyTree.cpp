#include "model/KeyTree.h"

#include <algorithm>

namespace ombrix::model {

void KeyTree::insert(const std::vector<std::uint32_t>& keys, std::uint8_t code) {
    if (keys.empty()) {
        return;
    }
    if (order_ == Order::Sequence) {
        children_[keys.front()].push_back({{keys.begin() + 1, keys.end()}, code});
        return;
    }
    std::vector<std::uint32_t> set = keys;
    std::sort(set.begin(), set.end());
    set.erase(std::unique(set.begin(), set.end()), set.end());
    for (std::size_t i = 0; i < set.size(); ++i) {
        std::vector<std::uint32_t> rest;
        rest.reserve(set.size() - 1);
        rest.insert(rest.end(), set.begin(), set.begin() + static_cast<std::ptrdiff_t>(i));
        rest.insert(rest.end(), set.begin() + static_cast<std::ptrdiff_t>(i) + 1, set.end());
        children_[set[i]].push_back({std::move(rest), code});
    }
}

KeyTree::Step KeyTree::advance(std::uint32_t key, MouseButton button) {
    const auto found = children_.find(key);
    if (found == children_.end()) {
        children_.clear();
        return {};
    }
    const std::vector<Branch> branches = std::move(found->second);
    children_.clear();
    Step step{true, std::nullopt};
    for (const Branch& branch : branches) {
        if (!branch.rest.empty()) {
            insert(branch.rest, branch.code);
            step.code.reset();
        } else if (button == MouseButton::Left) {
            step.code = branch.code;
            break;
        } else if (children_.empty()) {
            step.code = branch.code;
        }
    }
    return step;
}

} // namespace ombrix::model
