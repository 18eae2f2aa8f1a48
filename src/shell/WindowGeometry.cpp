#include "shell/WindowGeometry.h"

#include <algorithm>
#include <cmath>

namespace ombrix::shell {

namespace {

constexpr double kCorrectionTolerance = 2.0;
constexpr double kAspectHintTolerance = 0.005;
// The fractions' denominator: fine enough for any ratio a model can have.
constexpr int kAspectHintDenominator = 10'000;
constexpr int kCompactExtraWidth = 100;

std::int32_t truncated(double value) {
    return static_cast<std::int32_t>(std::trunc(value));
}

double sane(double ratio) {
    return std::isfinite(ratio) && ratio > 0.0 ? ratio : 1.0;
}

} // namespace

double ViewAspectRatio(DisplayMode mode, const AspectSource& source) {
    if (!source.picture) {
        return 1.0;
    }
    switch (mode) {
    case DisplayMode::NormalWithKeyboard:
        return sane(double(source.picture->width()) / source.picture->height());
    case DisplayMode::NormalWithoutKeyboard:
        return sane(double(source.displayWidth) /
                    (source.iconsPanelHeight + double(source.displayHeight)));
    case DisplayMode::Fullscreen:
    case DisplayMode::Compact:
        break;
    }
    return 1.0;
}

// The Part's table; every bracket is truncated as a whole, which matters for
// negative screen coordinates.
base::Rect AdjustSizing(SizingEdge edge, const base::Rect& proposed, QSize overhead, double r) {
    base::Rect rect = proposed;
    const double vw = double(proposed.width()) - overhead.width();
    const double vh = double(proposed.height()) - overhead.height();
    const bool wide = vw / vh > r; // the height limits
    const auto fromWidthDown = [&] {
        rect.bottom = truncated(rect.top + vw / r) + overhead.height();
    };
    const auto fromWidthUp = [&] {
        rect.top = truncated(rect.bottom - vw / r) - overhead.height();
    };
    const auto fromHeightRight = [&] {
        rect.right = truncated(rect.left + vh * r) + overhead.width();
    };
    const auto fromHeightLeft = [&] {
        rect.left = truncated(rect.right - vh * r) - overhead.width();
    };
    switch (edge) {
    case SizingEdge::Left:
    case SizingEdge::Right:
        fromWidthDown();
        break;
    case SizingEdge::Top:
    case SizingEdge::Bottom:
        fromHeightRight();
        break;
    case SizingEdge::TopLeft:
        wide ? fromWidthUp() : fromHeightLeft();
        break;
    case SizingEdge::TopRight:
        wide ? fromWidthUp() : fromHeightRight();
        break;
    case SizingEdge::BottomLeft:
        wide ? fromWidthDown() : fromHeightLeft();
        break;
    case SizingEdge::BottomRight:
        wide ? fromWidthDown() : fromHeightRight();
        break;
    }
    return rect;
}

std::optional<SizingEdge> DraggedEdge(const base::Rect& before, const base::Rect& after) {
    const bool left = after.left != before.left && after.right == before.right;
    const bool right = after.right != before.right && after.left == before.left;
    const bool top = after.top != before.top && after.bottom == before.bottom;
    const bool bottom = after.bottom != before.bottom && after.top == before.top;
    if (top) {
        return left ? SizingEdge::TopLeft : right ? SizingEdge::TopRight : SizingEdge::Top;
    }
    if (bottom) {
        return left ? SizingEdge::BottomLeft : right ? SizingEdge::BottomRight : SizingEdge::Bottom;
    }
    if (left) {
        return SizingEdge::Left;
    }
    if (right) {
        return SizingEdge::Right;
    }
    return std::nullopt;
}

std::optional<int> CorrectedViewWidth(QSize view, double r) {
    const double ideal = r * view.height();
    if (view.width() > ideal - kCorrectionTolerance &&
        view.width() < ideal + kCorrectionTolerance) {
        return std::nullopt;
    }
    return truncated(ideal);
}

AspectRange AspectHintRange(double r) {
    const double ratio = sane(r);
    const auto numerator = [&](double scale) {
        return std::max(1, static_cast<int>(std::lround(ratio * scale * kAspectHintDenominator)));
    };
    return {QSize(numerator(1.0 - kAspectHintTolerance), kAspectHintDenominator),
            QSize(numerator(1.0 + kAspectHintTolerance), kAspectHintDenominator)};
}

QSize AspectMaximum(QSize largest, int heightAround, double r) {
    int width = largest.width();
    int height = largest.height() - heightAround;
    if (double(width) / height <= r) {
        height = truncated(width / r);
    } else {
        width = truncated(height * r);
    }
    return {width, height + heightAround};
}

CompactLimits CompactWindowLimits(QSize content, QSize decoration) {
    const QSize minimum = content + decoration;
    return {minimum, QSize(minimum.width() + kCompactExtraWidth, minimum.height())};
}

base::Rect ComputeModeWindowRect(DisplayMode mode, const ModeGeometry& geometry) {
    if (mode == DisplayMode::Fullscreen) {
        const base::Rect& monitor = geometry.monitor;
        const QMargins& frame = geometry.frameMargins;
        return {monitor.left - frame.left(), monitor.top - frame.top(),
                monitor.right + frame.right(), monitor.bottom + frame.bottom()};
    }
    const base::Rect& regular = geometry.regular;
    const QSize overhead = geometry.overhead;
    const auto viewHeight = static_cast<std::int32_t>(regular.height() - overhead.height());
    if (mode == DisplayMode::Compact) {
        return {regular.left, regular.top, regular.left + geometry.compactWidth,
                regular.top + overhead.height()};
    }
    const std::int32_t viewWidth = truncated(viewHeight * geometry.ratio);
    return {regular.left, regular.top, regular.left + viewWidth + overhead.width(),
            regular.top + viewHeight + overhead.height()};
}

} // namespace ombrix::shell
