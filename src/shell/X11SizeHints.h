#pragma once

#include "shell/WindowGeometry.h"

#include <QAbstractNativeEventFilter>
#include <QSize>
#include <optional>

class QWidget;

namespace ombrix::shell {

// What a window manager is asked to keep while the user drags an edge of a
// window: the view's shape (`range`) once `base` (the window's inside around
// the view: bars, menu) is taken off.
struct AspectHint {
    AspectRange range;
    QSize base;
    friend bool operator==(const AspectHint&, const AspectHint&) = default;
};

// The aspect ratio of a window's WM_NORMAL_HINTS on X11, so the window manager
// keeps the view's shape during an interactive resize rather than leaving it
// to a correction afterwards. Qt writes those hints anew, without an aspect,
// whenever the window's limits or geometry change; they are written again
// each time Qt has written them. Off X11 nothing is done.
class X11AspectHints : public QAbstractNativeEventFilter {
public:
    explicit X11AspectHints(QWidget& window);
    ~X11AspectHints() override;
    X11AspectHints(const X11AspectHints&) = delete;
    X11AspectHints& operator=(const X11AspectHints&) = delete;

    // The hint to keep; none takes it away.
    void Set(std::optional<AspectHint> hint);

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    void write() const;

    QWidget& window_;
    std::optional<AspectHint> hint_;
};

// Whether a pointer button is held, as the X server sees it (also while a
// window manager holds the pointer for a drag); none off X11.
std::optional<bool> X11PointerButtonsDown();

} // namespace ombrix::shell
