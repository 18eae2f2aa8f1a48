#include "shell/CCommandsToolbar.h"

#include "history/HistoryFile.h"
#include "shell/ApplicationServices.h"
#include "shell/CCommandsSavingSettingsDlg.h"
#include "shell/CToolBarEx.h"
#include "shell/HistoryRules.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace ombrix::shell {

namespace {

// The list at its width, about a dozen entries high.
constexpr QSize kListSize{260, 260};
constexpr QSize kImageSize{24, 24};

QString historyFilters() {
    return QCoreApplication::translate("CCommandsToolbar", "Text files (*.txt);;All Files (*.*)");
}

} // namespace

CCommandsToolbar::CCommandsToolbar(QWidget* frame, ApplicationServices& application)
    : CFloatingBar(tr("Commands history"), new QWidget, frame), application_(application),
      list_(new QListWidget) {
    setObjectName(QStringLiteral("commandsBar"));
    content()->setObjectName(QStringLiteral("commandsContent"));
    content()->setAccessibleName(tr("Commands history"));
    list_->setObjectName(QStringLiteral("commandsList"));
    list_->setAccessibleName(tr("Commands history"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setSortingEnabled(false);
    list_->installEventFilter(this);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    createActions();
    createMenus();
    auto* layout = new QVBoxLayout(content());
    layout->setContentsMargins(0, 4, 0, 0);
    layout->addWidget(createToolbar(), 0, Qt::AlignHCenter);
    layout->addWidget(list_, 1);
    connect(list_, &QListWidget::itemSelectionChanged, this, &CCommandsToolbar::refreshCommands);
    connect(list_, &QWidget::customContextMenuRequested, this,
            [this](QPoint at) { contextMenu_->popup(list_->viewport()->mapToGlobal(at)); });
    resize(kListSize);
    refreshCommands();
}

void CCommandsToolbar::createActions() {
    const auto add = [this](const QString& text, const char* name, auto handler) {
        auto* action = new QAction(text, this);
        action->setObjectName(QStringLiteral("action") + QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    save_ = add(tr("Save"), "HistorySave", [this] { Save(); });
    // The toolbar's button is always enabled: with nothing to save, a click
    // opens its menu, which also holds what needs no history.
    saveButton_ = add(tr("Save"), "HistorySaveTool", [this] { Save(); });
    // Ctrl+S while the bar has the keyboard; the window's keys are the instrument's.
    save_->setShortcut(QKeySequence::Save);
    save_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(save_);
    saveAs_ = add(tr("Save as..."), "HistorySaveAs", [this] { SaveAs(); });
    settings_ = add(tr("Settings..."), "HistorySettings", [this] { ShowSettings(); });
    playBack_ = add(tr("Play back..."), "HistoryPlayBack", [this] { chooseFileToPlay(); });
    deleteAll_ = add(tr("Delete all"), "HistoryDeleteAll", [this] { DeleteAll(); });
    deleteSelected_ =
        add(tr("&Delete selected"), "HistoryDeleteSelected", [this] { DeleteSelected(); });
}

// "Save" and "Delete all", with their texts, centred above the list; "Save"
// drops down the other ways of saving.
QWidget* CCommandsToolbar::createToolbar() {
    toolbar_ = new CToolBarEx(tr("Commands history"));
    toolbar_->setObjectName(QStringLiteral("commandsToolbar"));
    toolbar_->setAccessibleName(tr("Commands history tools"));
    toolbar_->setMovable(false);
    toolbar_->toggleViewAction()->setObjectName(QStringLiteral("actionShowCommandsToolbar"));
    const QStringList images{QStringLiteral("history-save"), QStringLiteral("history-delete-all")};
    toolbar_->SetArtwork(images, kImageSize);
    toolbar_->ShowButtonTexts();
    toolbar_->SetButtons({{0, saveButton_}, {1, deleteAll_}});
    auto* saveMenu = new QMenu(tr("Save"), this);
    saveMenu->setObjectName(QStringLiteral("historySaveMenu"));
    saveMenu->setAccessibleName(tr("Save"));
    saveMenu->addActions({saveAs_, settings_, playBack_});
    if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(saveButton_))) {
        button->setMenu(saveMenu);
    }
    return toolbar_;
}

void CCommandsToolbar::createMenus() {
    contextMenu_ = new QMenu(tr("Menu"), this);
    contextMenu_->setObjectName(QStringLiteral("historyMenu"));
    contextMenu_->setAccessibleName(tr("Commands history"));
    contextMenu_->addAction(deleteSelected_);
    contextMenu_->addAction(deleteAll_);
    contextMenu_->addSeparator();
    QMenu* saving = contextMenu_->addMenu(tr("Saving"));
    saving->setObjectName(QStringLiteral("historySavingMenu"));
    saving->setAccessibleName(tr("Saving"));
    saving->addActions({save_, saveAs_, settings_, playBack_});
}

void CCommandsToolbar::AddEntry(const QStringList& keys, bool hold) {
    add(history::HistoryEntry::Keys(keys, QTime::currentTime(), hold));
}

void CCommandsToolbar::AddNote(const QString& text) {
    add(history::HistoryEntry::Note(text, QTime::currentTime()));
}

void CCommandsToolbar::add(history::HistoryEntry entry) {
    entries_.push_back(std::move(entry));
    list_->insertItem(0, entries_.back().Text());
    refreshCommands();
    emit entryAdded(entries_.back().Text());
}

QStringList CCommandsToolbar::Entries() const {
    QStringList shown;
    for (int row = 0; row < list_->count(); ++row) {
        shown.append(list_->item(row)->text());
    }
    return shown;
}

void CCommandsToolbar::DeleteAll() {
    entries_.clear();
    list_->clear();
    refreshCommands();
}

// Row r shows entry n - 1 - r.
void CCommandsToolbar::DeleteSelected() {
    if (!list_->selectionModel()->hasSelection()) {
        return;
    }
    const int count = static_cast<int>(entries_.size());
    std::vector<bool> doomed(entries_.size(), false);
    for (const QModelIndex& row : list_->selectionModel()->selectedRows()) {
        doomed[static_cast<std::size_t>(count - 1 - row.row())] = true;
    }
    std::vector<history::HistoryEntry> kept;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (!doomed[i]) {
            kept.push_back(entries_[i]);
        }
    }
    entries_ = std::move(kept);
    refill();
}

void CCommandsToolbar::refill() {
    list_->setUpdatesEnabled(false);
    list_->clear();
    for (const history::HistoryEntry& entry : entries_) {
        list_->insertItem(0, entry.Text());
    }
    list_->setUpdatesEnabled(true);
    refreshCommands();
}

bool CCommandsToolbar::Save() {
    return SaveTo(application_.Settings().CommandsToolbar().FilePath());
}

// A record the person saving believes exists: a failure is never silent.
bool CCommandsToolbar::SaveTo(const QString& path) {
    QString error;
    if (history::WriteHistory(path, entries_, application_.Settings().CommandsToolbar(),
                              application_.LastSavedImage(), error)) {
        emit saved(path);
        return true;
    }
    QMessageBox::warning(this, windowTitle(),
                         tr("The commands history could not be saved to %1: %2.")
                             .arg(QDir::toNativeSeparators(path), error));
    return false;
}

void CCommandsToolbar::SaveAs() {
    const settings::CommandsToolbarSettings& settings = application_.Settings().CommandsToolbar();
    QFileDialog dialog(this, tr("Save as"), settings.FilePath(), historyFilters());
    dialog.setObjectName(QStringLiteral("historySaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    // Appending to a file replaces nothing: there is nothing to confirm.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, settings.Append());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        SaveTo(dialog.selectedFiles().front());
    }
}

void CCommandsToolbar::ShowSettings() {
    CCommandsSavingSettingsDlg dialog(application_.Settings().CommandsToolbar(), this);
    if (dialog.exec() == QDialog::Accepted) {
        application_.Settings().SetCommandsToolbar(dialog.Settings());
    }
}

void CCommandsToolbar::chooseFileToPlay() {
    const QString path = QFileDialog::getOpenFileName(
        this, tr("Play back"), application_.Settings().CommandsToolbar().Folder(),
        historyFilters());
    if (!path.isEmpty()) {
        emit playBackRequested(path);
    }
}

QAction* CCommandsToolbar::Command(const QString& name) const {
    return findChild<QAction*>(QStringLiteral("action") + name);
}

void CCommandsToolbar::SetPlayingBack(bool playing) {
    playing_ = playing;
    refreshCommands();
}

void CCommandsToolbar::refreshCommands() {
    const HistoryCommands commands = HistoryCommandsFor(
        list_->count(), static_cast<int>(list_->selectionModel()->selectedRows().size()), playing_);
    deleteSelected_->setEnabled(commands.deleteSelected);
    deleteAll_->setEnabled(commands.deleteAll);
    save_->setEnabled(commands.save);
    saveAs_->setEnabled(commands.saveAs);
    playBack_->setEnabled(commands.playBack);
    if (auto* button = qobject_cast<QToolButton*>(toolbar_->widgetForAction(saveButton_))) {
        button->setPopupMode(commands.save ? QToolButton::MenuButtonPopup
                                           : QToolButton::InstantPopup);
    }
}

// The list's Delete key.
bool CCommandsToolbar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        DeleteSelected();
        return true;
    }
    return CFloatingBar::eventFilter(watched, event);
}

} // namespace ombrix::shell
