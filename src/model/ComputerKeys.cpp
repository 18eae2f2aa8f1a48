#include "model/ComputerKeys.h"

#include <QtCore/qnamespace.h>
#include <algorithm>
#include <utility>

namespace ombrix::model {

namespace {

constexpr std::uint32_t kVirtualKeyF1 = 0x70;

constexpr std::array<std::pair<int, std::uint32_t>, 19> kNamedKeys = {{
    {Qt::Key_Backspace, 0x08}, {Qt::Key_Tab, 0x09},      {Qt::Key_Return, 0x0D},
    {Qt::Key_Enter, 0x0D},     {Qt::Key_Shift, 0x10},    {Qt::Key_Control, 0x11},
    {Qt::Key_Alt, 0x12},       {Qt::Key_Escape, 0x1B},   {Qt::Key_Space, 0x20},
    {Qt::Key_PageUp, 0x21},    {Qt::Key_PageDown, 0x22}, {Qt::Key_End, 0x23},
    {Qt::Key_Home, 0x24},      {Qt::Key_Left, 0x25},     {Qt::Key_Up, 0x26},
    {Qt::Key_Right, 0x27},     {Qt::Key_Down, 0x28},     {Qt::Key_Insert, 0x2D},
    {Qt::Key_Delete, 0x2E},
}};

} // namespace

std::optional<std::uint32_t> instrumentCodeForComputerKey(std::uint32_t virtualKey) {
    const auto found =
        std::find_if(computerKeys.begin(), computerKeys.end(),
                     [virtualKey](const ComputerKey& key) { return key.virtualKey == virtualKey; });
    if (found == computerKeys.end()) {
        return std::nullopt;
    }
    return found->instrumentCode;
}

// Qt gives digits and letters their ASCII codes, as Windows does.
std::optional<std::uint32_t> virtualKeyFromQtKey(int qtKey) {
    if ((qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) || (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)) {
        return static_cast<std::uint32_t>(qtKey);
    }
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24) {
        return kVirtualKeyF1 + static_cast<std::uint32_t>(qtKey - Qt::Key_F1);
    }
    const auto found = std::find_if(
        kNamedKeys.begin(), kNamedKeys.end(),
        [qtKey](const std::pair<int, std::uint32_t>& key) { return key.first == qtKey; });
    if (found == kNamedKeys.end()) {
        return std::nullopt;
    }
    return found->second;
}

} // namespace ombrix::model
