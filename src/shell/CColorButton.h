#pragma once

#include "base/Colors.h"

#include <QPushButton>

namespace ombrix::shell {

// A button that is all one colour: the colour it stands for, no text.
class CColorButton : public QPushButton {
    Q_OBJECT

public:
    explicit CColorButton(QWidget* parent = nullptr);

    base::ColorRef Color() const { return color_; }
    // Repaints at once.
    void SetColor(base::ColorRef color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    base::ColorRef color_;
};

// A colour reference as Qt paints it, and back.
QColor ToQColor(base::ColorRef color);
base::ColorRef FromQColor(const QColor& color);

} // namespace ombrix::shell
