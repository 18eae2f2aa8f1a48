#include "settings/CommandsToolbarSettings.h"

#include "settings/ValueExchange.h"

#include <QDir>
#include <algorithm>

namespace ombrix::settings {

bool CommandsToolbarSettings::Exchange(SettingsStream& stream, const QString& path) {
    return ExchangeInKey(stream, path, [&] {
        bool exchanged = ExchangeValue(stream, QStringLiteral("add_image_info"), addImageInfo_);
        exchanged &= ExchangeValue(stream, QStringLiteral("append"), append_);
        exchanged &= ExchangeValue(stream, QStringLiteral("file_name"), fileName_);
        exchanged &= ExchangeFolder(stream, QStringLiteral("folder"), folder_);
        exchanged &= ExchangeValue(stream, QStringLiteral("separator"), separator_);
        exchanged &= ExchangeValue(stream, QStringLiteral("visible"), visible_);
        // Not among the values the tree has always had: a store without it
        // keeps the default, and the load does not fail for it.
        ExchangeValue(stream, QStringLiteral("time_stamps"), timeStamps_);
        ExchangeValue(stream, QStringLiteral("window_rect"), windowRect_);
        return exchanged;
    });
}

void CommandsToolbarSettings::SetFileName(const QString& name) {
    const qsizetype nameStart =
        std::max(name.lastIndexOf(u'/'), name.lastIndexOf(QDir::separator())) + 1;
    const qsizetype dot = name.lastIndexOf(u'.');
    // A dot that starts the name marks a hidden file, not an extension.
    const bool hasExtension = dot > nameStart;
    fileName_ = (hasExtension ? name.left(dot) : name) + QStringLiteral(".txt");
}

QString CommandsToolbarSettings::FilePath() const {
    return folder_.isEmpty() ? fileName_ : folder_ + QDir::separator() + fileName_;
}

} // namespace ombrix::settings
