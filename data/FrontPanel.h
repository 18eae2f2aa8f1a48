#pragma once

#include "SampleKeys.h"
#include "base/Rect.h"
#include "catalogue/InstrumentModel.h"
#include "model/KeyButton.h"

#include <QImage>
#include <QRect>
#include <vector>

namespace ombrix::data {

// The front-panel picture of a sample model: a handheld case with the display
// window and the keypad, and where each key and the display were drawn.
class FrontPanel {
public:
    explicit FrontPanel(const sim::InstrumentModel& model);

    const QImage& image() const { return image_; }
    const base::Rect& display() const { return display_; }
    const std::vector<model::KeyButton>& buttons() const { return buttons_; }

private:
    void layOut(const sim::InstrumentModel& model);
    void paintCase(QPainter& painter, const sim::InstrumentModel& model) const;
    void paintDisplay(QPainter& painter) const;
    void paintKey(QPainter& painter, const SampleKey& key, const QRect& rect) const;

    QImage image_;
    base::Rect display_;
    std::vector<model::KeyButton> buttons_;
};

} // namespace ombrix::data
