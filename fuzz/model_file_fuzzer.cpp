// Loads arbitrary bytes as a model description file, and as the text of one,
// then uses what loaded the way the view does: lookups, key presses, holds, and
// a store that must load again.
#include "model/ModelFile.h"
#include "model/ModelFileError.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using ombrix::model::KeyboardLayout;
using ombrix::model::LoadOutcome;
using ombrix::model::ModelFile;
using ombrix::model::ModelFileError;
using ombrix::model::MouseButton;

// Keeps one input's work small even when it declares many keys.
constexpr std::size_t kMaxKeysExercised = 16;

void exerciseLookups(const KeyboardLayout& layout) {
    for (std::size_t i = 0; i < layout.buttons().size() && i < kMaxKeysExercised; ++i) {
        const auto& button = layout.buttons()[i];
        const QPoint corner(button.rect.left, button.rect.top);
        const auto* hit = layout.HitTest(corner);
        if (hit != nullptr && !hit->rect.contains(corner)) {
            std::abort();
        }
        if (layout.ButtonByCode(button.keyCode) == nullptr ||
            layout.ButtonByName(button.keyName) == nullptr) {
            std::abort();
        }
    }
    for (qsizetype position = -1; position <= 2; ++position) {
        layout.CodeAtBarPosition(position);
    }
    layout.ToolbarBitmapPath();
}

void exerciseEngine(KeyboardLayout& layout) {
    const auto& buttons = layout.buttons();
    for (std::size_t i = 0; i < buttons.size() && i < kMaxKeysExercised; ++i) {
        const MouseButton button = i % 2 == 0 ? MouseButton::Left : MouseButton::Right;
        const auto press = layout.Press(buttons[i].keyCode, button);
        if (press.pressedKeys.empty()) {
            layout.Rest();
        } else if (press.pendingCode) {
            layout.ClearHold();
            layout.Rest();
        } else if (i % 3 == 0) {
            layout.TakeHold();
        }
    }
}

void reloadStored(const ModelFile& file) {
    ModelFile reloaded;
    if (reloaded.load(file.store(), QStringLiteral("/nonexistent/stored.def")) !=
            LoadOutcome::Loaded ||
        !(reloaded.model() == file.model())) {
        std::abort();
    }
}

// Each byte as one character of the file's text, so that mutations reach the
// sections, keys and tables instead of mostly breaking the UTF-16 encoding.
QByteArray asFileText(QByteArrayView bytes) {
    QByteArray file("\xFF\xFE", 2);
    for (const char byte : bytes) {
        file.append(byte);
        file.append('\0');
    }
    return file;
}

void exerciseFile(QByteArrayView bytes) {
    ModelFile file;
    try {
        if (file.load(bytes, QStringLiteral("/nonexistent/model.def")) != LoadOutcome::Loaded) {
            return;
        }
    } catch (const ModelFileError&) {
        return;
    }
    exerciseLookups(file.layout());
    exerciseEngine(file.layout());
    reloadStored(file);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    exerciseFile(bytes);
    exerciseFile(asFileText(bytes));
    return 0;
}
