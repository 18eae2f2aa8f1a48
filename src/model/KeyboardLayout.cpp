#include "model/KeyboardLayout.h"

#include "model/ModelFileError.h"
#include "model/ModelLines.h"
#include "model/ModelWriter.h"

#include <algorithm>

namespace ombrix::model {

namespace {

constexpr QStringView kButtonsInfo = u"ButtonsInfo";
constexpr QStringView kButtonsCount = u"ButtonsCount";
constexpr QStringView kButtonsToolbar = u"ButtonsToolbar";
constexpr QStringView kToolbarBitmap = u"Bitmap";
constexpr QStringView kToolbarSequence = u"Sequence";
constexpr QStringView kUnnamedKey = u"Unknown";
constexpr QStringView kToolbarFolder = u"Data/";
constexpr int kCodeDigits = 2;

QString buttonSection(std::size_t index) {
    return QStringLiteral("Button%1").arg(index);
}

KeyButton readButton(const ModelLines& lines, const QString& section) {
    KeyButton button;
    button.rect.left = ReadModelInt(lines, section, u"X", 0);
    button.rect.top = ReadModelInt(lines, section, u"Y", 0);
    button.rect.right = ReadModelInt(lines, section, u"Right", 0);
    button.rect.bottom = ReadModelInt(lines, section, u"Bottom", 0);
    button.keyCode = static_cast<std::uint32_t>(ReadModelInt(lines, section, u"KeyCode", 0));
    button.keyName = ReadModelString(lines, section, u"KeyName", kUnnamedKey.toString());
    return button;
}

} // namespace

KeyboardLayout::KeyboardLayout(std::vector<KeyButton> buttons, QString toolbarBitmap,
                               std::vector<std::uint32_t> toolbarButtons, KeyTables tables)
    : buttons_(std::move(buttons)), toolbarBitmap_(std::move(toolbarBitmap)),
      toolbarButtons_(std::move(toolbarButtons)), tables_(std::move(tables)), matcher_(tables_) {}

KeyboardLayout KeyboardLayout::load(const ModelLines& lines, const QString& sourceName) {
    KeyboardLayout layout;
    layout.buttons_ = LoadButtons(lines, sourceName);
    layout.tables_ = KeyTables::LoadKeyTables(lines, layout.buttons_, sourceName);
    layout.matcher_ = KeyMatcher(layout.tables_);
    layout.LoadToolbar(lines);
    return layout;
}

void KeyboardLayout::store(ModelWriter& writer) const {
    StoreButtons(writer);
    tables_.StoreKeyTables(writer, buttons_);
    StoreToolbar(writer);
}

const KeyButton* KeyboardLayout::HitTest(QPoint point) const {
    const auto found = std::find_if(buttons_.begin(), buttons_.end(),
                                    [point](const KeyButton& b) { return b.rect.contains(point); });
    return found == buttons_.end() ? nullptr : &*found;
}

const KeyButton* KeyboardLayout::ButtonByCode(std::uint32_t code) const {
    const auto found = std::find_if(buttons_.begin(), buttons_.end(),
                                    [code](const KeyButton& b) { return b.keyCode == code; });
    return found == buttons_.end() ? nullptr : &*found;
}

const KeyButton* KeyboardLayout::ButtonByName(QStringView name) const {
    const auto found = std::find_if(buttons_.begin(), buttons_.end(),
                                    [name](const KeyButton& b) { return b.keyName == name; });
    return found == buttons_.end() ? nullptr : &*found;
}

std::optional<std::uint32_t> KeyboardLayout::CodeAtBarPosition(qsizetype position) const {
    if (position < 0 || static_cast<std::size_t>(position) >= toolbarButtons_.size()) {
        return std::nullopt;
    }
    return toolbarButtons_[static_cast<std::size_t>(position)];
}

QString KeyboardLayout::ToolbarBitmapPath() const {
    return kToolbarFolder.toString() + QString(toolbarBitmap_).replace(u'\\', u'/');
}

bool operator==(const KeyboardLayout& a, const KeyboardLayout& b) {
    return a.buttons_ == b.buttons_ && a.toolbarBitmap_ == b.toolbarBitmap_ &&
           a.toolbarButtons_ == b.toolbarButtons_ && a.tables_ == b.tables_;
}

std::vector<KeyButton> KeyboardLayout::LoadButtons(const ModelLines& lines,
                                                   const QString& sourceName) {
    const std::int32_t count = ReadModelInt(lines, kButtonsInfo, kButtonsCount, 0);
    if (count > kMaxButtons) {
        throw ModelFileError::tooMany(
            sourceName, QStringLiteral("%1 %2").arg(kButtonsCount).arg(count), kMaxButtons);
    }
    std::vector<KeyButton> buttons;
    for (std::int32_t i = 0; i < count; ++i) {
        buttons.push_back(readButton(lines, buttonSection(static_cast<std::size_t>(i))));
    }
    return buttons;
}

void KeyboardLayout::StoreButtons(ModelWriter& writer) const {
    writer.section(kButtonsInfo);
    writer.number(kButtonsCount, static_cast<std::int32_t>(buttons_.size()));
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const KeyButton& button = buttons_[i];
        writer.section(buttonSection(i));
        writer.number(u"X", button.rect.left);
        writer.number(u"Y", button.rect.top);
        writer.number(u"Right", button.rect.right);
        writer.number(u"Bottom", button.rect.bottom);
        writer.hex(u"KeyCode", button.keyCode, kCodeDigits);
        writer.text(u"KeyName", button.keyName);
    }
}

// A bar name that no button has is skipped and takes no position.
void KeyboardLayout::LoadToolbar(const ModelLines& lines) {
    toolbarBitmap_ = ReadModelString(lines, kButtonsToolbar, kToolbarBitmap, QString());
    toolbarButtons_.clear();
    const QString sequence = ReadModelString(lines, kButtonsToolbar, kToolbarSequence, QString());
    for (const QString& name : sequence.split(u',')) {
        const KeyButton* button = name.isEmpty() ? nullptr : ButtonByName(name);
        if (button != nullptr) {
            toolbarButtons_.push_back(button->keyCode);
        }
    }
}

void KeyboardLayout::StoreToolbar(ModelWriter& writer) const {
    writer.section(kButtonsToolbar);
    writer.text(kToolbarBitmap, toolbarBitmap_);
    QStringList names;
    for (const std::uint32_t code : toolbarButtons_) {
        const KeyButton* button = ButtonByCode(code);
        names.append(button == nullptr ? QString() : button->keyName);
    }
    writer.text(kToolbarSequence, names.join(u','));
}

} // namespace ombrix::model
