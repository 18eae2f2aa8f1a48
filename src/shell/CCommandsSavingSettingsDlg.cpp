#include "shell/CCommandsSavingSettingsDlg.h"

#include "shell/CBrowseForFolderDialog.h"
#include "shell/DialogControls.h"

#include <QCheckBox>
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

namespace {

QCheckBox* checkBox(const QString& text, const char* name, bool checked) {
    auto* box = Named(new QCheckBox(text), name, text);
    box->setChecked(checked);
    return box;
}

} // namespace

CCommandsSavingSettingsDlg::CCommandsSavingSettingsDlg(
    const settings::CommandsToolbarSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), typedName_(settings.FileName()),
      fileName_(Named(new QLineEdit(settings.FileName()), "historyFileName", tr("File name"))),
      folder_(Named(new QLabel(QDir::toNativeSeparators(settings.Folder())), "historyFolder",
                    tr("Save file to"))),
      browse_(Named(new QPushButton(tr("Browse")), "historyBrowse", tr("Browse"))),
      append_(checkBox(tr("Append to existing file"), "historyAppend", settings.Append())),
      imageInfo_(
          checkBox(tr("Add latest saved image path"), "historyImageInfo", settings.AddImageInfo())),
      timeStamps_(checkBox(tr("Add time stamps"), "historyTimeStamps", settings.TimeStamps())),
      comment_(Named(new QLineEdit(settings.Separator()), "historyComment", tr("Comment"))),
      buttons_(Named(new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel),
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
    // Once typed, the field shows the name the file will have; a refused one
    // stays as typed, to be corrected.
    connect(fileName_, &QLineEdit::editingFinished, this, [this] {
        if (FileNameAllowed(fileName_->text())) {
            fileName_->setText(settings_.FileName());
            typedName_ = fileName_->text();
        }
    });
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

// A name no file may have is refused and the one before stays in the
// settings; an accepted one is kept with the extension ".txt". While the field
// is empty the name before stays too: ".txt" alone names no file anyone would
// look for.
void CCommandsSavingSettingsDlg::fileNameEdited(const QString& text) {
    const QString before = std::exchange(typedName_, text);
    if (TakesFileNameEdit(*fileName_, text, before) && !text.isEmpty()) {
        settings_.SetFileName(text);
    }
}

void CCommandsSavingSettingsDlg::browse() {
    CBrowseForFolderDialog browser(this, tr("Commands saving path"), settings_.Folder());
    if (browser.exec() == QDialog::Accepted && !browser.FolderPath().isEmpty()) {
        settings_.SetFolder(browser.FolderPath());
        folder_->setText(QDir::toNativeSeparators(settings_.Folder()));
    }
}

} // namespace ombrix::shell
