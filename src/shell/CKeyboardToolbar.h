#pragma once

#include "model/KeyboardLayout.h"
#include "model/MouseButton.h"
#include "shell/CFloatingBar.h"

#include <QImage>
#include <vector>

class QAction;

namespace ombrix::shell {

class CToolBarEx;

// The keyboard bar ("Keyboard"): one button per key of the model's bar, with
// its image from the model's strip. A left click on a button presses its key
// and releases it at once; a right click does the same as the right mouse
// button would on the front panel.
class CKeyboardToolbar : public CFloatingBar {
    Q_OBJECT

public:
    static constexpr int kImageSize = 48;

    explicit CKeyboardToolbar(QWidget* frame);

    // The buttons for `layout`'s bar with images from `strip`, whose top-left
    // pixel is the transparent colour. False, and the bar emptied, when the
    // model has no bar keys or the strip cannot be used.
    bool Build(const model::KeyboardLayout& layout, const QImage& strip);
    // The bar has buttons.
    bool Built() const { return !keys_.empty(); }
    CToolBarEx& Toolbar() const { return *toolbar_; }

signals:
    void keyClicked(std::size_t position, model::MouseButton button);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void clearKeys();

    CToolBarEx* toolbar_;
    std::vector<QAction*> keys_;
};

} // namespace ombrix::shell
