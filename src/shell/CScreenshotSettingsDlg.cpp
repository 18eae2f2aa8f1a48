#include "shell/CScreenshotSettingsDlg.h"

#include "recording/RecordingFormat.h"
#include "screenshot/ScreenshotFile.h"
#include "screenshot/ScreenshotFormat.h"
#include "shell/CBrowseForFolderDialog.h"
#include "shell/DialogControls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <utility>

namespace ombrix::shell {

CScreenshotSettingsDlg::CScreenshotSettingsDlg(const settings::ScreenshotSettings& settings,
                                               QWidget* parent)
    : QDialog(parent), settings_(settings), typedPrefix_(settings.Prefix()),
      format_(Named(new QComboBox, "imageFormat", tr("Image format"))),
      recordFormat_(Named(new QComboBox, "recordFormat", tr("Recording format"))),
      recordCaptions_(Named(new QCheckBox(tr("Keys pressed as captions under the screen")),
                            "recordCaptions", tr("Keys pressed as captions"))),
      prefix_(Named(new QLineEdit(settings.Prefix()), "fileNamePrefix", tr("File name prefix"))),
      folder_(Named(new QLabel(QDir::toNativeSeparators(settings.Folder())), "imageFolder",
                    tr("Save files to"))),
      fileName_(Named(new QLabel, "fileName", tr("File name"))),
      browse_(Named(new QPushButton(tr("Browse")), "browse", tr("Browse"))),
      reset_(Named(new QPushButton(tr("Reset counter")), "resetCounter", tr("Reset counter"))),
      buttons_(Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel),
                     "screenshotButtons", tr("OK or Cancel"))) {
    setObjectName(QStringLiteral("screenshotSettingsDialog"));
    setWindowTitle(tr("Screenshot settings"));
    setAccessibleName(windowTitle());
    for (const screenshot::ScreenshotFormat& format : screenshot::kScreenshotFormats) {
        format_->addItem(QString::fromLatin1(format.name), static_cast<uint>(format.index));
    }
    format_->setCurrentIndex(format_->findData(static_cast<uint>(settings.Format())));
    for (const recording::RecordingFormat& format : recording::kRecordingFormats) {
        recordFormat_->addItem(QString::fromLatin1(format.name), static_cast<uint>(format.index));
    }
    recordFormat_->setCurrentIndex(
        recordFormat_->findData(static_cast<uint>(settings.RecordFormat())));
    recordCaptions_->setChecked(settings.RecordCaptions());
    prefix_->setMaxLength(kMaxPrefix);
    folder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layOut();
    connectControls();
    refreshFileName();
}

void CScreenshotSettingsDlg::layOut() {
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse_);
    auto* form = new QFormLayout;
    form->addRow(tr("Image format"), format_);
    form->addRow(tr("File name prefix"), prefix_);
    form->addRow(tr("Save files to"), folderRow);
    form->addRow(tr("Next file"), fileName_);
    form->addRow(QString(), reset_);
    form->addRow(tr("Recording format"), recordFormat_);
    form->addRow(QString(), recordCaptions_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
}

void CScreenshotSettingsDlg::connectControls() {
    connect(format_, &QComboBox::currentIndexChanged, this, [this] {
        settings_.SetFormat(format_->currentData().toUInt());
        refreshFileName();
    });
    connect(recordFormat_, &QComboBox::currentIndexChanged, this,
            [this] { settings_.SetRecordFormat(recordFormat_->currentData().toUInt()); });
    connect(recordCaptions_, &QCheckBox::toggled, this,
            [this](bool on) { settings_.SetRecordCaptions(on); });
    connect(prefix_, &QLineEdit::textEdited, this, &CScreenshotSettingsDlg::prefixEdited);
    connect(browse_, &QPushButton::clicked, this, &CScreenshotSettingsDlg::browse);
    connect(reset_, &QPushButton::clicked, this, [this] {
        settings_.SetCounter(0);
        refreshFileName();
    });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// A prefix with a character no file name may hold is refused, and the one
// before stays in the settings; the field keeps it to be corrected.
void CScreenshotSettingsDlg::prefixEdited(const QString& text) {
    const QString before = std::exchange(typedPrefix_, text);
    if (!TakesFileNameEdit(*prefix_, text, before)) {
        return;
    }
    settings_.SetPrefix(text);
    refreshFileName();
}

void CScreenshotSettingsDlg::browse() {
    CBrowseForFolderDialog browser(this, tr("Image saving path"), settings_.Folder());
    if (browser.exec() == QDialog::Accepted && !browser.FolderPath().isEmpty()) {
        settings_.SetFolder(browser.FolderPath());
        folder_->setText(QDir::toNativeSeparators(settings_.Folder()));
        refreshFileName();
    }
}

void CScreenshotSettingsDlg::refreshFileName() {
    fileName_->setText(screenshot::ScreenshotFileName(settings_));
}

} // namespace ombrix::shell
