#include "shell/X11SizeHints.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>
#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <xcb/xcb.h>

namespace ombrix::shell {

namespace {

// WM_NORMAL_HINTS as ICCCM lays it out: 18 32-bit fields.
constexpr std::uint32_t kHintFields = 18;
constexpr std::uint32_t kFlags = 0;
constexpr std::uint32_t kMinAspectX = 11;
constexpr std::uint32_t kMinAspectY = 12;
constexpr std::uint32_t kMaxAspectX = 13;
constexpr std::uint32_t kMaxAspectY = 14;
constexpr std::uint32_t kBaseWidth = 15;
constexpr std::uint32_t kBaseHeight = 16;
constexpr std::uint32_t kAspectFlag = 1U << 7;
constexpr std::uint32_t kBaseSizeFlag = 1U << 8;
constexpr std::uint16_t kButtonsMask = XCB_KEY_BUT_MASK_BUTTON_1 | XCB_KEY_BUT_MASK_BUTTON_2 |
                                       XCB_KEY_BUT_MASK_BUTTON_3 | XCB_KEY_BUT_MASK_BUTTON_4 |
                                       XCB_KEY_BUT_MASK_BUTTON_5;
constexpr std::uint8_t kEventTypeMask = 0x7f; // without the "sent by a client" bit

using Hints = std::array<std::uint32_t, kHintFields>;

xcb_connection_t* x11Connection() {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    return x11 != nullptr ? x11->connection() : nullptr;
}

Hints readHints(xcb_connection_t* connection, xcb_window_t window) {
    Hints hints{};
    const std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(connection,
                               xcb_get_property(connection, 0, window, XCB_ATOM_WM_NORMAL_HINTS,
                                                XCB_ATOM_WM_SIZE_HINTS, 0, kHintFields),
                               nullptr),
        &std::free);
    if (reply && reply->format == 32) {
        const auto length = std::min<std::size_t>(
            static_cast<std::size_t>(xcb_get_property_value_length(reply.get())), sizeof(hints));
        std::memcpy(hints.data(), xcb_get_property_value(reply.get()), length);
    }
    return hints;
}

Hints withHint(Hints hints, const std::optional<AspectHint>& hint) {
    if (!hint) {
        hints[kFlags] &= ~(kAspectFlag | kBaseSizeFlag);
        return hints;
    }
    hints[kFlags] |= kAspectFlag | kBaseSizeFlag;
    hints[kMinAspectX] = static_cast<std::uint32_t>(hint->range.minimum.width());
    hints[kMinAspectY] = static_cast<std::uint32_t>(hint->range.minimum.height());
    hints[kMaxAspectX] = static_cast<std::uint32_t>(hint->range.maximum.width());
    hints[kMaxAspectY] = static_cast<std::uint32_t>(hint->range.maximum.height());
    hints[kBaseWidth] = static_cast<std::uint32_t>(std::max(hint->base.width(), 0));
    hints[kBaseHeight] = static_cast<std::uint32_t>(std::max(hint->base.height(), 0));
    return hints;
}

} // namespace

X11AspectHints::X11AspectHints(QWidget& window) : window_(window) {
    if (x11Connection() != nullptr) {
        QCoreApplication::instance()->installNativeEventFilter(this);
    }
}

X11AspectHints::~X11AspectHints() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

void X11AspectHints::Set(std::optional<AspectHint> hint) {
    hint_ = hint;
    write();
}

// Written only when they differ, so the notice of its own write ends here.
void X11AspectHints::write() const {
    xcb_connection_t* connection = x11Connection();
    const QWindow* handle = window_.windowHandle();
    if (connection == nullptr || handle == nullptr) {
        return;
    }
    const auto window = static_cast<xcb_window_t>(handle->winId());
    const Hints current = readHints(connection, window);
    const Hints wanted = withHint(current, hint_);
    if (wanted != current) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                            XCB_ATOM_WM_SIZE_HINTS, 32, kHintFields, wanted.data());
        xcb_flush(connection);
    }
}

bool X11AspectHints::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t" || !hint_) {
        return false;
    }
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & kEventTypeMask) != XCB_PROPERTY_NOTIFY) {
        return false;
    }
    const auto* change = reinterpret_cast<const xcb_property_notify_event_t*>(event);
    const QWindow* handle = window_.windowHandle();
    if (handle != nullptr && change->atom == XCB_ATOM_WM_NORMAL_HINTS &&
        change->window == static_cast<xcb_window_t>(handle->winId())) {
        write();
    }
    return false;
}

std::optional<bool> X11PointerButtonsDown() {
    xcb_connection_t* connection = x11Connection();
    if (connection == nullptr) {
        return std::nullopt;
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (screen == nullptr) {
        return std::nullopt;
    }
    const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> pointer(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr),
        &std::free);
    if (!pointer) {
        return std::nullopt;
    }
    return (pointer->mask & kButtonsMask) != 0;
}

} // namespace ombrix::shell
