#include "model/KeyMatcher.h"

namespace ombrix::model {

namespace {

// When both trees expect the key, the left button takes the sequence's code
// (else the combination's), while the right button lets a sequence that can go
// on win, and otherwise takes the combination's code.
std::optional<std::uint8_t> chooseCode(const KeyTree::Step& sequence,
                                       const KeyTree::Step& combination, MouseButton button) {
    if (!combination.matched) {
        return sequence.code;
    }
    if (!sequence.matched) {
        return combination.code;
    }
    if (button == MouseButton::Left) {
        return sequence.code ? sequence.code : combination.code;
    }
    return sequence.code ? combination.code : std::nullopt;
}

} // namespace

KeyMatcher::KeyMatcher()
    : sequenceTree_(KeyTree::Order::Sequence), combinationTree_(KeyTree::Order::Combination),
      sequenceCursor_(sequenceTree_), combinationCursor_(combinationTree_) {}

KeyMatcher::KeyMatcher(const KeyTables& tables) : KeyMatcher() {
    for (const KeyEntry& entry : tables.sequences) {
        sequenceTree_.insert(entry.keys, entry.code);
    }
    for (const KeyEntry& entry : tables.combinations) {
        combinationTree_.insert(entry.keys, entry.code);
    }
    holdKeys_ = tables.holdKeys;
    Rest();
}

PressResult KeyMatcher::Press(std::uint32_t key, MouseButton button) {
    if (pressedKeys_.empty()) {
        const auto hold = holdKeys_.find(key);
        pendingHold_ =
            hold == holdKeys_.end() ? std::nullopt : std::optional<HoldKey>({key, hold->second});
    }
    const KeyTree::Step sequence = sequenceCursor_.advance(key, button);
    const KeyTree::Step combination = combinationCursor_.advance(key, button);
    if (!sequence.matched && !combination.matched) {
        Rest();
        return {};
    }
    pressedKeys_.push_back(key);
    return {pressedKeys_, chooseCode(sequence, combination, button)};
}

void KeyMatcher::ClearHold() {
    pendingHold_.reset();
}

std::optional<HoldKey> KeyMatcher::TakeHold() {
    const std::optional<HoldKey> hold = pendingHold_;
    pendingHold_.reset();
    if (hold) {
        Rest();
    }
    return hold;
}

void KeyMatcher::Rest() {
    sequenceCursor_ = sequenceTree_;
    combinationCursor_ = combinationTree_;
    pressedKeys_.clear();
}

} // namespace ombrix::model
