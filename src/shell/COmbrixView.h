#pragma once

#include "document/Frame.h"
#include "model/MouseButton.h"
#include "shell/DisplayMode.h"
#include "shell/KeyHandler.h"
#include "shell/PresentationCursor.h"
#include "shell/QtKeyTimers.h"
#include "shell/ViewLayout.h"

#include <QImage>
#include <QMargins>
#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QLabel;

namespace ombrix::document {
class DocumentHost;
}
namespace ombrix::settings {
class ApplicationSettings;
}

namespace ombrix::shell {

// The instrument: in the normal mode with keyboard the front-panel picture with
// the live screen stretched over its display, in the other modes the screen
// alone, as large as fits. It draws the document's published frame. The
// stretched picture and the stretched screen (in device pixels, so they are
// sharp on a dense screen) are kept until the layout, the frame or the blink
// phase changes, so a tick with nothing new neither draws nor repaints. Before
// a model is loaded it says where it looks for instruments.
//
// Clicks on the front panel's keys, the keyboard bar and computer keys press
// instrument keys; the pressed keys get rings on the panel, and without the
// panel the names of a sent code show as a caption in a band under the
// screen. The mouse pointer is the presentation cursor of the settings. With
// sharp pixels the screen is drawn at a whole zoom, every instrument pixel the
// same block. A screen whose instrument was lost is dimmed, marked and still
// until the instrument is back. Notices (a file saved) can show over the view
// where no status bar is: drawn on the window only, never into a frame, so no
// screenshot has them.
class COmbrixView : public QWidget {
    Q_OBJECT

public:
    // The least size of the view in the modes that show it.
    static constexpr QSize kMinimumSize{64, 48};

    COmbrixView(document::DocumentHost& document, const settings::ApplicationSettings& settings,
                QWidget* parent = nullptr);

    void SetDisplayMode(DisplayMode mode);
    // A model was loaded: the picture and the layout are new.
    void ModelChanged();
    // The document published a new frame.
    void FrameChanged();
    // The document's timer ticked: the blink phase may have turned.
    void Tick();
    // How the screen is scaled changed (sharp pixels): laid out and drawn anew.
    void ScalingChanged();
    // Edges of the view kept free (for bars beside the screen in fullscreen).
    void SetReservedMargins(const QMargins& margins);
    // A short notice over the bottom of the view, for a few seconds.
    void ShowNotice(const QString& text);
    const QString& Notice() const { return notice_; }

    // The view without the caption band: what keeps the screen's shape.
    QSize ContentSize() const;
    // Where the screen and the caption band are drawn, in view pixels; empty
    // while nothing is laid out or without a band.
    QRect ScreenRect() const;
    QRect CaptionRect() const;
    // Whether the screen on show is marked as the last one of a lost instrument.
    bool ShowsLostScreen() const { return lost_; }
    // A computer key went down or up, wherever the focus is in the window.
    void KeyDown(int qtKey, bool ctrl);
    void KeyUp();
    // The window lost the keyboard: a key held now will not be seen going up.
    void AbandonKeys();
    // A keyboard-bar button was clicked.
    void ClickBarButton(std::size_t position, model::MouseButton button);

    const std::optional<ViewLayout>& Layout() const { return layout_; }
    KeyHandler& Keys() { return keys_; }
    const PresentationCursor& Cursor() const { return cursor_; }

signals:
    // A right click in fullscreen mode, where the context menu opens.
    void contextMenuRequested(QPoint globalPosition);
    // A code was sent: the names of the keys that made it, for the history;
    // `hold`: the one key was held for its hold code.
    void historyEntry(const QStringList& keys, bool hold);
    // A key was pressed while no instrument could take it: nothing was sent.
    void keyNotSent();
    // The link to the Instruments dialog was clicked.
    void instrumentsRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    struct ScreenKey {
        std::uint64_t generation = 0;
        bool blink = false;
        QSize size;
        friend bool operator==(const ScreenKey&, const ScreenKey&) = default;
    };

    bool modelLoaded() const;
    void relayout();
    int captionBand() const;
    void updateLost();
    // The instrument pixels the screen shows: the display, with the icon panel
    // of a one-bit screen; without the rows below the display that nothing
    // draws on a deeper screen.
    QSize shownScreen(const document::Frame* frame) const;
    ScreenKey keyOf(const document::Frame& frame) const;
    // Stretches `frame` into the kept screen when its key changed.
    void updateScreen(const document::Frame& frame);
    void drawPanel(QPainter& painter);
    QColor bezelColour() const;
    void drawLostMark(QPainter& painter) const;
    void drawNotice(QPainter& painter) const;
    void createSearchingLabel();
    QSize devicePixels(QSize logical) const;
    QColor background() const;
    bool showsPanel() const;
    // The window rectangles of the rings shown now, before growing.
    std::vector<std::pair<QRect, QColor>> rings() const;
    void drawRings(QPainter& painter) const;
    void drawCaption(QPainter& painter) const;
    void ringsChanged();
    void captionChanged();
    void updateCursor(Qt::MouseButtons buttons);

    document::DocumentHost& document_;
    const settings::ApplicationSettings& settings_;
    QtKeyTimers timers_;
    KeyHandler keys_;
    PresentationCursor cursor_;
    std::vector<QRect> ringAreas_; // what the rings drawn last cover
    DisplayMode mode_ = DisplayMode::NormalWithKeyboard;
    std::optional<ViewLayout> layout_;
    QImage panel_;  // the picture stretched for the layout
    QImage screen_; // the frame stretched for the layout, drawn anew in place
    std::optional<ScreenKey> screenKey_;
    QSize laidOutScreen_;         // what shownScreen gave a layout of the screen alone
    QLabel* searching_ = nullptr; // shown while no model is loaded
    QMargins reserved_;
    bool lost_ = false;
    QString notice_;
    QTimer noticeTimer_;
};

// The text the view shows while no model is loaded (rich text, with the link
// to the Instruments dialog).
QString SearchingText();

} // namespace ombrix::shell
