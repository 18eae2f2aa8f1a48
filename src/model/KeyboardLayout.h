#pragma once

#include "model/KeyButton.h"
#include "model/KeyMatcher.h"
#include "model/KeyTables.h"

#include <QPoint>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace ombrix::model {

class ModelLines;
class ModelWriter;

// The keys of a model: the buttons on the front-panel picture (in file order),
// the keys of the keyboard bar, the key tables and their matching state. Copies
// are independent, so a view can hold its own.
class KeyboardLayout {
public:
    // Instrument keyboards have a few dozen keys; the bound keeps a broken
    // "ButtonsCount" from creating buttons without end.
    static constexpr std::int32_t kMaxButtons = 1024;

    KeyboardLayout() = default;
    // `toolbarButtons` holds the key code of each bar position.
    KeyboardLayout(std::vector<KeyButton> buttons, QString toolbarBitmap,
                   std::vector<std::uint32_t> toolbarButtons, KeyTables tables);

    // Reads "[ButtonsInfo]", the Button sections, the key tables and
    // "[ButtonsToolbar]"; the matching state starts at rest. Throws
    // ModelFileError (naming `sourceName`) for counts beyond the bounds.
    static KeyboardLayout load(const ModelLines& lines, const QString& sourceName);
    // Writes the same sections in the order model files keep them.
    void store(ModelWriter& writer) const;

    const std::vector<KeyButton>& buttons() const { return buttons_; }
    const QString& toolbarBitmap() const { return toolbarBitmap_; }
    const std::vector<std::uint32_t>& toolbarButtons() const { return toolbarButtons_; }
    const KeyTables& tables() const { return tables_; }

    // The first button, in file order, whose rectangle holds the picture point.
    const KeyButton* HitTest(QPoint point) const;
    // The first button with the code or name.
    const KeyButton* ButtonByCode(std::uint32_t code) const;
    const KeyButton* ButtonByName(QStringView name) const;
    // The key code at a keyboard-bar position.
    std::optional<std::uint32_t> CodeAtBarPosition(qsizetype position) const;
    // "Data/" and the bar's image strip, relative to the program directory.
    QString ToolbarBitmapPath() const;

    // The matching engine; see KeyMatcher.
    PressResult Press(std::uint32_t key, MouseButton button) { return matcher_.Press(key, button); }
    void ClearHold() { matcher_.ClearHold(); }
    std::optional<HoldKey> TakeHold() { return matcher_.TakeHold(); }
    void Rest() { matcher_.Rest(); }

    // Equal when the keys, bar and tables are; the matching state is not compared.
    friend bool operator==(const KeyboardLayout& a, const KeyboardLayout& b);

private:
    static std::vector<KeyButton> LoadButtons(const ModelLines& lines, const QString& sourceName);
    void StoreButtons(ModelWriter& writer) const;
    void LoadToolbar(const ModelLines& lines);
    void StoreToolbar(ModelWriter& writer) const;

    std::vector<KeyButton> buttons_;
    QString toolbarBitmap_;
    std::vector<std::uint32_t> toolbarButtons_;
    KeyTables tables_;
    KeyMatcher matcher_;
};

} // namespace ombrix::model
