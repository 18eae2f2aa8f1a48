#pragma once

#include "history/HistoryEntry.h"
#include "shell/CFloatingBar.h"

#include <QString>
#include <QStringList>
#include <vector>

class QAction;
class QListWidget;
class QMenu;

namespace ombrix::shell {

class ApplicationServices;
class CToolBarEx;

// The commands history bar ("Commands history"): the keys pressed on the
// instrument, newest first, which can be pruned, saved as text (to the file of
// the settings or one chosen), and played back.
class CCommandsToolbar : public CFloatingBar {
    Q_OBJECT

public:
    CCommandsToolbar(QWidget* frame, ApplicationServices& application);

    // A press: its keys' names in press order, pressed now; `hold`: its one
    // key was held for its hold code.
    void AddEntry(const QStringList& keys, bool hold = false);
    // A note about the session, saved as a "#" line that play back skips.
    void AddNote(const QString& text);
    // The entries as the list shows them, newest first.
    QStringList Entries() const;
    const std::vector<history::HistoryEntry>& History() const { return entries_; }

    void DeleteAll();
    void DeleteSelected();
    // Writes the history to the settings' file; a failure is said in a message.
    bool Save();
    // Writes the history to `path` with the settings' format.
    bool SaveTo(const QString& path);
    // Asks for a file and writes the history there.
    void SaveAs();
    void ShowSettings();
    // While a history plays back, no other can be started.
    void SetPlayingBack(bool playing);

    QAction* Command(const QString& name) const;

signals:
    // The user chose a history file to play back.
    void playBackRequested(const QString& path);
    // An entry was added: its text, as the list shows it.
    void entryAdded(const QString& text);
    // The history was written to `path`.
    void saved(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createActions();
    QWidget* createToolbar();
    void createMenus();
    void add(history::HistoryEntry entry);
    void refill();
    void refreshCommands();
    void chooseFileToPlay();

    ApplicationServices& application_;
    std::vector<history::HistoryEntry> entries_;
    QListWidget* list_;
    CToolBarEx* toolbar_ = nullptr;
    QMenu* contextMenu_ = nullptr;
    QAction* save_ = nullptr;
    QAction* saveButton_ = nullptr;
    QAction* saveAs_ = nullptr;
    QAction* settings_ = nullptr;
    QAction* playBack_ = nullptr;
    QAction* deleteAll_ = nullptr;
    QAction* deleteSelected_ = nullptr;
    bool playing_ = false;
};

} // namespace ombrix::shell
