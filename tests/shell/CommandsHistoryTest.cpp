// The commands history bar of the real main window: its list and the rules of
// its commands, saving with the latest screenshot, a failed save said, the
// saving settings dialog, and playing a saved history back to ombrix-sim.
#include "MainFrameFixture.h"
#include "SimProcess.h"
#include "SimRecord.h"
#include "shell/CCommandsSavingSettingsDlg.h"
#include "shell/CCommandsToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/HistoryPlayback.h"

#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace ombrix::shell {
namespace {

using testing::kPatienceMs;
constexpr int kUpWithDown = 0x6E;           // the sample models' combination code
constexpr std::uint32_t kEscapeHeld = 0x6F; // and ESC's hold code

class CommandsHistoryTest : public testing::MainFrameFixture {
protected:
    QByteArray historySettings(const QString& folder, const QByteArray& more = {}) const {
        return "[MainSettings/CommandsToolbar]\nfile_name=\"log.txt\"\nadd_image_info=1\n"
               "separator=\"Demo\"\nfolder=\"" +
               folder.toUtf8() + "\"\n" + more;
    }
    CCommandsToolbar& bar() const { return frame().CommandsBar(); }
    COmbrixView& view() const { return frame().View(); }
    QListWidget& list() const {
        return *bar().findChild<QListWidget*>(QStringLiteral("commandsList"));
    }
    bool enabled(const char* command) const {
        return bar().Command(QString::fromLatin1(command))->isEnabled();
    }
    QString message() const { return frame().statusBar()->currentMessage(); }

    std::vector<int> received() const {
        return sim::testing::SimRecord(sim->recordPath(), 1).keyCodes();
    }
    int code(const char* key) const {
        return static_cast<int>(
            view().Keys().Layout().ButtonByName(QString::fromLatin1(key))->keyCode);
    }
    void typeKey(int qtKey) const {
        for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
            QKeyEvent event(type, qtKey, Qt::NoModifier);
            QApplication::sendEvent(&view(), &event);
        }
    }
    QString historyFile(const char* name, const QByteArray& text) const {
        const QString path = scratch.filePath(QString::fromLatin1(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        return path;
    }
};

QByteArray contentsOf(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

TEST_F(CommandsHistoryTest, TheListShowsNewestFirstAndItsCommandsFollowRowsAndSelection) {
    ASSERT_TRUE(start()) << startError.toStdString();
    const auto commandsAre = [&](bool deleteSelected, bool withRows) {
        EXPECT_EQ(enabled("HistoryDeleteSelected"), deleteSelected);
        for (const char* command : {"HistoryDeleteAll", "HistorySave", "HistorySaveAs"}) {
            EXPECT_EQ(enabled(command), withRows) << command;
        }
        EXPECT_TRUE(enabled("HistorySettings"));
        EXPECT_TRUE(enabled("HistoryPlayBack"));
        // With nothing to save, a click on "Save" opens its menu.
        auto* saveButton =
            bar().findChild<QToolButton*>(QStringLiteral("actionHistorySaveToolButton"));
        ASSERT_NE(saveButton, nullptr);
        EXPECT_TRUE(saveButton->isEnabled());
        EXPECT_EQ(saveButton->popupMode(),
                  withRows ? QToolButton::MenuButtonPopup : QToolButton::InstantPopup);
    };
    commandsAre(false, false);
    const QMenu* dropDown =
        bar().findChild<QToolButton*>(QStringLiteral("actionHistorySaveToolButton"))->menu();
    ASSERT_NE(dropDown, nullptr);
    QStringList dropped;
    for (const QAction* action : dropDown->actions()) {
        dropped.append(action->text());
    }
    EXPECT_EQ(dropped, (QStringList{"Save as...", "Settings...", "Play back..."}));

    for (const char* key : {"A", "B", "C"}) {
        bar().AddEntry({QString::fromLatin1(key)});
    }
    bar().AddEntry({QStringLiteral("MENU"), QStringLiteral("OK")});
    EXPECT_EQ(bar().Entries(), (QStringList{"MENU + OK", "C", "B", "A"}));
    commandsAre(false, true);

    list().setCurrentRow(0);
    commandsAre(true, true);
    QTest::keyClick(&list(), Qt::Key_Delete);
    EXPECT_EQ(bar().Entries(), (QStringList{"C", "B", "A"}));
    commandsAre(false, true);

    list().item(0)->setSelected(true);
    list().item(2)->setSelected(true);
    bar().Command(QStringLiteral("HistoryDeleteSelected"))->trigger();
    EXPECT_EQ(bar().Entries(), QStringList{"B"});
    ASSERT_EQ(bar().History().size(), 1u);
    EXPECT_EQ(bar().History().front().keys, QStringList{"B"});

    bar().Command(QStringLiteral("HistoryDeleteAll"))->trigger();
    EXPECT_TRUE(bar().Entries().isEmpty());
    commandsAre(false, false);

    auto* menu = bar().findChild<QMenu*>(QStringLiteral("historyMenu"));
    auto* saving = bar().findChild<QMenu*>(QStringLiteral("historySavingMenu"));
    ASSERT_TRUE(menu && saving);
    QStringList texts;
    for (const QMenu* each : {menu, saving}) {
        for (const QAction* action : each->actions()) {
            texts.append(action->text());
        }
    }
    EXPECT_EQ(texts, (QStringList{"&Delete selected", "Delete all", "", "Saving", "Save",
                                  "Save as...", "Settings...", "Play back..."}));

    QStringList filters;
    QTimer::singleShot(0, &bar(), [&filters] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            filters = dialog->nameFilters();
            dialog->reject();
        }
    });
    bar().SaveAs();
    EXPECT_EQ(filters, (QStringList{"Text files (*.txt)", "All Files (*.*)"}));
}

TEST_F(CommandsHistoryTest, SavingNamesTheLatestScreenshotOfThisRunAndAFailureIsSaid) {
    const QString folder = scratch.filePath(QStringLiteral("history"));
    startWithInstrument(historySettings(folder) +
                        "[MainSettings/Screenshot]\nimage_format=2\n"
                        "image_folder=\"" +
                        scratch.filePath(QStringLiteral("shots")).toUtf8() + "\"\n");
    const QString log = folder + QStringLiteral("/log.txt");
    EXPECT_TRUE(bar().Save());
    EXPECT_FALSE(QFile::exists(log)) << "an empty history made a file";

    bar().AddEntry({QStringLiteral("A")});
    bar().AddEntry({QStringLiteral("B"), QStringLiteral("C")});
    bar().Command(QStringLiteral("HistorySave"))->trigger();
    EXPECT_EQ(contentsOf(log), "Demo\n#Latest saved image: <None>\nA\nB + C\n");
    EXPECT_EQ(frame().statusBar()->currentMessage(),
              QStringLiteral("Commands history saved to ") + QDir::toNativeSeparators(log));

    trigger(CommandId::ScreenshotSave);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return !application->LastSavedImage().isEmpty(); }, kPatienceMs));
    bar().Save();
    EXPECT_EQ(contentsOf(log), "Demo\n#Latest saved image: " +
                                   application->LastSavedImage().toUtf8() + "\nA\nB + C\n");

    QFile blocker(scratch.filePath(QStringLiteral("blocker")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QString said;
    testing::CloseMessageBoxSoon(bar(), said);
    EXPECT_FALSE(bar().SaveTo(scratch.filePath(QStringLiteral("blocker/log.txt"))));
    EXPECT_TRUE(said.startsWith(QStringLiteral("The commands history could not be saved to ") +
                                scratch.filePath(QStringLiteral("blocker/log.txt"))))
        << said.toStdString();
}

TEST(CommandsSavingSettingsDialogTest, EditsACopyRefusingNamesNoFileCanHave) {
    settings::CommandsToolbarSettings settings;
    settings.SetFileName(QStringLiteral("history"));
    CCommandsSavingSettingsDlg dialog(settings);
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("historyFileName"));
    auto* comment = dialog.findChild<QLineEdit*>(QStringLiteral("historyComment"));
    ASSERT_TRUE(name && comment);
    EXPECT_EQ(name->maxLength(), 256);
    EXPECT_EQ(name->text(), QStringLiteral("history.txt"));

    name->clear();
    QTest::keyClicks(name, QStringLiteral("log"));
    EXPECT_EQ(dialog.Settings().FileName(), QStringLiteral("log.txt"));
    QString shown;
    testing::CloseMessageBoxSoon(dialog, shown);
    QTest::keyClicks(name, QStringLiteral(":"));
    EXPECT_EQ(shown, QStringLiteral("File name cannot include \\/:*?\"<>|"));
    EXPECT_EQ(name->text(), QStringLiteral("log:")) << "what was typed stays, to be corrected";
    EXPECT_EQ(dialog.Settings().FileName(), QStringLiteral("log.txt"));
    shown.clear();
    QTest::keyClicks(name, QStringLiteral("x"));
    emit name->editingFinished();
    EXPECT_EQ(shown, QString()) << "said once, not at every key";
    EXPECT_EQ(name->text(), QStringLiteral("log:x"));
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClick(name, Qt::Key_Backspace);
    QTest::keyClicks(name, QStringLiteral(".csv"));
    EXPECT_EQ(dialog.Settings().FileName(), QStringLiteral("log.txt"));
    emit name->editingFinished();
    EXPECT_EQ(name->text(), QStringLiteral("log.txt")) << "the field shows another name";
    name->selectAll();
    QTest::keyClick(name, Qt::Key_Backspace);
    EXPECT_EQ(dialog.Settings().FileName(), QStringLiteral("log.txt")) << "an empty name taken";

    QTest::keyClicks(comment, QStringLiteral("# run 2"));
    dialog.findChild<QCheckBox*>(QStringLiteral("historyAppend"))->click();
    dialog.findChild<QCheckBox*>(QStringLiteral("historyTimeStamps"))->click();
    EXPECT_EQ(dialog.Settings().Separator(), QStringLiteral("# run 2"));
    EXPECT_TRUE(dialog.Settings().Append());
    EXPECT_TRUE(dialog.Settings().TimeStamps());
    EXPECT_EQ(settings.FileName(), QStringLiteral("history.txt")) << "not a copy";
}

// Entries go out one per worker pass, through the key tables, and land in the
// history; the computer's keys press nothing meanwhile, and Esc stops.
TEST_F(CommandsHistoryTest, PlayingBackSendsEachEntrysCodeAndEscStops) {
    // The bar hidden: its list would take the keyboard.
    startWithInstrument(historySettings(scratch.path(), "visible=0\n"
                                                        "[MainSettings/View]\n"
                                                        "button_highlight_period=0\n"));
    // Saved with a comment the settings no longer hold, a note, and a hold.
    const QString played =
        historyFile("played.txt", "Run 1\n#Latest saved image: <None>\nOK\n\n"
                                  "[10:00:00] up + DOWN\n# Instrument #30302 (lum302plus.def)\n"
                                  "[10:00:01] ESC (hold)\n");
    EXPECT_EQ(frame().Playback().Start(played), QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !frame().Playback().Playing(); }, kPatienceMs));
    EXPECT_EQ(message(), QStringLiteral("Played back 3 entries."));
    EXPECT_EQ(received(), (std::vector<int>{code("OK"), kUpWithDown, kEscapeHeld}));
    EXPECT_EQ(bar().Entries(), (QStringList{"ESC (hold)", "UP + DOWN", "OK"}));

    QSignalSpy stored(&application->Document(), &document::DocumentHost::keyStored);
    const QString wrong = historyFile("wrong.txt", "OK\nOK + NOPE\n");
    EXPECT_EQ(frame().Playback().Start(wrong),
              wrong + QStringLiteral(", line 2: \"NOPE\" is not a key of this instrument"));
    EXPECT_FALSE(frame().Playback().Playing());
    EXPECT_EQ(stored.size(), 0);

    settings::ViewSettings slow = application->Settings().View();
    slow.SetHighlightPeriod(60'000);
    application->Settings().SetView(slow);
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    view().setFocus();
    EXPECT_EQ(frame().Playback().Start(played), QString());
    EXPECT_TRUE(message().startsWith(QStringLiteral("Playing back: entry 1 of 3")));
    EXPECT_FALSE(bar().Command(QStringLiteral("HistoryPlayBack"))->isEnabled());
    typeKey(Qt::Key_Return); // the play back's keys, not the computer's
    EXPECT_EQ(stored.size(), 1);

    QDialog dialog(&frame()); // a dialog open meanwhile keeps its Esc
    QTimer::singleShot(0, &dialog, [&] {
        QTest::keyClick(&dialog, Qt::Key_Escape);
        if (dialog.isVisible()) {
            dialog.accept(); // the Esc went elsewhere
        }
    });
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
    EXPECT_TRUE(frame().Playback().Playing());
    typeKey(Qt::Key_Escape);
    EXPECT_FALSE(frame().Playback().Playing());
    EXPECT_EQ(message(), QStringLiteral("Play back stopped after 1 of 3 entries."));
    typeKey(Qt::Key_Return);
    EXPECT_EQ(stored.size(), 2);
    EXPECT_TRUE(bar().Command(QStringLiteral("HistoryPlayBack"))->isEnabled());

    view().Keys().PlayHold(static_cast<std::uint32_t>(code("ESC")));
    EXPECT_EQ(stored.back().at(0).value<std::uint32_t>(), kEscapeHeld);
    EXPECT_EQ(bar().Entries().front(), QStringLiteral("ESC (hold)"));
}

} // namespace
} // namespace ombrix::shell
