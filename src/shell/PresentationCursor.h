#pragma once

#include <QCursor>
#include <cstdint>
#include <map>
#include <optional>
#include <utility>

class QWidget;

namespace ombrix::shell {

// The two presentation pointers: while no mouse button is held, and while the
// left one is.
enum class CursorState { Normal = 0, Pressed = 1 };

// One presentation cursor image: its shape and its side in screen pixels.
struct CursorResource {
    CursorState shape = CursorState::Normal;
    int pixels = 0;

    friend bool operator==(const CursorResource&, const CursorResource&) = default;
};

// The cursor for a cursor_size setting (0 small, 32 pixels; 1 medium, 48; 2
// large, 256) and state; none for a size outside the table, which gives the
// standard arrow.
std::optional<CursorResource> CursorResourceFor(std::uint32_t size, CursorState state);

// The presentation cursor of a widget. Each image is drawn once for the
// screen's density, at its side in screen pixels, and kept: every press and
// release switches between two of them.
class PresentationCursor {
public:
    // Makes `resource` the widget's cursor; none sets the standard arrow.
    void Set(QWidget& widget, const std::optional<CursorResource>& resource);
    const std::optional<CursorResource>& Shown() const { return shown_; }

private:
    const QCursor& imageOf(const CursorResource& resource, qreal devicePixelRatio);

    std::optional<CursorResource> shown_;
    qreal shownRatio_ = 0;
    bool set_ = false;
    std::map<std::pair<CursorState, int>, QCursor> images_; // for imagesRatio_
    qreal imagesRatio_ = 0;
};

// The cursor image of `resource` as a pixmap of its side in screen pixels for a
// screen of `devicePixelRatio`, with its hot spot in the pixmap's own units.
QCursor PresentationCursorImage(const CursorResource& resource, qreal devicePixelRatio);

} // namespace ombrix::shell
