#pragma once

#include "base/Rect.h"
#include "settings/SettingsStream.h"

#include <QPoint>
#include <QString>
#include <optional>

namespace ombrix::settings {

// The commands history bar: how its history is saved (with the latest screenshot line,
// appended or replacing, file name and folder, a comment written ahead of each save),
// whether it is shown, where it floats by default (not stored) and where the user put it.
class CommandsToolbarSettings {
public:
    virtual ~CommandsToolbarSettings() = default;
    virtual bool Exchange(SettingsStream& stream, const QString& path);

    bool AddImageInfo() const { return addImageInfo_; }
    void SetAddImageInfo(bool add) { addImageInfo_ = add; }
    bool Append() const { return append_; }
    void SetAppend(bool append) { append_ = append; }
    QString FileName() const { return fileName_; }
    // Keeps the name with its extension replaced by ".txt", or ".txt" appended.
    void SetFileName(const QString& name);
    QString Folder() const { return folder_; }
    void SetFolder(const QString& folder) { folder_ = folder; }
    QString Separator() const { return separator_; }
    void SetSeparator(const QString& separator) { separator_ = separator; }
    // Beyond the history file's own format, off unless asked for: each entry
    // written with the time it was pressed.
    bool TimeStamps() const { return timeStamps_; }
    void SetTimeStamps(bool stamps) { timeStamps_ = stamps; }
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }
    QPoint FloatingPosition() const { return floatingPosition_; }
    void SetFloatingPosition(const QPoint& position) { floatingPosition_ = position; }
    // Beyond the history file's own values: where the user moved the bar and
    // the size given it; none while it goes beside the window.
    std::optional<base::Rect> WindowRect() const { return windowRect_; }
    void SetWindowRect(const base::Rect& rect) { windowRect_ = rect; }

    // The folder, a native separator unless the folder is empty, and the file name.
    QString FilePath() const;

    bool operator==(const CommandsToolbarSettings&) const = default;

private:
    bool addImageInfo_ = false;
    bool append_ = false;
    QString fileName_ = QStringLiteral("commands.txt");
    QString folder_;
    QString separator_;
    bool visible_ = true;
    bool timeStamps_ = false;
    QPoint floatingPosition_{160, 240};
    std::optional<base::Rect> windowRect_;
};

} // namespace ombrix::settings
