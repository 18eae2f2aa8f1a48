#include "shell/CCommandsSavingSettingsDlg.h"

#include "shell/CBrowseForFolderDialog.h"
#include "shell/CScreenshotSettingsDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace ombrix::shell {

namespace {

template <typename Widget> Widget* named(Widget* widget, const char* name, const QString& label) {
    widget->setObjectName(QString::fromLatin1(name));
    widget->setAccessibleName(label);
    return widget;
}

QCheckBox* checkBox(const QString& text, const char* name, bool checked) {
    auto* box = named(new QCheckBox(text), name, text);
    box->setChecked(checked);
    return box;
}

} // namespace

CCommandsSavingSettingsDlg::CCommandsSavingSettingsDlg(
    const settings::CommandsToolbarSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), acceptedName_(settings.FileName()),
      fileName_(named(new QLineEdit(settings.FileName()), "historyFileName", tr("File name"))),
      folder_(named(new QLabel(QDir::toNativeSeparators(settings.Folder())), "historyFolder",
                    tr("Save file to"))),
      browse_(named(new QPushButton(tr("Browse")), "historyBrowse", tr("Browse"))),
      append_(checkBox(tr("Append to existing file"), "historyAppend", settings.Append())),
      imageInfo_(
          checkBox(tr("Add latest saved image path"), "historyImageInfo", settings.AddImageInfo())),
      timeStamps_(checkBox(tr("Add time stamps"), "historyTimeStamps", settings.TimeStamps())),
      comment_(named(new QLineEdit(settings.Separator()), "historyComment", tr("Comment"))),
      buttons_(named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel),
                     "historyButtons", tr("OK or Cancel"))) {
    setObjectName(QStringLiteral("commandsSavingSettingsDialog"));
    setWindowTitle(tr("Commands saving settings"));
    setAccessibleName(windowTitle());
    fileName_->setMaxLength(kMaxFileName);
    folder_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layOut();
    connectControls();
}

void CCommandsSavingSettingsDlg::layOut() {
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse_);
    auto* form = new QFormLayout;
    form->addRow(tr("File name"), fileName_);
    form->addRow(tr("Save file to"), folderRow);
    form->addRow(QString(), append_);
    form->addRow(QString(), imageInfo_);
    form->addRow(QString(), timeStamps_);
    form->addRow(tr("Comment"), comment_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons_);
}

void CCommandsSavingSettingsDlg::connectControls() {
    connect(fileName_, &QLineEdit::textEdited, this, &CCommandsSavingSettingsDlg::fileNameEdited);
    connect(browse_, &QPushButton::clicked, this, &CCommandsSavingSettingsDlg::browse);
    connect(append_, &QCheckBox::toggled, this, [this](bool on) { settings_.SetAppend(on); });
    connect(imageInfo_, &QCheckBox::toggled, this,
            [this](bool on) { settings_.SetAddImageInfo(on); });
    connect(timeStamps_, &QCheckBox::toggled, this,
            [this](bool on) { settings_.SetTimeStamps(on); });
    connect(comment_, &QLineEdit::textEdited, this,
            [this](const QString& text) { settings_.SetSeparator(text); });
    connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

// A name no file may have is refused and the one before stays; an accepted
// one is kept with the extension ".txt".
void CCommandsSavingSettingsDlg::fileNameEdited(const QString& text) {
    const QString forbidden = CScreenshotSettingsDlg::ForbiddenCharacters();
    if (std::any_of(text.begin(), text.end(), [&](QChar c) { return forbidden.contains(c); })) {
        fileName_->setText(acceptedName_);
        QMessageBox::critical(this, windowTitle(), tr("File name cannot include ") + forbidden);
        return;
    }
    acceptedName_ = text;
    settings_.SetFileName(text);
}

void CCommandsSavingSettingsDlg::browse() {
    CBrowseForFolderDialog browser(this, tr("Commands saving path"), settings_.Folder());
    if (browser.exec() == QDialog::Accepted && !browser.FolderPath().isEmpty()) {
        settings_.SetFolder(browser.FolderPath());
        folder_->setText(QDir::toNativeSeparators(settings_.Folder()));
    }
}

} // namespace ombrix::shell
