#include "settings/ModelColorsSettings.h"

#include "settings/ValueExchange.h"

#include <QFileInfo>
#include <array>

namespace ombrix::settings {

namespace {

using Index = base::DisplayColors::Index;

struct NamedColour {
    const char* name;
    Index index;
};

constexpr std::array<NamedColour, 4> kColours{{
    {"foreground", Index::Foreground},
    {"background", Index::Background},
    {"backlight_foreground", Index::BacklightForeground},
    {"backlight_background", Index::BacklightBackground},
}};

} // namespace

QString ModelColorsSettings::PathFor(const QString& treePath, const QString& modelFile) {
    // A backslash would open a group deeper down.
    const QString name = QFileInfo(modelFile).fileName().toLower().replace(u'\\', u'_');
    return treePath + u'/' + QString::fromLatin1(kKey) + u'/' + name;
}

bool ModelColorsSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = true;
        for (const NamedColour& each : kColours) {
            exchanged &=
                ExchangeValue(stream, QString::fromLatin1(each.name), colours[each.index].value);
        }
        return exchanged;
    });
}

} // namespace ombrix::settings
