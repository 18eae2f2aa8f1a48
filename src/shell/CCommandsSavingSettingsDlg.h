#pragma once

#include "settings/CommandsToolbarSettings.h"

#include <QDialog>

class QCheckBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ombrix::shell {

// "Commands saving settings": the history file's name and folder, whether a
// save appends, adds the latest saved image or time stamps, and the comment
// line; on a copy of the settings that the caller takes back after OK.
class CCommandsSavingSettingsDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxFileName = 256;

    CCommandsSavingSettingsDlg(const settings::CommandsToolbarSettings& settings,
                               QWidget* parent = nullptr);

    const settings::CommandsToolbarSettings& Settings() const { return settings_; }

private:
    void layOut();
    void connectControls();
    void fileNameEdited(const QString& text);
    void browse();

    settings::CommandsToolbarSettings settings_;
    QString typedName_; // the field's text before the edit under way
    QLineEdit* fileName_;
    QLabel* folder_;
    QPushButton* browse_;
    QCheckBox* append_;
    QCheckBox* imageInfo_;
    QCheckBox* timeStamps_;
    QLineEdit* comment_;
    QDialogButtonBox* buttons_;
};

} // namespace ombrix::shell
