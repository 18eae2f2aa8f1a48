#pragma once

#include "document/Frame.h"
#include "shell/DisplayMode.h"
#include "shell/ViewLayout.h"

#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

namespace ombrix::document {
class DocumentHost;
}

namespace ombrix::shell {

// The instrument: in the normal mode with keyboard the front-panel picture with
// the live screen stretched over its display, in the other modes the screen
// alone, as large as fits. It draws the document's published frame. The
// stretched picture and the stretched screen (in device pixels, so they are
// sharp on a dense screen) are kept until the layout, the frame or the blink
// phase changes, so a tick with nothing new neither draws nor repaints. Before
// a model is loaded it says where it looks for instruments.
class COmbrixView : public QWidget {
    Q_OBJECT

public:
    explicit COmbrixView(document::DocumentHost& document, QWidget* parent = nullptr);

    void SetDisplayMode(DisplayMode mode);
    // A model was loaded: the picture and the layout are new.
    void ModelChanged();
    // The document published a new frame.
    void FrameChanged();
    // The document's timer ticked: the blink phase may have turned.
    void Tick();

    const std::optional<ViewLayout>& Layout() const { return layout_; }

signals:
    // A right click in fullscreen mode, where the context menu opens.
    void contextMenuRequested(QPoint globalPosition);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    struct ScreenKey {
        std::uint64_t generation = 0;
        bool blink = false;
        QSize size;
        friend bool operator==(const ScreenKey&, const ScreenKey&) = default;
    };

    bool modelLoaded() const;
    void relayout();
    // The instrument pixels the screen shows: the display, with the icon panel
    // of a one-bit screen; without the rows below the display that nothing
    // draws on a deeper screen.
    QSize shownScreen(const document::Frame* frame) const;
    ScreenKey keyOf(const document::Frame& frame) const;
    // Stretches `frame` into the kept screen when its key changed.
    void updateScreen(const document::Frame& frame);
    void drawPanel(QPainter& painter);
    void drawSearching(QPainter& painter);
    QRect screenRect() const;
    QSize devicePixels(QSize logical) const;
    QColor background() const;

    document::DocumentHost& document_;
    DisplayMode mode_ = DisplayMode::NormalWithKeyboard;
    std::optional<ViewLayout> layout_;
    QImage panel_;  // the picture stretched for the layout
    QImage screen_; // the frame stretched for the layout, drawn anew in place
    std::optional<ScreenKey> screenKey_;
    QSize laidOutScreen_; // what shownScreen gave a layout of the screen alone
};

// The text the view shows while no model is loaded.
QString SearchingText();

} // namespace ombrix::shell
