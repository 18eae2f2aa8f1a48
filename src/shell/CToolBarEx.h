#pragma once

#include <QAction>
#include <QIcon>
#include <QImage>
#include <QSize>
#include <QStringList>
#include <QToolBar>
#include <vector>

namespace ombrix::shell {

// One button of a toolbar: the image it shows (an index into the strip) and the
// command it triggers.
struct ToolbarButton {
    int image = 0;
    QAction* action = nullptr;
};

// A toolbar whose button images come from one strip of equal images side by
// side. The strip decides how they are masked: a 32-bit strip with alpha keeps
// it, an 8-, 16- or 24-bit strip (or a 32-bit one without alpha, as a 24-bit
// file loads) takes the mask colour as transparent, any other depth is
// refused. Buttons are 7 pixels wider and 6 higher than their images.
class CToolBarEx : public QToolBar {
    Q_OBJECT

public:
    explicit CToolBarEx(const QString& title, QWidget* parent = nullptr);

    // Images `size` pixels wide from `strip` (their height is the strip's),
    // with `strip2x`, the same at twice the size, for screens of twice the
    // density (may be null). False, and nothing changed, when a strip cannot be
    // used.
    bool SetImages(int size, const QImage& strip, QRgb maskColour, const QImage& strip2x = {});
    // The images from our artwork (files of res/toolbar without ".svg"), each
    // `imageSize`, at 1x and 2x; false when the artwork cannot be drawn.
    bool SetArtwork(const QStringList& names, QSize imageSize);
    // Replaces every button by `buttons`, in their order.
    void SetButtons(const std::vector<ToolbarButton>& buttons);
    // The size of the button at `index`; empty when there is none.
    QSize ItemSize(int index) const;
    // Buttons show their action's text beside the image and are as wide as
    // that needs (their height stays the image's plus 6).
    void ShowButtonTexts();

    QSize ImageSize() const { return iconSize(); }
    QSize ButtonSize() const { return buttonSize_; }
    int ImageCount() const { return static_cast<int>(images_.size()); }

private:
    void applyButtonSize();

    std::vector<QIcon> images_;
    QSize buttonSize_;
    bool texts_ = false;
};

// The images of a strip, each `size` pixels wide; none when its depth is not
// one of 8, 16, 24 and 32 bits or it holds no whole image.
std::vector<QImage> SplitStrip(const QImage& strip, int size, QRgb maskColour);

} // namespace ombrix::shell
