#pragma once

#include "catalogue/InstrumentModel.h"
#include "screen/FrontPanel.h"

#include <QImage>
#include <QRect>
#include <cstdint>
#include <string>
#include <vector>

class QPainter;

namespace ombrix::sim {

class Theme;

// Draws the pages of the front panel as the instrument's display shows them.
// Sizes follow the display: one layout unit per 120 x 60 pixels, and a compact
// layout for displays too low for a header, a value and a footer.
class ScreenPainter {
public:
    ScreenPainter(const InstrumentModel& model, std::uint32_t serial);

    // A display-sized RGB image of the panel's current page.
    QImage paint(const FrontPanel& panel) const;

private:
    struct Canvas;

    void paintMeasure(Canvas& canvas, const FrontPanel& panel) const;
    // Returns the bottom edge of the value drawn.
    int paintValue(Canvas& canvas, const FrontPanel& panel, int top, int bottom) const;
    void paintTrend(Canvas& canvas, const Measurement& measurement, const QRect& area) const;
    void paintBar(Canvas& canvas, const FrontPanel& panel, int top) const;
    void paintMenu(Canvas& canvas, const FrontPanel& panel) const;
    void paintRange(Canvas& canvas, const FrontPanel& panel) const;
    void paintSetPoint(Canvas& canvas, const FrontPanel& panel) const;
    void paintInfo(Canvas& canvas) const;
    void paintHeader(Canvas& canvas, const std::string& left, const std::string& right) const;
    void paintList(Canvas& canvas, const std::vector<std::string>& rows,
                   std::size_t selected) const;
    // Height of a text line with its gap: a list row, a line of text.
    int lineStep() const;
    // Height of the title line with the rule under it.
    int headerHeight() const;

    const InstrumentModel& model_;
    std::uint32_t serial_;
    int unit_;
    bool compact_;
};

} // namespace ombrix::sim
