#pragma once

#include "base/Rect.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace ombrix::shell {

// Where the view draws the front-panel picture and the screen, in window pixels.
// The zoom is not rounded, so the picture or screen is as large as fits,
// except with sharp pixels (LayoutSharpScreen).
struct ViewLayout {
    double zoom = 1.0;
    QPoint panelOrigin; // with the front panel only
    QPoint screenOrigin;
    QSize panelSize;  // the picture stretched by the zoom; empty without it
    QSize screenSize; // the screen stretched by the zoom
    // The panel's display on the window, every pixel of it the stretched
    // picture touches: the screen covers it, except with sharp pixels, which
    // leave the rest of it in the background colour. Empty without the panel.
    QRect displayArea;

    friend bool operator==(const ViewLayout&, const ViewLayout&) = default;
};

// The front panel as large as fits `client`, centred horizontally at the top,
// with the screen image stretched over its display rectangle, its edges
// rounded outwards so no pixel of the picture's display shows beside it. None
// for an empty picture or client area.
std::optional<ViewLayout> LayoutWithPanel(const QRect& client, const QSize& picture,
                                          const base::Rect& display);

// The front panel as LayoutWithPanel lays it out, with the screen (`screen`
// instrument pixels) drawn at a whole zoom inside the display, as
// SharpScreenRect gives it; as LayoutWithPanel where not even one device
// pixel per instrument pixel fits.
std::optional<ViewLayout> LayoutSharpPanel(const QRect& client, const QSize& picture,
                                           const base::Rect& display, const QSize& screen,
                                           double devicePixelRatio);

// The screen alone (`screen`: the instrument pixels shown, the icon panel of a
// one-bit screen included), as large as fits `client`, centred horizontally at
// the top. None for an empty screen or client area.
std::optional<ViewLayout> LayoutScreenOnly(const QRect& client, const QSize& screen);

// The screen alone at the largest zoom that fits `client` and gives every
// instrument pixel the same whole number of device pixels (at
// `devicePixelRatio`), centred both ways, since the smaller screen would leave
// a strip at the bottom alone; as LayoutScreenOnly where not even one device
// pixel per instrument pixel fits.
std::optional<ViewLayout> LayoutSharpScreen(const QRect& client, const QSize& screen,
                                            double devicePixelRatio);

// The screen of `screen` instrument pixels at the largest zoom that fits
// `area` and gives every instrument pixel the same whole number of device
// pixels (at `devicePixelRatio`), centred both ways; none where not even one
// device pixel per instrument pixel fits.
std::optional<QRect> SharpScreenRect(const QRect& area, const QSize& screen,
                                     double devicePixelRatio);

// The height of the band under a screen shown alone that holds the caption of
// the keys sent: fixed in a window; in fullscreen a share of the view's
// height within bounds, so an audience can read it.
int CaptionBandHeight(bool fullscreen, int viewHeight);

// A window point as a point of the picture, truncated toward zero, and back.
QPoint WindowToPicture(const QPoint& window, const ViewLayout& layout);
QPoint PictureToWindow(const QPoint& picture, const ViewLayout& layout);

} // namespace ombrix::shell
