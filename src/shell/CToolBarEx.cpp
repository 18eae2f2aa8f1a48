#include "shell/CToolBarEx.h"

#include "shell/Artwork.h"

#include <QPixmap>

namespace ombrix::shell {

namespace {

constexpr int kButtonExtraWidth = 7;
constexpr int kButtonExtraHeight = 6;

// The image with the mask colour made transparent; an image with an alpha
// channel keeps it. A 24-bit file loads as 32 bits without alpha: it is masked.
QImage masked(const QImage& image, QRgb maskColour) {
    if (image.hasAlphaChannel()) {
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = maskColour & RGB_MASK;
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] & RGB_MASK) == key) {
                line[x] = 0;
            }
        }
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

bool usableDepth(const QImage& strip) {
    switch (strip.depth()) {
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

std::vector<QIcon> iconsFrom(const std::vector<QImage>& images,
                             const std::vector<QImage>& images2x) {
    std::vector<QIcon> icons;
    for (std::size_t i = 0; i < images.size(); ++i) {
        QIcon icon(QPixmap::fromImage(images[i]));
        if (i < images2x.size()) {
            QPixmap sharp = QPixmap::fromImage(images2x[i]);
            sharp.setDevicePixelRatio(2.0);
            icon.addPixmap(sharp);
        }
        icons.push_back(icon);
    }
    return icons;
}

} // namespace

std::vector<QImage> SplitStrip(const QImage& strip, int size, QRgb maskColour) {
    if (size <= 0 || strip.isNull() || !usableDepth(strip) || strip.width() < size) {
        return {};
    }
    const QImage transparent = masked(strip, maskColour);
    std::vector<QImage> images;
    for (int x = 0; x + size <= strip.width(); x += size) {
        images.push_back(transparent.copy(x, 0, size, strip.height()));
    }
    return images;
}

CToolBarEx::CToolBarEx(const QString& title, QWidget* parent) : QToolBar(title, parent) {
    setToolButtonStyle(Qt::ToolButtonIconOnly);
}

bool CToolBarEx::SetImages(int size, const QImage& strip, QRgb maskColour, const QImage& strip2x) {
    const std::vector<QImage> images = SplitStrip(strip, size, maskColour);
    const std::vector<QImage> images2x =
        strip2x.isNull() ? std::vector<QImage>{} : SplitStrip(strip2x, 2 * size, maskColour);
    if (images.empty() || (!strip2x.isNull() && images2x.size() != images.size())) {
        return false;
    }
    images_ = iconsFrom(images, images2x);
    setIconSize({size, strip.height()});
    buttonSize_ = {size + kButtonExtraWidth, strip.height() + kButtonExtraHeight};
    applyButtonSize();
    return true;
}

void CToolBarEx::SetButtons(const std::vector<ToolbarButton>& buttons) {
    clear();
    for (const ToolbarButton& button : buttons) {
        if (button.image >= 0 && button.image < ImageCount()) {
            button.action->setIcon(images_[static_cast<std::size_t>(button.image)]);
        }
        addAction(button.action);
    }
    applyButtonSize();
}

void CToolBarEx::ShowButtonTexts() {
    texts_ = true;
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    applyButtonSize();
}

QSize CToolBarEx::ItemSize(int index) const {
    const QList<QAction*> all = actions();
    if (index < 0 || index >= all.size()) {
        return {};
    }
    const QWidget* button = widgetForAction(all[index]);
    return button != nullptr ? button->size() : QSize();
}

// Each button is named after its action, for tests and screen readers.
void CToolBarEx::applyButtonSize() {
    for (QAction* action : actions()) {
        QWidget* button = widgetForAction(action);
        if (button == nullptr) {
            continue;
        }
        button->setObjectName(action->objectName() + QStringLiteral("Button"));
        if (buttonSize_.isEmpty()) {
            continue;
        }
        if (texts_) {
            button->setFixedHeight(buttonSize_.height());
            button->setMinimumWidth(buttonSize_.width());
        } else {
            button->setFixedSize(buttonSize_);
        }
    }
}

// The artwork's strips are 32-bit: their alpha is the mask.
bool CToolBarEx::SetArtwork(const QStringList& names, QSize imageSize) {
    constexpr QRgb kNoMask = 0;
    return SetImages(imageSize.width(), RenderToolbarStrip(names, imageSize, 1), kNoMask,
                     RenderToolbarStrip(names, imageSize, 2));
}

} // namespace ombrix::shell
