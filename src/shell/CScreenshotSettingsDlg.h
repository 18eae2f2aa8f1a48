#pragma once

#include "settings/ScreenshotSettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ombrix::shell {

// "Screenshot settings": the image format, the file name prefix, the folder
// and the counter, and the recordings' format and key captions, on a copy of
// the settings that the caller takes back after OK. The name of the next file
// is shown as it would be written.
class CScreenshotSettingsDlg : public QDialog {
    Q_OBJECT

public:
    // The prefix is at most this long.
    static constexpr int kMaxPrefix = 252;

    CScreenshotSettingsDlg(const settings::ScreenshotSettings& settings, QWidget* parent = nullptr);

    const settings::ScreenshotSettings& Settings() const { return settings_; }

private:
    void layOut();
    void connectControls();
    void prefixEdited(const QString& text);
    void browse();
    void refreshFileName();

    settings::ScreenshotSettings settings_;
    QString typedPrefix_; // the field's text before the edit under way
    QComboBox* format_;
    QComboBox* recordFormat_;
    QCheckBox* recordCaptions_;
    QLineEdit* prefix_;
    QLabel* folder_;
    QLabel* fileName_;
    QPushButton* browse_;
    QPushButton* reset_;
    QDialogButtonBox* buttons_;
};

} // namespace ombrix::shell
