#pragma once

#include <QImage>
#include <array>

namespace ombrix::data {

// The status icons of a monochrome display: three strips of full-width panel
// bands, one icon per band, black on white, and the empty panel.
class IconStrips {
public:
    static constexpr std::array<int, 3> kBandCounts{14, 16, 16};

    IconStrips(int displayWidth, int panelHeight);

    const QImage& strip(std::size_t index) const { return strips_.at(index); }
    const QImage& emptyPanel() const { return emptyPanel_; }

private:
    QImage drawStrip(std::size_t stripIndex) const;
    void drawIcon(QImage& strip, std::size_t stripIndex, int band) const;

    int width_;
    int panelHeight_;
    std::array<QImage, 3> strips_;
    QImage emptyPanel_;
};

} // namespace ombrix::data
