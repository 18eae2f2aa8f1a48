#include "shell/CColorButton.h"

#include <QPainter>
#include <QPalette>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace ombrix::shell {

namespace {

constexpr QSize kMinimumSize{64, 24};

} // namespace

QColor ToQColor(base::ColorRef color) {
    return QColor::fromRgb(base::ToPixel(color));
}

base::ColorRef FromQColor(const QColor& color) {
    return base::ToColorRef(color.rgb() & RGB_MASK);
}

// Until told otherwise it has the colour of button faces.
CColorButton::CColorButton(QWidget* parent)
    : QPushButton(parent), color_(FromQColor(palette().color(QPalette::Button))) {
    setMinimumSize(kMinimumSize);
}

void CColorButton::SetColor(base::ColorRef color) {
    color_ = color;
    repaint();
}

// The keyboard's place is still shown: the colour alone would hide it.
void CColorButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    painter.fillRect(rect(), ToQColor(color_));
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        focus.backgroundColor = ToQColor(color_);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

} // namespace ombrix::shell
