// Pressing instrument keys in the real main window: clicks on the front panel,
// computer keys, the keyboard bar, the hold, the rings and the cursors. The
// key timers are run by hand; codes are seen where the window hands them to
// the document.
#include "MainFrameFixture.h"
#include "ManualKeyTimers.h"
#include "SimRecord.h"
#include "model/ModelFile.h"
#include "shell/CCommandsToolbar.h"
#include "shell/CKeyboardToolbar.h"
#include "shell/COmbrixView.h"
#include "shell/CToolBarEx.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>
#include <set>

namespace ombrix::shell {
namespace {

using namespace std::chrono_literals;
using Codes = std::vector<std::uint32_t>;

// The sample models' shortcut codes (see the key tables the sample data writes).
constexpr std::uint32_t kMenuThenEnter = 0x6D;
constexpr std::uint32_t kUpWithDown = 0x6E;
constexpr std::uint32_t kEscapeHeld = 0x6F;

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kYellow = qRgb(255, 255, 0);

class KeyInputTest : public testing::MainFrameFixture {
protected:
    std::optional<testing::ManualKeyTimers> timers;
    std::unique_ptr<QSignalSpy> stored;

    // The commands bar hidden, as its list would take the keyboard; the view
    // has it.
    void open(const QByteArray& settings = {}) {
        startWithInstrument("[MainSettings/CommandsToolbar]\nvisible=0\n" + settings);
        frame().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
        view().setFocus();
        timers.emplace(view().Keys());
        stored = std::make_unique<QSignalSpy>(&application->Document(),
                                              &document::DocumentHost::keyStored);
    }
    std::vector<int> received() const {
        return sim::testing::SimRecord(sim->recordPath(), 1).keyCodes();
    }

    COmbrixView& view() const { return frame().View(); }
    const ViewLayout& layout() const { return view().Layout().value(); }

    const model::KeyButton& key(const char* name) const {
        const model::KeyButton* button =
            view().Keys().Layout().ButtonByName(QString::fromLatin1(name));
        EXPECT_NE(button, nullptr) << name;
        return *button;
    }
    std::size_t indexOf(const char* name) const {
        return static_cast<std::size_t>(&key(name) - view().Keys().Layout().buttons().data());
    }
    QPoint centreOf(const char* name) const {
        const base::Rect& rect = key(name).rect;
        return PictureToWindow(QPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2),
                               layout());
    }

    void click(const char* name, Qt::MouseButton button = Qt::LeftButton) const {
        QTest::mouseClick(&view(), button, {}, centreOf(name));
    }

    void sendKey(QEvent::Type type, int qtKey, Qt::KeyboardModifiers modifiers = {},
                 bool autoRepeat = false) const {
        QKeyEvent event(type, qtKey, modifiers, QString(), autoRepeat);
        QApplication::sendEvent(&view(), &event);
    }
    void typeKey(int qtKey, Qt::KeyboardModifiers modifiers = {}) const {
        sendKey(QEvent::KeyPress, qtKey, modifiers);
        sendKey(QEvent::KeyRelease, qtKey, modifiers);
    }

    Codes codes() const {
        Codes sent;
        for (const QList<QVariant>& each : *stored) {
            sent.push_back(each.at(0).value<std::uint32_t>());
        }
        return sent;
    }
    QString lastEntry() const {
        const QStringList entries = frame().CommandsBar().Entries();
        return entries.isEmpty() ? QString() : entries.front();
    }

    bool ringOn(const char* name) const {
        return view().Keys().Highlights().ShowsRing(indexOf(name));
    }
    // The colour where the ring around the key crosses its middle row on the left.
    QRgb ringPixel(const char* name) const {
        const base::Rect& rect = key(name).rect;
        const QPoint left =
            PictureToWindow(QPoint(rect.left, (rect.top + rect.bottom) / 2), layout());
        return view().grab().toImage().pixel(left.x() - 4, left.y());
    }

    QToolButton* barButton(int position) const {
        CToolBarEx& bar = frame().KeyboardBar().Toolbar();
        return qobject_cast<QToolButton*>(bar.widgetForAction(bar.actions().at(position)));
    }
};

TEST_F(KeyInputTest, ClicksOnTheFrontPanelSendTheCodesOfTheKeyTables) {
    open();
    click("MENU");
    EXPECT_EQ(codes(), (Codes{key("MENU").keyCode}));
    EXPECT_EQ(lastEntry(), QStringLiteral("MENU"));

    click("MENU", Qt::RightButton); // waits for a longer sequence
    EXPECT_EQ(codes().size(), 1u);
    EXPECT_TRUE(ringOn("MENU"));
    click("OK");
    EXPECT_EQ(codes().back(), kMenuThenEnter);
    EXPECT_EQ(lastEntry(), QStringLiteral("MENU + OK"));

    click("UP", Qt::RightButton);
    click("DOWN");
    EXPECT_EQ(codes().back(), kUpWithDown);
    EXPECT_EQ(lastEntry(), QStringLiteral("UP + DOWN"));
    EXPECT_EQ(codes().size(), 3u);
}

// The right and the bottom edge of a key are outside it; a click there ends
// the sequence under way.
TEST_F(KeyInputTest, AClickBesideEveryKeyEndsTheSequence) {
    open();
    const base::Rect menu = key("MENU").rect;
    const int middleX = (menu.left + menu.right) / 2;
    const int middleY = (menu.top + menu.bottom) / 2;
    for (const QPoint edge : {QPoint(menu.right, middleY), QPoint(middleX, menu.bottom)}) {
        QPoint window = PictureToWindow(edge, layout()) - QPoint(2, 2);
        while (WindowToPicture(window, layout()).x() < edge.x() ||
               WindowToPicture(window, layout()).y() < edge.y()) {
            window += QPoint(WindowToPicture(window, layout()).x() < edge.x() ? 1 : 0,
                             WindowToPicture(window, layout()).y() < edge.y() ? 1 : 0);
        }
        const QPoint inside =
            window - QPoint(edge.x() == menu.right ? 1 : 0, edge.y() == menu.bottom ? 1 : 0);
        ASSERT_EQ(view().Keys().Layout().HitTest(WindowToPicture(inside, layout())), &key("MENU"));

        click("MENU", Qt::RightButton);
        QTest::mouseClick(&view(), Qt::LeftButton, {}, window);
        EXPECT_FALSE(ringOn("MENU"));
        click("OK");
        EXPECT_EQ(codes().back(), key("OK").keyCode) << "not MENU then OK";
    }
}

TEST_F(KeyInputTest, OverlappingKeysGoToTheFirstInTheFile) {
    // The sample model with an ESC key laid over MENU, before it in the file.
    const QDir source(QString::fromStdString((testing::kPrograms / "Data").string()));
    const QString programs = scratch.filePath(QStringLiteral("programs"));
    ASSERT_TRUE(QDir().mkpath(programs + QStringLiteral("/Data")));
    for (const QString& picture : source.entryList({QStringLiteral("lum302plus*.bmp")})) {
        ASSERT_TRUE(QFile::copy(source.filePath(picture), programs + "/Data/" + picture));
    }
    model::ModelFile sample;
    sample.load(source.filePath(QStringLiteral("lum302plus.def")));
    const model::KeyboardLayout& keys = sample.layout();
    std::vector<model::KeyButton> buttons = keys.buttons();
    model::KeyButton over = *keys.ButtonByName(QStringLiteral("ESC"));
    over.rect = keys.ButtonByName(QStringLiteral("MENU"))->rect;
    buttons.insert(buttons.begin(), over);
    model::ModelFile(sample.model(), model::KeyboardLayout(buttons, keys.toolbarBitmap(),
                                                           keys.toolbarButtons(), keys.tables()))
        .save(programs + QStringLiteral("/Data/lum302plus.def"));

    sim.emplace(QStringList{"--do", "freeze all on", "colour"}, devices());
    writeSettings({});
    application = std::make_unique<app::COmbrixApp>(
        app::COmbrixApp::Options{settingsFile(),
                                 scratch.filePath(QStringLiteral("devices")).toStdString(),
                                 {},
                                 programs.toStdString()});
    QString error;
    ASSERT_TRUE(application->InitInstance(programs + "/Data/lum302plus.def*30302", error))
        << error.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return application->Document().CanSendKeys(); },
                                testing::kPatienceMs));
    stored =
        std::make_unique<QSignalSpy>(&application->Document(), &document::DocumentHost::keyStored);
    QTest::mouseClick(&view(), Qt::LeftButton, {}, centreOf("MENU"));
    EXPECT_EQ(codes(), (Codes{over.keyCode}));
    EXPECT_EQ(lastEntry(), QStringLiteral("ESC"));
}

TEST_F(KeyInputTest, ComputerKeysPressTheirPairedKeysOncePerPress) {
    open();
    typeKey(Qt::Key_Return);
    EXPECT_EQ(codes(), (Codes{0x61}));
    EXPECT_EQ(lastEntry(), QStringLiteral("OK"));

    sendKey(QEvent::KeyPress, Qt::Key_Down);
    for (int repeat = 0; repeat < 3; ++repeat) {
        sendKey(QEvent::KeyRelease, Qt::Key_Down, {}, true);
        sendKey(QEvent::KeyPress, Qt::Key_Down, {}, true);
    }
    sendKey(QEvent::KeyRelease, Qt::Key_Down);
    EXPECT_EQ(codes(), (Codes{0x61, 0x68})) << "auto-repeat presses nothing";

    // Ctrl held is the right button: UP waits, and DOWN completes the combination.
    sendKey(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    typeKey(Qt::Key_Up, Qt::ControlModifier);
    typeKey(Qt::Key_Down, Qt::ControlModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_EQ(codes().back(), kUpWithDown);
    EXPECT_EQ(lastEntry(), QStringLiteral("UP + DOWN"));

    // Alt and Ctrl that start a shortcut press nothing and leave a sequence
    // under way as it was.
    click("MENU", Qt::RightButton);
    sendKey(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    typeKey(Qt::Key_V, Qt::AltModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Alt);
    sendKey(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    typeKey(Qt::Key_C, Qt::ControlModifier);
    sendKey(QEvent::KeyRelease, Qt::Key_Control);
    EXPECT_TRUE(ringOn("MENU"));
    click("OK");
    EXPECT_EQ(codes().back(), kMenuThenEnter);

    // A key that presses nothing ends the sequence under way.
    click("MENU", Qt::RightButton);
    typeKey(Qt::Key_Q);
    typeKey(Qt::Key_Return);
    EXPECT_EQ(codes().back(), 0x61u) << "OK alone, not MENU then OK";

    // Without the front panel the keys still work, and the caption names them.
    trigger(CommandId::NormalWithoutKeyboard);
    const std::size_t sent = codes().size();
    QTest::mouseClick(&view(), Qt::LeftButton, {}, view().rect().center());
    EXPECT_EQ(codes().size(), sent) << "no front panel, no keys to click";
    typeKey(Qt::Key_Escape);
    EXPECT_EQ(codes().back(), key("ESC").keyCode);
    EXPECT_EQ(view().Keys().Caption(), QStringLiteral("ESC"));
    // Under the screen, never over it, in the window and in fullscreen.
    for (const CommandId mode : {CommandId::NormalWithoutKeyboard, CommandId::Fullscreen}) {
        trigger(mode);
        QCoreApplication::processEvents();
        EXPECT_FALSE(view().CaptionRect().isEmpty());
        EXPECT_FALSE(view().CaptionRect().intersects(view().ScreenRect()));
        EXPECT_TRUE(view().rect().contains(view().CaptionRect()));
    }
    EXPECT_EQ(timers->Period(KeyTimer::Caption), 1000ms);
    timers->Fire(KeyTimer::Caption);
    EXPECT_TRUE(view().Keys().Caption().isEmpty());
}

// Each key a sample front panel shows, and each keyboard-bar button, sends
// the code its key table gives, and the instrument receives each one.
TEST_F(KeyInputTest, EveryPanelKeyAndBarButtonSendsItsCode) {
    open();
    const model::KeyboardLayout& layout = view().Keys().Layout();
    std::vector<int> expected;
    const auto sent = [&](std::uint32_t code, const QString& what) {
        ASSERT_FALSE(codes().empty()) << what.toStdString();
        EXPECT_EQ(codes().back(), code) << what.toStdString();
        expected.push_back(static_cast<int>(code));
        // One slot: the next code would take this one's place before it went out.
        ASSERT_TRUE(QTest::qWaitFor([&] { return !application->Document().KeyPending(); },
                                    testing::kPatienceMs));
    };
    for (const model::KeyButton& button : layout.buttons()) {
        click(button.keyName.toLatin1().constData());
        sent(button.keyCode, button.keyName);
    }
    for (std::size_t position = 0; position < layout.toolbarButtons().size(); ++position) {
        QTest::mouseClick(barButton(static_cast<int>(position)), Qt::LeftButton);
        sent(*layout.CodeAtBarPosition(static_cast<qsizetype>(position)),
             QStringLiteral("bar button %1").arg(position));
    }
    EXPECT_EQ(expected.size(), 29u); // 20 keys, 9 bar buttons
    EXPECT_TRUE(QTest::qWaitFor([&] { return received() == expected; }, testing::kPatienceMs));
}

// While no instrument is connected a press shows nothing, sends nothing and
// records nothing, now or when one connects later; it says so instead.
TEST_F(KeyInputTest, APressWhileTheInstrumentIsAwaySendsNothingAndSaysSo) {
    open();
    sim->controlOk("unplug 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !application->Document().CanSendKeys(); },
                                testing::kPatienceMs));
    click("MENU");
    QTest::mousePress(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    EXPECT_FALSE(ringOn("ESC"));
    EXPECT_FALSE(timers->Running(KeyTimer::Hold));
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    typeKey(Qt::Key_Return);
    QTest::mouseClick(barButton(0), Qt::LeftButton);
    EXPECT_TRUE(codes().empty());
    EXPECT_TRUE(frame().CommandsBar().Entries().isEmpty());
    EXPECT_EQ(frame().statusBar()->currentMessage(), QStringLiteral("Not connected: key not sent"));

    sim->controlOk("replug 1");
    ASSERT_TRUE(QTest::qWaitFor([&] { return application->Document().CanSendKeys(); },
                                testing::kPatienceMs));
    // Compact mode polls nothing, yet a key pressed there goes out at once.
    trigger(CommandId::Compact);
    typeKey(Qt::Key_Return);
    EXPECT_EQ(codes(), (Codes{0x61}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return received() == std::vector<int>{0x61}; },
                                testing::kPatienceMs));
}

// The instrument in use is waited for ten seconds before another attached
// one takes its place, and the change is written into the history.
// While it is away its last screen is dimmed, marked and still: the measuring
// icon that blinked stops.
TEST_F(KeyInputTest, ALostInstrumentIsWaitedForAndAnotherIsNamedInTheHistory) {
    startWithInstrument({}, {QStringLiteral("colour"), QStringLiteral("mono")});
    const document::DocumentHost& host = application->Document();
    const auto serial = [&] { return host.Serial(); };
    ASSERT_EQ(serial(), QStringLiteral("10745")); // the lowest serial, on port 2
    const auto screensSeen = [&] {
        std::set<QByteArray> seen;
        for (int look = 0; look < 8; ++look) {
            const QImage shown = view().grab(view().ScreenRect()).toImage();
            seen.insert(QByteArray(reinterpret_cast<const char*>(shown.constBits()),
                                   static_cast<qsizetype>(shown.sizeInBytes())));
            QTest::qWait(200);
        }
        return seen.size();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.frame() != nullptr; }, testing::kPatienceMs));
    EXPECT_GT(screensSeen(), 1u) << "the icons blink while the instrument is there";
    EXPECT_FALSE(view().ShowsLostScreen());
    sim->controlOk("unplug 2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.CanSendKeys(); }, testing::kPatienceMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return view().ShowsLostScreen(); }, testing::kPatienceMs));
    EXPECT_EQ(screensSeen(), 1u) << "a lost screen blinks";
    EXPECT_EQ(serial(), QStringLiteral("10745"));
    EXPECT_EQ(host.StatusText(),
              QStringLiteral("Instrument lost: showing its last screen, waiting for it"));
    sim->controlOk("replug 2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.CanSendKeys(); }, testing::kPatienceMs));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !view().ShowsLostScreen(); }, testing::kPatienceMs));
    EXPECT_EQ(serial(), QStringLiteral("10745"));
    EXPECT_TRUE(frame().CommandsBar().Entries().isEmpty());

    QElapsedTimer away;
    sim->controlOk("unplug 2");
    away.start();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return serial() == QStringLiteral("30302"); }, testing::kPatienceMs));
    EXPECT_GE(away.elapsed(), 10'000);
    EXPECT_EQ(frame().CommandsBar().Entries(),
              QStringList{QStringLiteral("# Instrument #30302 (lum302plus.def)")});
}

TEST_F(KeyInputTest, KeysTypedIntoATextFieldStayThere) {
    open();
    auto* field = new QLineEdit(&frame());
    field->show();
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    field->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), field);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_TRUE(codes().empty());
    view().setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(codes(), (Codes{0x61}));
}

TEST_F(KeyInputTest, KeyboardBarButtonsPressAndReleaseAtOnce) {
    open();
    CKeyboardToolbar& bar = frame().KeyboardBar();
    ASSERT_TRUE(bar.Built());
    EXPECT_EQ(bar.Toolbar().ItemSize(0), QSize(55, 54));
    EXPECT_EQ(bar.Toolbar().ImageSize(), QSize(48, 48));
    EXPECT_TRUE(action(CommandId::KeyboardBar).isEnabled());

    QTest::mouseClick(barButton(0), Qt::LeftButton); // MENU
    EXPECT_EQ(codes(), (Codes{key("MENU").keyCode}));
    QTest::mouseClick(barButton(0), Qt::RightButton);
    EXPECT_EQ(codes().size(), 1u) << "MENU with the right button waits";
    QTest::mouseClick(barButton(2), Qt::LeftButton); // OK
    EXPECT_EQ(codes().back(), kMenuThenEnter);
    EXPECT_EQ(lastEntry(), QStringLiteral("MENU + OK"));

    trigger(CommandId::Fullscreen);                  // the bar works in every mode
    QTest::mouseClick(barButton(1), Qt::LeftButton); // ESC
    EXPECT_EQ(codes().back(), key("ESC").keyCode);
    trigger(CommandId::Compact);
    EXPECT_FALSE(action(CommandId::KeyboardBar).isEnabled());
    EXPECT_FALSE(bar.isVisible());
    trigger(CommandId::NormalWithKeyboard);
    trigger(CommandId::KeyboardBar);
    EXPECT_TRUE(bar.isVisible());
    EXPECT_TRUE(action(CommandId::KeyboardBar).isChecked());

    frame().close();
    application->ExitInstance();
    application.reset();
    const QSettings stored(settingsFile(), QSettings::IniFormat);
    EXPECT_TRUE(
        stored.value(QStringLiteral("MainSettings/MainFrame/keyboard_toolbar_visible")).toBool());
}

TEST_F(KeyInputTest, HoldingAKeyForFourSecondsSendsItsHoldCodeOnce) {
    open();
    QTest::mousePress(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    EXPECT_EQ(timers->Period(KeyTimer::Hold), 4000ms);
    timers->Fire(KeyTimer::Hold);
    EXPECT_EQ(codes(), (Codes{kEscapeHeld}));
    EXPECT_EQ(lastEntry(), QStringLiteral("ESC (hold)"));
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    EXPECT_EQ(codes(), (Codes{kEscapeHeld})) << "the release sends nothing more";

    QTest::mousePress(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, centreOf("ESC"));
    EXPECT_FALSE(timers->Running(KeyTimer::Hold));
    EXPECT_EQ(codes(), (Codes{kEscapeHeld, key("ESC").keyCode}));

    // The keyboard goes to another window while ESC is held: its release is
    // never seen, and neither its code nor its hold code may follow.
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    sendKey(QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_TRUE(timers->Running(KeyTimer::Hold));
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_FALSE(timers->Running(KeyTimer::Hold));
    EXPECT_FALSE(ringOn("ESC"));
    EXPECT_EQ(codes().size(), 2u);
}

TEST_F(KeyInputTest, RingsAreRedWhilePressedAndYellowForThePeriodAfter) {
    open();
    QTest::mousePress(&view(), Qt::LeftButton, {}, centreOf("MENU"));
    EXPECT_EQ(ringPixel("MENU"), kRed);
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, centreOf("MENU"));
    EXPECT_EQ(ringPixel("MENU"), kYellow);
    EXPECT_EQ(timers->Period(KeyTimer::Highlight), 250ms);
    for (int tick = 1; tick <= 3; ++tick) {
        timers->Fire(KeyTimer::Highlight);
        EXPECT_TRUE(ringOn("MENU")) << tick;
    }
    timers->Fire(KeyTimer::Highlight);
    EXPECT_FALSE(ringOn("MENU"));
    EXPECT_FALSE(timers->Running(KeyTimer::Highlight));
    EXPECT_NE(ringPixel("MENU"), kYellow);
}

TEST_F(KeyInputTest, WithNoHighlightPeriodEveryRingGoesAtTheFirstTick) {
    open("[MainSettings/View]\nbutton_highlight_period=0\n");
    QTest::mousePress(&view(), Qt::LeftButton, {}, centreOf("MENU"));
    EXPECT_TRUE(ringOn("MENU"));
    timers->Fire(KeyTimer::Highlight);
    EXPECT_FALSE(ringOn("MENU")) << "gone while the key is held";
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, centreOf("MENU"));
    EXPECT_TRUE(ringOn("MENU")) << "the sent code's ring";
    timers->Fire(KeyTimer::Highlight);
    EXPECT_FALSE(ringOn("MENU")) << "and it goes too";
}

TEST_F(KeyInputTest, ThePresentationCursorFollowsTheLeftButton) {
    open("[MainSettings/Cursor]\ncursor_size=1\n");
    const QPoint point = centreOf("MENU");
    QTest::mouseMove(&view(), point);
    EXPECT_EQ(view().Cursor().Shown(), (CursorResource{CursorState::Normal, 48}));
    QTest::mousePress(&view(), Qt::LeftButton, {}, point);
    EXPECT_EQ(view().Cursor().Shown(), (CursorResource{CursorState::Pressed, 48}));
    QTest::mouseRelease(&view(), Qt::LeftButton, {}, point);
    EXPECT_EQ(view().Cursor().Shown(), (CursorResource{CursorState::Normal, 48}));
    QTest::mousePress(&view(), Qt::RightButton, {}, point); // a key press on the panel
    EXPECT_EQ(view().Cursor().Shown(), (CursorResource{CursorState::Pressed, 48}));
    QTest::mouseRelease(&view(), Qt::RightButton, {}, point);
    EXPECT_EQ(view().Cursor().Shown(), (CursorResource{CursorState::Normal, 48}));

    // Its pixels are screen pixels, whatever the screen's density.
    const QPixmap dense = PresentationCursorImage({CursorState::Pressed, 48}, 2.0).pixmap();
    EXPECT_EQ(dense.size(), QSize(48, 48));
    EXPECT_EQ(dense.deviceIndependentSize(), QSizeF(24, 24));
    EXPECT_EQ(qAlpha(dense.toImage().pixel(47, 0)), 0) << "transparent around the pointer";
}

TEST_F(KeyInputTest, AnUnknownCursorSizeGivesTheArrow) {
    open("[MainSettings/Cursor]\ncursor_size=7\n");
    QTest::mouseMove(&view(), centreOf("MENU"));
    EXPECT_FALSE(view().Cursor().Shown().has_value());
    EXPECT_EQ(view().cursor().shape(), Qt::ArrowCursor);
}

} // namespace
} // namespace ombrix::shell
