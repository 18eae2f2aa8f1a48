#include "shell/X11KeyState.h"

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace ombrix::shell {

namespace {

constexpr std::uint32_t kKeyCodeCount = 256;

} // namespace

std::optional<bool> X11KeyIsDown(std::uint32_t keyCode) {
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>()
                                   : nullptr;
    if (x11 == nullptr || keyCode == 0 || keyCode >= kKeyCodeCount) {
        return std::nullopt;
    }
    xcb_connection_t* connection = x11->connection();
    const std::unique_ptr<xcb_query_keymap_reply_t, decltype(&std::free)> keymap(
        xcb_query_keymap_reply(connection, xcb_query_keymap(connection), nullptr), &std::free);
    if (!keymap) {
        return std::nullopt;
    }
    return (keymap->keys[keyCode / 8] & (1U << (keyCode % 8))) != 0;
}

} // namespace ombrix::shell
