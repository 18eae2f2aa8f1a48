#include "model/InstrumentModel.h"

#include "model/ModelFileError.h"
#include "model/ModelLines.h"
#include "model/ModelWriter.h"

#include <algorithm>

namespace ombrix::model {

namespace {

constexpr QStringView kMain = u"Main";
constexpr std::array<QStringView, 3> kIconBitmapKeys = {u"IconBitmap1", u"IconBitmap2",
                                                        u"IconBitmap3"};
constexpr int kColorDigits = 6;

QString mainString(const ModelLines& lines, QStringView key) {
    return ReadModelString(lines, kMain, key, QString());
}

base::ColorRef mainColor(const ModelLines& lines, QStringView key, base::ColorRef defaultValue) {
    return base::ColorRef(static_cast<std::uint32_t>(
        ReadModelInt(lines, kMain, key, static_cast<std::int32_t>(defaultValue.value))));
}

// Model file keys of the four colours, in the order of DisplayColors.
constexpr std::array<QStringView, 4> kColorKeys = {u"BacklightForegroundColor",
                                                   u"BacklightBackgroundColor", u"ForegroundColor",
                                                   u"BackgroundColor"};
// The order the keys are written in.
constexpr std::array<base::DisplayColors::Index, 4> kStoredColorOrder = {
    base::DisplayColors::Foreground, base::DisplayColors::Background,
    base::DisplayColors::BacklightForeground, base::DisplayColors::BacklightBackground};

} // namespace

bool InstrumentModel::hasAllIconNames() const {
    return !iconClear.isEmpty() && std::none_of(iconBitmaps.begin(), iconBitmaps.end(),
                                                [](const QString& name) { return name.isEmpty(); });
}

void InstrumentModel::checkGeometry(const QString& path) const {
    const auto check = [&path](QStringView key, std::int32_t value, std::int32_t minimum,
                               std::int32_t maximum) {
        if (value < minimum || value > maximum) {
            throw ModelFileError::outOfRange(path, key, value, minimum, maximum);
        }
    };
    check(u"DisplayWidth", displayWidth, 1, kMaxDisplaySide);
    check(u"DisplayHeight", displayHeight, 1, kMaxDisplaySide);
    check(u"IconsPanelHeight", iconsPanelHeight, 0, kMaxIconsPanelHeight);
    check(u"DisplayX", display.left, 0, kMaxPictureSide);
    check(u"DisplayY", display.top, 0, kMaxPictureSide);
    check(u"DisplayRight", display.right, display.left, kMaxPictureSide);
    check(u"DisplayBottom", display.bottom, display.top, kMaxPictureSide);
}

void InstrumentModel::loadDisplayAndIcons(const ModelLines& lines) {
    hardwareName = mainString(lines, u"HardwareName");
    displayWidth = ReadModelInt(lines, kMain, u"DisplayWidth", 0);
    displayHeight = ReadModelInt(lines, kMain, u"DisplayHeight", 0);
    display.left = ReadModelInt(lines, kMain, u"DisplayX", 0);
    display.top = ReadModelInt(lines, kMain, u"DisplayY", 0);
    display.right = ReadModelInt(lines, kMain, u"DisplayRight", 1);
    display.bottom = ReadModelInt(lines, kMain, u"DisplayBottom", 1);
    for (std::size_t i = 0; i < iconBitmaps.size(); ++i) {
        iconBitmaps[i] = mainString(lines, kIconBitmapKeys[i]);
    }
    iconClear = mainString(lines, u"IconClear");
    iconsPanelHeight = ReadModelInt(lines, kMain, u"IconsPanelHeight", kDefaultIconsPanelHeight);
}

void InstrumentModel::loadColors(const ModelLines& lines) {
    const base::DisplayColors defaults;
    for (std::size_t i = 0; i < kColorKeys.size(); ++i) {
        colors.colours[i] = mainColor(lines, kColorKeys[i], defaults.colours[i]);
    }
}

void InstrumentModel::store(ModelWriter& writer) const {
    writer.section(kMain);
    writer.text(u"DataDir", dataDir);
    writer.text(u"KeyboardBitmap", keyboardBitmap);
    writer.text(u"HardwareName", hardwareName);
    writer.number(u"DisplayWidth", displayWidth);
    writer.number(u"DisplayHeight", displayHeight);
    writer.number(u"DisplayX", display.left);
    writer.number(u"DisplayY", display.top);
    writer.number(u"DisplayRight", display.right);
    writer.number(u"DisplayBottom", display.bottom);
    for (std::size_t i = 0; i < iconBitmaps.size(); ++i) {
        writer.text(kIconBitmapKeys[i], iconBitmaps[i]);
    }
    writer.text(u"IconClear", iconClear);
    writer.number(u"IconsPanelHeight", iconsPanelHeight);
    for (const base::DisplayColors::Index index : kStoredColorOrder) {
        writer.hex(kColorKeys[index], colors[index].value, kColorDigits);
    }
}

} // namespace ombrix::model
