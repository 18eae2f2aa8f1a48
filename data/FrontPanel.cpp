#include "FrontPanel.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace ombrix::data {

namespace {

constexpr int kMargin = 36;      // case edge to bezel
constexpr int kBezel = 14;       // bezel around the display glass
constexpr int kBrandHeight = 44; // strip between display and keypad with the name
constexpr int kKeyHeight = 40;
constexpr int kKeyGap = 12;
constexpr int kBlockGap = 28; // between the navigation block and the numeric pad
constexpr int kMinimumWidth = 440;
constexpr int kCornerRadius = 40;

// Small displays are shown twice their size so that they read well on a monitor.
int displayScale(const sim::InstrumentModel& model) {
    return model.width <= 160 ? 2 : 1;
}

base::Rect toPictureRect(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect toQRect(const base::Rect& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

} // namespace

FrontPanel::FrontPanel(const sim::InstrumentModel& model) {
    layOut(model);
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing);
    paintCase(painter, model);
    paintDisplay(painter);
    const std::vector<SampleKey> keys = SampleKeys(model.keys);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        paintKey(painter, keys[i], toQRect(buttons_[i].rect));
    }
}

void FrontPanel::layOut(const sim::InstrumentModel& model) {
    const int scale = displayScale(model);
    const int displayWidth = model.width * scale;
    const int displayHeight = (model.height + model.iconPanelHeight) * scale;
    const int width = std::max(kMinimumWidth, displayWidth + 2 * (kMargin + kBezel));
    const int displayLeft = (width - displayWidth) / 2;
    const int displayTop = kMargin + kBezel;
    display_ = toPictureRect({displayLeft, displayTop, displayWidth, displayHeight});

    const int keypadTop = display_.bottom + kBezel + kBrandHeight;
    const int keypadWidth = width - 2 * kMargin;
    const int keyWidth =
        (keypadWidth - kBlockGap - (kKeypadColumns - 2) * kKeyGap) / kKeypadColumns;
    const int keypadHeight = kKeypadRows * (kKeyHeight + kKeyGap) - kKeyGap;
    image_ = QImage(width, keypadTop + keypadHeight + kMargin, QImage::Format_RGB32);
    image_.fill(Qt::white);

    for (const SampleKey& key : SampleKeys(model.keys)) {
        const int blockShift = key.column >= kKeypadColumns / 2 ? kBlockGap - kKeyGap : 0;
        const QRect rect(kMargin + key.column * (keyWidth + kKeyGap) + blockShift,
                         keypadTop + key.row * (kKeyHeight + kKeyGap), keyWidth, kKeyHeight);
        buttons_.push_back({toPictureRect(rect), key.code, key.name});
    }
}

void FrontPanel::paintCase(QPainter& painter, const sim::InstrumentModel& model) const {
    const QRectF body = QRectF(image_.rect()).adjusted(2, 2, -2, -2);
    QLinearGradient shell(body.topLeft(), body.bottomLeft());
    shell.setColorAt(0, QColor(78, 84, 92));
    shell.setColorAt(1, QColor(44, 48, 54));
    painter.setPen(QPen(QColor(24, 26, 30), 3));
    painter.setBrush(shell);
    painter.drawRoundedRect(body, kCornerRadius, kCornerRadius);

    const QRect glass = toQRect(display_).adjusted(-kBezel, -kBezel, kBezel, kBezel);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(20, 22, 26));
    painter.drawRoundedRect(glass, 10, 10);

    const QRect brand(kMargin, glass.bottom() + 1, image_.width() - 2 * kMargin, kBrandHeight);
    painter.setPen(QColor(220, 224, 230));
    painter.setFont(QFont("DejaVu Sans", 13, QFont::Bold));
    painter.drawText(brand, Qt::AlignLeft | Qt::AlignVCenter, "ORMA");
    painter.setFont(QFont("DejaVu Sans", 10));
    painter.drawText(brand, Qt::AlignRight | Qt::AlignVCenter,
                     QString::fromUtf8(model.hardwareName.data(),
                                       static_cast<qsizetype>(model.hardwareName.size())));
}

void FrontPanel::paintDisplay(QPainter& painter) const {
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(186, 200, 170));
    painter.drawRect(toQRect(display_));
}

void FrontPanel::paintKey(QPainter& painter, const SampleKey& key, const QRect& rect) const {
    const bool numeric = key.column >= kKeypadColumns / 2;
    QLinearGradient face(rect.topLeft(), rect.bottomLeft());
    face.setColorAt(0, numeric ? QColor(236, 238, 240) : QColor(120, 160, 210));
    face.setColorAt(1, numeric ? QColor(196, 200, 206) : QColor(70, 110, 170));
    painter.setPen(QPen(QColor(18, 20, 24), 1.5));
    painter.setBrush(face);
    painter.drawRoundedRect(QRectF(rect).adjusted(1, 1, -1, -1), 8, 8);
    painter.setPen(numeric ? QColor(30, 32, 36) : QColor(250, 250, 250));
    painter.setFont(QFont("DejaVu Sans", key.label.size() > 3 ? 8 : 11, QFont::Bold));
    painter.drawText(rect, Qt::AlignCenter, key.label);
}

} // namespace ombrix::data
