// Windows, the event queue and the keyboard: what reaches the program and in which order.
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "runtime/qt_internal.h"
#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

class ScreenEvents : public ::testing::Test {
  protected:
    ScreenEvents() : windows(TestMachine()) {
        // Nothing left over from an earlier test.
        while (windows.Poll().code != EventCode::None) {
        }
    }

    QWidget* Widget(int control) {
        return TestMachine().Internals().controls.at(control).widget.data();
    }

    Windows windows;
};

TEST_F(ScreenEvents, DialogWindowKeepsOuterCornerAndInnerSizeAndMovesToNegativeX) {
    ASSERT_TRUE(windows.Open(3, 100, 50, 300, 200, WindowStyle::Dialog, "Einstellungen"));
    EXPECT_EQ(windows.Current(), 3);
    EXPECT_EQ(windows.X(), 100);
    EXPECT_EQ(windows.Y(), 50);
    windows.Move(-256, 0);
    EXPECT_EQ(windows.X(), -256);
    EXPECT_EQ(windows.Y(), 0);
    QWidget* top = TestMachine().Internals().WindowWidgetOf(3);
    EXPECT_EQ(top->size(), QSize(300, 200));
    windows.SetMousePosition(300, 20);
    EXPECT_EQ(windows.MouseX(), 300);
    EXPECT_EQ(windows.MouseY(), 20);
    // The mouse stays where it is on the desktop when the window moves under it.
    windows.Move(0, 0);
    EXPECT_EQ(windows.MouseX(), 300 - 256);
}

TEST_F(ScreenEvents, BurstOfQueuedEventsIsTakenOnePerPoll) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    int observed = 0;
    windows.SetEventObserver([&observed](const Event&) { ++observed; });
    for (int i = 1; i <= 5; ++i) {
        windows.Queue(Event{EventCode::Control, i, 2});
    }
    windows.Queue(Event{EventCode::Toolbar, 3, 2});
    for (int i = 1; i <= 5; ++i) {
        const Event e = windows.Poll();
        EXPECT_EQ(e.code, EventCode::Control);
        EXPECT_EQ(e.number, i);
    }
    EXPECT_EQ(windows.Poll().code, EventCode::Toolbar);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    EXPECT_EQ(observed, 6);
    windows.SetEventObserver(nullptr);
}

TEST_F(ScreenEvents, WaitSleepsUntilAnEventArrives) {
    ASSERT_TRUE(windows.Open(3, 0, 0, 200, 100, WindowStyle::Dialog, "Einstellungen"));
    windows.PushButton(1, 10, 10, 80, 20, "OK");
    // The button is clicked while Wait sleeps in the toolkit's event loop.
    QTimer::singleShot(20, [this] { windows.Press(1); });
    const Event e = windows.Wait();
    EXPECT_EQ(e.code, EventCode::Control);
    EXPECT_EQ(e.number, 1);
    EXPECT_EQ(e.window, 3);
}

TEST_F(ScreenEvents, UserActionsGiveTheirEventsAndProgramChangesDoNot) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.Toolbar();
    windows.ToolbarButton(1, StandardIcon::NewFile, "Neu");
    windows.PushButton(51, 10, 40, 100, 20, "Werte speichern");
    windows.ListBox(1000, 10, 70, 100, 80);
    windows.AddRow(1000, "Nichts");
    windows.AddRow(1000, "Ziegelstein");
    windows.TextField(62, 120, 40, 40, 20, "1", TextFieldFlags::DigitsOnly);
    windows.TrackBar(61, 120, 70, 150, 20, 1, 8);
    windows.ComboBox(90, 120, 100, 150, 200);
    windows.AddRow(90, "Nichts");
    windows.AddRow(90, "Verbindungsnummer");

    // The program's own state changes are silent, except a text set in a text field, which
    // reports the field as typing would.
    windows.SetState(1000, 1);
    windows.SetState(61, 5);
    windows.SetState(90, 1);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    windows.SetText(62, "5");
    EXPECT_EQ(windows.Poll().number, 62);

    windows.Press(51);
    windows.PressToolbarButton(1);
    windows.Select(1000, 0);
    windows.Select(61, 3);
    windows.Select(90, 0);
    windows.TypeText(62, "7");
    const int expected[][2] = {{13100, 51}, {13101, 1},  {13100, 1000},
                               {13100, 61}, {13100, 90}, {13100, 62}};
    for (const auto& [code, number] : expected) {
        const Event e = windows.Poll();
        EXPECT_EQ(int(e.code), code);
        EXPECT_EQ(e.number, number);
        EXPECT_EQ(e.window, 2);
    }
    EXPECT_EQ(windows.Poll().code, EventCode::None);

    // A real click on a list row changes the selection and reports it once.
    auto* list = static_cast<QListWidget*>(Widget(1000));
    const QRect row = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    Event first = windows.Poll();
    EXPECT_EQ(first.code, EventCode::LeftButtonDown);
    EXPECT_EQ(windows.Poll().number, 1000);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    EXPECT_EQ(windows.State(1000), 1);

    // A click on the row already chosen is reported too, once; a right click is only the
    // press.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row.center());
    EXPECT_EQ(windows.Poll().code, EventCode::LeftButtonDown);
    EXPECT_EQ(windows.Poll().number, 1000);
    QTest::mouseClick(list->viewport(), Qt::RightButton, {}, row.center());
    EXPECT_EQ(windows.Poll().code, EventCode::RightButtonDown);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    EXPECT_EQ(windows.State(1000), 1);
}

TEST_F(ScreenEvents, CloseBoxAsksAndTheWindowStays) {
    ASSERT_TRUE(windows.Open(3, 0, 0, 200, 100, WindowStyle::Dialog, "Einstellungen"));
    QWidget* top = TestMachine().Internals().WindowWidgetOf(3);
    top->close();
    const Event e = windows.Poll();
    EXPECT_EQ(e.code, EventCode::Close);
    EXPECT_EQ(e.window, 3);
    EXPECT_TRUE(windows.IsOpen(3));
    EXPECT_TRUE(top->isVisible());
}

TEST_F(ScreenEvents, ClosedWindowTakesItsControlsAndPendingEventsAlong) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.PushButton(51, 10, 10, 80, 20, "A");
    ASSERT_TRUE(windows.Open(5, 0, 0, 200, 100, WindowStyle::Dialog, "PAUSE"));
    windows.PushButton(500, 10, 10, 80, 20, "WEITER");
    windows.TextField(501, 10, 40, 80, 20, "", TextFieldFlags::None);
    Widget(501)->setFocus();
    windows.Press(500);
    windows.Use(2);
    windows.Press(51);
    windows.Close(5);
    EXPECT_FALSE(windows.IsOpen(5));
    EXPECT_FALSE(windows.Exists(500));
    EXPECT_EQ(windows.WindowOf(500), 0);
    EXPECT_EQ(windows.WindowOf(51), 2);
    // Only the main window's event is left.
    const Event e = windows.Poll();
    EXPECT_EQ(e.number, 51);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    // The number is free again.
    windows.Use(2);
    windows.PushButton(500, 10, 40, 80, 20, "B");
    EXPECT_EQ(windows.WindowOf(500), 2);
}

TEST_F(ScreenEvents, MousePressAnywhereInTheWindowIsOneEventWithItsModifiers) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.Frame(99, 5, 5, 200, 100, "Elemente");
    windows.Label(20, 10, 30, 100, 30, "Verbindungsnummer (0=ohne_Schalter)");
    QWidget* top = TestMachine().Internals().WindowWidgetOf(2);
    QTest::mouseClick(top, Qt::LeftButton, {}, QPoint(300, 200));
    QTest::mouseClick(Widget(20), Qt::LeftButton, Qt::ShiftModifier | Qt::ControlModifier,
                      QPoint(5, 5));
    QTest::mouseClick(top, Qt::RightButton, Qt::ControlModifier, QPoint(300, 200));
    // The left button is down from its press to its release.
    QTest::mousePress(top, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_TRUE(windows.LeftButtonHeld());
    QTest::mouseRelease(top, Qt::LeftButton, {}, QPoint(120, 100));
    EXPECT_FALSE(windows.LeftButtonHeld());
    const Event expected[] = {{EventCode::LeftButtonDown, 0, 2},
                              {EventCode::LeftButtonDown, kShiftHeld | kControlHeld, 2},
                              {EventCode::RightButtonDown, kControlHeld, 2},
                              {EventCode::LeftButtonDown, 0, 2}};
    for (const Event& want : expected) {
        const Event e = windows.Poll();
        EXPECT_EQ(e.code, want.code);
        EXPECT_EQ(e.number, want.number);
        EXPECT_EQ(e.window, want.window);
    }
    EXPECT_EQ(windows.Poll().code, EventCode::None);
}

TEST_F(ScreenEvents, KeyReleasedOnceAfterManyHeldPasses) {
    Keyboard keys(TestMachine());
    keys.SetKey(Key::F5, true);
    for (int pass = 0; pass < 50; ++pass) {
        keys.Snapshot();
        EXPECT_TRUE(keys.Held(Key::F5));
        EXPECT_FALSE(keys.Released(Key::F5));
    }
    keys.SetKey(Key::F5, false);
    int releases = 0;
    for (int pass = 0; pass < 10; ++pass) {
        keys.Snapshot();
        EXPECT_FALSE(keys.Held(Key::F5));
        releases += keys.Released(Key::F5) ? 1 : 0;
    }
    EXPECT_EQ(releases, 1);
    // A key that went down and up between two snapshots was never seen down: no release.
    keys.SetKey(Key::F6, true);
    keys.SetKey(Key::F6, false);
    keys.Snapshot();
    EXPECT_FALSE(keys.Released(Key::F6));
}

TEST_F(ScreenEvents, TabArrowsAndEscapeReachTheKeyTableAndNeverMoveTheFocus) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.TextField(11, 10, 10, 60, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(31, 10, 40, 60, 20, "0", TextFieldFlags::DigitsOnly);
    windows.PushButton(51, 10, 70, 80, 20, "Werte speichern");
    windows.PushButton(52, 100, 70, 80, 20, "Andere");
    windows.Activate();
    QCoreApplication::processEvents();
    Keyboard keys(TestMachine());
    struct Case {
        Qt::Key qt;
        Key key;
        int focused;
    };
    for (const Case& c : {Case{Qt::Key_Tab, Key::Tab, 11}, Case{Qt::Key_Escape, Key::Escape, 11},
                          Case{Qt::Key_Right, Key::Right, 51}, Case{Qt::Key_Down, Key::Down, 51}}) {
        SCOPED_TRACE(c.focused);
        QWidget* focus = Widget(c.focused);
        focus->setFocus();
        QTest::keyPress(focus, c.qt);
        keys.Snapshot();
        EXPECT_TRUE(keys.Held(c.key));
        EXPECT_FALSE(keys.Released(c.key));
        // Auto-repeat neither counts nor releases.
        QKeyEvent repeat(QEvent::KeyRelease, c.qt, Qt::NoModifier, QString(), true);
        QApplication::sendEvent(focus, &repeat);
        keys.Snapshot();
        EXPECT_TRUE(keys.Held(c.key));
        QTest::keyRelease(focus, c.qt);
        keys.Snapshot();
        EXPECT_FALSE(keys.Held(c.key));
        EXPECT_TRUE(keys.Released(c.key));
        EXPECT_EQ(QApplication::focusWidget(), focus);
    }
    EXPECT_TRUE(windows.IsOpen(2));
}

}  // namespace
}  // namespace tessaron::runtime::test
