#pragma once

#include <cstdint>
#include <optional>

namespace ombrix::shell {

// Whether the key with this X11 key code is down at the X server now; none
// when the application does not run on X11 or the server does not answer.
std::optional<bool> X11KeyIsDown(std::uint32_t keyCode);

} // namespace ombrix::shell
