#pragma once

namespace ombrix::model {

// How a key was pressed. Left: a left click or a plain computer key, which takes
// the shortest table entry that ends at the key. Right: a right click or a
// computer key with Ctrl, which lets a longer entry continue.
enum class MouseButton { Left = 0, Right = 1 };

} // namespace ombrix::model
