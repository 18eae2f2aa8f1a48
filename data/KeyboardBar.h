#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace ombrix::data {

// The keyboard bar's image strip: one square image per bar key, side by side.
class KeyboardBar {
public:
    static constexpr int kImageSize = 48;

    explicit KeyboardBar(const std::vector<QString>& labels);

    const QImage& image() const { return image_; }

private:
    void paintImage(QPainter& painter, int position, const QString& label) const;

    QImage image_;
};

} // namespace ombrix::data
