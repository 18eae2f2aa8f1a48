#include "model/InstrumentModel.h"

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

std::uint32_t mainColor(const ModelLines& lines, QStringView key, std::uint32_t defaultValue) {
    return static_cast<std::uint32_t>(
        ReadModelInt(lines, kMain, key, static_cast<std::int32_t>(defaultValue)));
}

} // namespace

bool InstrumentModel::hasAllIconNames() const {
    return !iconClear.isEmpty() && std::none_of(iconBitmaps.begin(), iconBitmaps.end(),
                                                [](const QString& name) { return name.isEmpty(); });
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
    const Colors defaults;
    colors.foreground = mainColor(lines, u"ForegroundColor", defaults.foreground);
    colors.background = mainColor(lines, u"BackgroundColor", defaults.background);
    colors.backlightForeground =
        mainColor(lines, u"BacklightForegroundColor", defaults.backlightForeground);
    colors.backlightBackground =
        mainColor(lines, u"BacklightBackgroundColor", defaults.backlightBackground);
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
    writer.hex(u"ForegroundColor", colors.foreground, kColorDigits);
    writer.hex(u"BackgroundColor", colors.background, kColorDigits);
    writer.hex(u"BacklightForegroundColor", colors.backlightForeground, kColorDigits);
    writer.hex(u"BacklightBackgroundColor", colors.backlightBackground, kColorDigits);
}

} // namespace ombrix::model
