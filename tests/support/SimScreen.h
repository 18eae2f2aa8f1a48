#pragma once

#include "catalogue/InstrumentModel.h"

#include <QImage>
#include <cstdint>

namespace ombrix::testing {

// The pixel (0x00RRGGBB) the application should show for pixel (x, y) of the
// simulator's snapshot, in the default colours with the backlight off. Worked
// out from the simulator's model table, not from the application's code.
std::uint32_t ExpectedScreenPixel(const sim::InstrumentModel& model, const QImage& snapshot, int x,
                                  int y);

// How many display pixels of `screen` (a picture of the screen as the
// application draws it: a one-bit display below its icon panel) differ from
// what it should show for the snapshot.
int ScreenMismatches(const sim::InstrumentModel& model, const QImage& screen,
                     const QImage& snapshot);

} // namespace ombrix::testing
