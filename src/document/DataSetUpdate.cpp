#include "document/DataSetUpdate.h"

#include "document/DocumentDataSet.h"

namespace ombrix::document {

namespace {

// What the screen shows of the icon state: the icons and, on a one-bit screen,
// the backlight colours. The new-screen bit changes on every poll and shows
// nothing.
bool iconsOrBacklightDiffer(const session::IconState& a, const session::IconState& b) {
    return a.iconWords != b.iconWords ||
           ((a.StatusWord ^ b.StatusWord) & session::kStatusBacklight) != 0;
}

template <typename Value> bool assignChanged(Value& target, const Value& source) {
    if (target == source) {
        return false;
    }
    target = source;
    return true;
}

} // namespace

bool MergeUpdate(DataSetUpdate& update, DocumentDataSet& dataSet) {
    bool redraw = false;
    if (update.mask & DataSetUpdate::kIdentification) {
        dataSet.identification = update.identification;
    }
    if (update.mask & DataSetUpdate::kDisplayParameters) {
        redraw |= assignChanged(dataSet.displayParameters, update.displayParameters);
    }
    if (update.mask & DataSetUpdate::kPalette) {
        redraw |= assignChanged(dataSet.palette, update.palette);
    }
    if (update.mask & DataSetUpdate::kIconState) {
        redraw |= iconsOrBacklightDiffer(dataSet.iconState, update.iconState);
        dataSet.iconState = update.iconState;
    }
    // Bytes read for another model's screen would be drawn as noise; the next
    // poll reads a whole screen of the new size. Bytes equal to those shown draw
    // nothing new. Swapped rather than copied: the update's bytes are only ever
    // used when fresh, and the next read replaces them.
    const bool screenFits = update.screenGeometry == dataSet.geometry;
    if (update.freshScreen && screenFits && !update.screenBytes.empty() &&
        update.screenBytes != dataSet.screenBytes) {
        dataSet.screenBytes.swap(update.screenBytes);
        redraw = true;
    }
    update.freshScreen = false;
    if (!redraw || dataSet.screenBytes.empty() || dataSet.screenImage.IsEmpty()) {
        return false;
    }
    RedrawScreen(dataSet);
    return true;
}

} // namespace ombrix::document
