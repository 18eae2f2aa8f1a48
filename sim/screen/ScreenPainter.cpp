#include "screen/ScreenPainter.h"

#include "screen/BitmapFont.h"
#include "screen/Theme.h"

#include <QPainter>
#include <algorithm>

namespace ombrix::sim {

namespace {

// A display lower than this gets the compact layout.
constexpr int kCompactHeight = 48;
// The value is laid out for this many characters, so its size does not jump.
constexpr int kValueCharacters = 6;
// Layout units of height below which no trend is drawn.
constexpr int kSmallestTrendHeight = 20;

} // namespace

struct ScreenPainter::Canvas {
    QPainter& painter;
    const Theme& theme;
    int width;
    int height;

    void fill(const QRect& rect, Role role) { painter.fillRect(rect, theme.colour(role)); }
    void text(int x, int y, std::string_view content, int scale, Role role) {
        BitmapFont::draw(painter, {x, y}, content, scale, theme.colour(role));
    }
};

ScreenPainter::ScreenPainter(const InstrumentModel& model, std::uint32_t serial)
    : model_(model), serial_(serial),
      unit_(std::max(1, std::min(model.width / 120, model.height / 60))),
      compact_(model.height < kCompactHeight) {}

int ScreenPainter::lineStep() const {
    return BitmapFont::kLineHeight * unit_ + unit_;
}

int ScreenPainter::headerHeight() const {
    return lineStep() + unit_;
}

QImage ScreenPainter::paint(const FrontPanel& panel) const {
    QImage image(model_.width, model_.height, QImage::Format_RGB32);
    const Theme theme(model_, panel.backlight());
    QPainter painter(&image);
    Canvas canvas{painter, theme, model_.width, model_.height};
    canvas.fill(image.rect(), Role::Background);
    switch (panel.page()) {
    case Page::Measure:
        paintMeasure(canvas, panel);
        break;
    case Page::Menu:
        paintMenu(canvas, panel);
        break;
    case Page::Range:
        paintRange(canvas, panel);
        break;
    case Page::SetPoint:
        paintSetPoint(canvas, panel);
        break;
    case Page::Info:
        paintInfo(canvas);
        break;
    }
    return image;
}

void ScreenPainter::paintHeader(Canvas& canvas, const std::string& left,
                                const std::string& right) const {
    canvas.text(2 * unit_, unit_, left, unit_, Role::Text);
    const int rightX = canvas.width - 2 * unit_ - BitmapFont::textWidth(right, unit_);
    canvas.text(rightX, unit_, right, unit_, Role::Label);
    canvas.fill(QRect(0, headerHeight() - unit_, canvas.width, unit_), Role::Label);
}

void ScreenPainter::paintMeasure(Canvas& canvas, const FrontPanel& panel) const {
    const Measurement& measurement = panel.measurement();
    const std::string status = panel.hold() ? "HOLD" : panel.rangeName(panel.rangeIndex());
    paintHeader(canvas, std::string(measurement.name()), status);
    if (compact_) {
        paintValue(canvas, panel, headerHeight(), canvas.height);
        return;
    }
    const int footerTop = canvas.height - BitmapFont::kLineHeight * unit_;
    const int barTop = footerTop - 6 * unit_;
    const int valueBottom = paintValue(canvas, panel, headerHeight() + unit_, barTop - unit_);
    if (barTop - valueBottom >= kSmallestTrendHeight * unit_) {
        paintTrend(canvas, panel.measurement(),
                   QRect(2 * unit_, valueBottom + 2 * unit_, canvas.width - 4 * unit_,
                         barTop - valueBottom - 4 * unit_));
    }
    paintBar(canvas, panel, barTop);
    const std::string setPoint = panel.setPoint() ? *panel.setPoint() : std::string("---");
    const Role setPointRole = panel.alarm() ? Role::Alert : Role::Label;
    canvas.text(2 * unit_, footerTop, "SET " + setPoint + " " + std::string(measurement.unit()),
                unit_, setPointRole);
}

int ScreenPainter::paintValue(Canvas& canvas, const FrontPanel& panel, int top, int bottom) const {
    const Measurement& measurement = panel.measurement();
    const std::string value = panel.overRange() ? "OL" : measurement.format(measurement.reading());
    const std::string unit(measurement.unit());
    const int unitScale = compact_ ? 1 : 2 * unit_;
    const int unitWidth = BitmapFont::textWidth(unit, unitScale);
    const int characters = std::max(kValueCharacters, static_cast<int>(value.size()));
    const int widthScale =
        (canvas.width - unitWidth - 5 * unit_) / (characters * BitmapFont::kAdvance);
    const int heightScale = (bottom - top) / BitmapFont::kLineHeight;
    const int scale = std::max(1, std::min(widthScale, heightScale));
    // Large displays keep the lower part for the trend.
    const int valueHeight = BitmapFont::kGlyphHeight * scale;
    const bool roomForTrend =
        bottom - top - valueHeight >= kSmallestTrendHeight * unit_ + 4 * unit_;
    const int glyphBottom =
        roomForTrend ? top + valueHeight + 2 * unit_ : top + (bottom - top + valueHeight) / 2;
    const int unitX = canvas.width - 2 * unit_ - unitWidth;
    const int valueX = unitX - 2 * unit_ - BitmapFont::textWidth(value, scale);
    const Role valueRole = panel.alarm() ? Role::Alert : Role::Value;
    canvas.text(valueX, glyphBottom - BitmapFont::kGlyphHeight * scale, value, scale, valueRole);
    canvas.text(unitX, glyphBottom - BitmapFont::kGlyphHeight * unitScale, unit, unitScale,
                Role::Label);
    return glyphBottom;
}

void ScreenPainter::paintTrend(Canvas& canvas, const Measurement& measurement,
                               const QRect& area) const {
    const auto& history = measurement.history();
    if (history.size() < 2) {
        return;
    }
    const auto [low, high] = std::minmax_element(history.begin(), history.end());
    const std::string highText = "MAX " + measurement.format(*high);
    const std::string lowText = "MIN " + measurement.format(*low);
    const int labelWidth =
        BitmapFont::textWidth(highText.size() > lowText.size() ? highText : lowText, unit_);
    const int labelX = area.right() + 1 - labelWidth;
    canvas.text(labelX, area.top(), highText, unit_, Role::Label);
    canvas.text(labelX, area.bottom() + 1 - BitmapFont::kGlyphHeight * unit_, lowText, unit_,
                Role::Label);
    const QRect plot(area.left(), area.top(), labelX - 3 * unit_ - area.left(), area.height());
    const std::int64_t span = std::max<std::int64_t>(*high - *low, 1);
    const auto yOf = [&](std::int64_t value) {
        return plot.bottom() - static_cast<int>((value - *low) * (plot.height() - 1) / span);
    };
    const auto xOf = [&](std::size_t index) {
        return plot.left() +
               static_cast<int>(index) * (plot.width() - 1) / static_cast<int>(history.size() - 1);
    };
    canvas.painter.setPen(QPen(canvas.theme.colour(Role::Bar), unit_));
    for (std::size_t index = 1; index < history.size(); ++index) {
        canvas.painter.drawLine(xOf(index - 1), yOf(history[index - 1]), xOf(index),
                                yOf(history[index]));
    }
}

void ScreenPainter::paintBar(Canvas& canvas, const FrontPanel& panel, int top) const {
    const Measurement& measurement = panel.measurement();
    const QRect frame(2 * unit_, top, canvas.width - 4 * unit_, 4 * unit_);
    canvas.painter.setPen(canvas.theme.colour(Role::Label));
    canvas.painter.drawRect(frame.adjusted(0, 0, -1, -1));
    const std::int64_t fullScale = measurement.fullScale();
    const std::int64_t reading = std::clamp<std::int64_t>(measurement.reading(), 0, fullScale);
    const auto inner = frame.adjusted(unit_, unit_, -unit_, -unit_);
    const auto filled = static_cast<int>(inner.width() * reading / fullScale);
    canvas.fill(QRect(inner.left(), inner.top(), filled, inner.height()),
                panel.alarm() ? Role::Alert : Role::Bar);
}

void ScreenPainter::paintList(Canvas& canvas, const std::vector<std::string>& rows,
                              std::size_t selected) const {
    const int listTop = headerHeight();
    const int rowHeight = lineStep();
    const auto visible =
        static_cast<std::size_t>(std::max(1, (canvas.height - listTop) / rowHeight));
    const std::size_t first = selected >= visible ? selected - visible + 1 : 0;
    for (std::size_t row = first; row < rows.size() && row < first + visible; ++row) {
        const int top = listTop + static_cast<int>(row - first) * rowHeight;
        const bool chosen = row == selected;
        if (chosen) {
            canvas.fill(QRect(0, top, canvas.width, rowHeight), Role::Highlight);
        }
        canvas.text(2 * unit_, top + unit_, rows[row], unit_,
                    chosen ? Role::HighlightText : Role::Text);
    }
}

void ScreenPainter::paintMenu(Canvas& canvas, const FrontPanel& panel) const {
    paintHeader(canvas, "MENU", "");
    std::vector<std::string> rows(kMenuItems.begin(), kMenuItems.end());
    rows[2] += panel.backlight() ? " ON" : " OFF";
    paintList(canvas, rows, panel.menuIndex());
}

void ScreenPainter::paintRange(Canvas& canvas, const FrontPanel& panel) const {
    paintHeader(canvas, "RANGE", std::string(panel.measurement().unit()));
    std::vector<std::string> rows;
    for (std::size_t index = 0; index < kRanges.size(); ++index) {
        rows.push_back((index == panel.rangeIndex() ? "* " : "  ") + panel.rangeName(index));
    }
    paintList(canvas, rows, panel.rangeCursor());
}

void ScreenPainter::paintSetPoint(Canvas& canvas, const FrontPanel& panel) const {
    paintHeader(canvas, "SET POINT", std::string(panel.measurement().unit()));
    const int entryScale = compact_ ? 1 : 2 * unit_;
    const int boxHeight = BitmapFont::kLineHeight * entryScale + 2 * unit_;
    const QRect box(2 * unit_, headerHeight() + 2 * unit_, canvas.width - 4 * unit_, boxHeight);
    canvas.painter.setPen(canvas.theme.colour(Role::Label));
    canvas.painter.drawRect(box.adjusted(0, 0, -1, -1));
    canvas.text(box.left() + 2 * unit_, box.top() + 2 * unit_, panel.entry() + "_", entryScale,
                Role::Value);
    if (!compact_) {
        const int hintTop = canvas.height - BitmapFont::kLineHeight * unit_;
        canvas.text(2 * unit_, hintTop, "ENTER OK  ESC BACK", unit_, Role::Label);
    }
}

void ScreenPainter::paintInfo(Canvas& canvas) const {
    paintHeader(canvas, "INFO", "");
    const Identification& id = model_.identification;
    const std::vector<std::string> lines{
        std::string(model_.hardwareName),
        "UNIT " + std::to_string(id.unitType) + std::string(id.letter),
        "FW " + std::string(id.firmware),
        "SN " + std::to_string(serial_),
    };
    for (std::size_t line = 0; line < lines.size(); ++line) {
        const int top = headerHeight() + unit_ + static_cast<int>(line) * lineStep();
        if (top + BitmapFont::kGlyphHeight * unit_ <= canvas.height) {
            canvas.text(2 * unit_, top, lines[line], unit_, Role::Text);
        }
    }
}

} // namespace ombrix::sim
