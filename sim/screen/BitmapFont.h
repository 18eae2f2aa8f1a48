#pragma once

#include <QColor>
#include <QPoint>
#include <string_view>

class QPainter;

namespace ombrix::sim {

// The instrument's own 5 x 7 dot font, drawn as whole pixels: no smoothing, so
// every drawn pixel has exactly the colour asked for, as on a real LCD.
class BitmapFont {
public:
    static constexpr int kGlyphWidth = 5;
    static constexpr int kGlyphHeight = 7;
    static constexpr int kAdvance = 6;    // glyph and one column of space
    static constexpr int kLineHeight = 8; // glyph and one row of space

    // Draws text (upper-cased; characters without a glyph show as "?") with its
    // top-left corner at `origin`, each dot `scale` pixels square.
    static void draw(QPainter& painter, QPoint origin, std::string_view text, int scale,
                     QColor colour);

    static int textWidth(std::string_view text, int scale);
};

} // namespace ombrix::sim
