// The machine as a player meets it on a desktop: quick taps, the arrows while a side-panel control
// has the focus, keys held while another program takes the keyboard, a dialog minimised by the
// window manager, and the signals that end the program.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <utility>

#include "runtime/qt_internal.h"
#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

class ScreenInput : public ::testing::Test {
  protected:
    ScreenInput() : windows(TestMachine()), keys(TestMachine()) {
        while (windows.Poll().code != EventCode::None) {
        }
        keys.Snapshot();  // nothing left over from an earlier test
    }

    QWidget* Widget(int control) {
        return TestMachine().Internals().controls.at(control).widget.data();
    }

    QWidget* Window(int number) { return TestMachine().Internals().WindowWidgetOf(number); }

    Windows windows;
    Keyboard keys;
};

TEST_F(ScreenInput, TapBetweenTwoPassesIsSeenDownOnceThenReleasedOnce) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    // The whole tap lands between two snapshots, as a quick press does on a slow pass.
    QTest::keyClick(Window(2), Qt::Key_Tab);
    keys.Snapshot();
    EXPECT_TRUE(keys.Held(Key::Tab));
    EXPECT_FALSE(keys.Released(Key::Tab));
    keys.Snapshot();
    EXPECT_FALSE(keys.Held(Key::Tab));
    EXPECT_TRUE(keys.Released(Key::Tab));
    keys.Snapshot();
    EXPECT_FALSE(keys.Released(Key::Tab));
}

// The X server repeats a held key as a release and a press; the toolkit marks them as repeats,
// or, when the press has not arrived yet as it looks, not, and a snapshot may come between the
// two. Either way the key stays held, and it is released once, when it is really let go.
class HeldKeyRepeats : public ScreenInput, public ::testing::WithParamInterface<bool> {
  protected:
    void TearDown() override { TestMachine().Internals().keyDownOnDisplay = nullptr; }
};

TEST_P(HeldKeyRepeats, KeepTheKeyDownUntilItIsReallyReleased) {
    const bool marked = GetParam();
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    bool downOnDisplay = false;
    TestMachine().Internals().keyDownOnDisplay = [&downOnDisplay](quint32) {
        return downOnDisplay;
    };
    QWidget* window = Window(2);
    auto send = [window](QEvent::Type type, Qt::Key qt, bool repeat) {
        QKeyEvent event(type, qt, Qt::NoModifier, QString(), repeat);
        QApplication::sendEvent(window, &event);
    };
    for (const auto& [qt, key] :
         {std::pair{Qt::Key_Tab, Key::Tab}, std::pair{Qt::Key_Left, Key::Left}}) {
        downOnDisplay = true;
        send(QEvent::KeyPress, qt, false);
        int releases = 0;
        for (int pass = 0; pass < 40; ++pass) {
            if (pass % 2 == 1) {
                send(QEvent::KeyRelease, qt, marked);
            } else if (pass > 0) {
                send(QEvent::KeyPress, qt, marked);
            }
            keys.Snapshot();
            EXPECT_TRUE(keys.Held(key)) << pass;
            releases += keys.Released(key) ? 1 : 0;
        }
        downOnDisplay = false;
        send(QEvent::KeyRelease, qt, false);
        for (int pass = 0; pass < 3; ++pass) {
            keys.Snapshot();
            EXPECT_FALSE(keys.Held(key));
            releases += keys.Released(key) ? 1 : 0;
        }
        EXPECT_EQ(releases, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, HeldKeyRepeats, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Marked" : "Unmarked"; });

TEST_F(ScreenInput, TapsMeantForOtherWindowsNeverReachTheGame) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    // A key typed into a window that is not one of ours (a file requester cancelled by Escape).
    QLineEdit foreign;
    foreign.show();
    QTest::keyClick(&foreign, Qt::Key_Escape);
    // Return choosing a file there: the requester closes on the press, and the release goes to
    // no window of ours.
    QTest::keyPress(&foreign, Qt::Key_Return);
    // Escape tapped in the pause menu, which then closes.
    ASSERT_TRUE(windows.Open(5, 412, 344, 200, 110, WindowStyle::Dialog, "PAUSE"));
    QTest::keyClick(Window(5), Qt::Key_Escape);
    windows.Close(5);
    for (int pass = 0; pass < 3; ++pass) {
        keys.Snapshot();
        EXPECT_FALSE(keys.Held(Key::Escape));
        EXPECT_FALSE(keys.Released(Key::Escape));
        EXPECT_FALSE(keys.AnyPressed());
    }
}

// The arrows scroll the editor's map; a focused list, drop-down list or track bar keeps its
// choice, so that scrolling never changes the element, the value display or the brush size.
TEST_F(ScreenInput, ArrowsLeaveChoicesOfFocusedControlsAsTheyAre) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.ListBox(1000, 10, 10, 100, 80);
    windows.ComboBox(90, 120, 10, 100, 200);
    for (const char* row : {"Nichts", "Ziegelstein", "Beton"}) {
        windows.AddRow(1000, row);
        windows.AddRow(90, row);
    }
    windows.TrackBar(61, 10, 100, 150, 20, 1, 8);
    windows.SetState(1000, 1);
    windows.SetState(90, 1);
    windows.SetState(61, 4);
    windows.Activate();
    for (const int control : {1000, 90, 61}) {
        SCOPED_TRACE(control);
        QWidget* focus = Widget(control);
        focus->setFocus();
        // Down twice moves every one of them whatever Right does after it.
        for (const auto& [qt, key] :
             {std::pair{Qt::Key_Down, Key::Down}, std::pair{Qt::Key_Down, Key::Down},
              std::pair{Qt::Key_Right, Key::Right}}) {
            QTest::keyPress(focus, qt);
            keys.Snapshot();
            EXPECT_TRUE(keys.Held(key));
            QTest::keyRelease(focus, qt);
        }
        keys.Snapshot();
    }
    EXPECT_EQ(windows.State(1000), 1);
    EXPECT_EQ(windows.State(90), 1);
    EXPECT_EQ(windows.State(61), 4);
    EXPECT_EQ(windows.Poll().code, EventCode::None);

    // A text field still takes them: they move its caret.
    windows.TextField(31, 10, 130, 60, 20, "123", TextFieldFlags::DigitsOnly);
    auto* field = static_cast<QLineEdit*>(Widget(31));
    field->setFocus();
    field->setCursorPosition(3);
    QTest::keyClick(field, Qt::Key_Left);
    EXPECT_EQ(field->cursorPosition(), 2);
}

// Ctrl+Z presses "Rückgängig", Ctrl+Y and Ctrl+Shift+Z "Wiederholen", also over a focused text
// field, whose own undo would otherwise take them; a greyed button's keys press nothing, and
// keys typed into another window never press the main window's buttons.
struct ToolbarKeysCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int button;
};

class ToolbarKeys : public ScreenInput, public ::testing::WithParamInterface<ToolbarKeysCase> {};

TEST_P(ToolbarKeys, PressTheirButtonOnlyWhileItIsEnabled) {
    const ToolbarKeysCase c = GetParam();
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.Toolbar();
    windows.ToolbarButton(4, StandardIcon::Undo, "Rückgängig");
    windows.ToolbarButton(5, StandardIcon::Redo, "Wiederholen");
    windows.SetToolbarButtonKeys(4, CommandKeys::Undo);
    windows.SetToolbarButtonKeys(5, CommandKeys::Redo);
    windows.TextField(11, 10, 40, 60, 20, "", TextFieldFlags::DigitsOnly);
    auto* field = static_cast<QLineEdit*>(Widget(11));
    field->setFocus();
    QTest::keyClicks(field, "12");
    while (windows.Poll().code != EventCode::None) {
    }

    QTest::keyClick(field, c.key, c.modifiers);
    const Event pressed = windows.Poll();
    EXPECT_EQ(pressed.code, EventCode::Toolbar);
    EXPECT_EQ(pressed.number, c.button);
    EXPECT_EQ(pressed.window, 2);
    EXPECT_EQ(windows.Poll().code, EventCode::None);

    windows.EnableToolbarButton(c.button, false);
    EXPECT_FALSE(windows.ToolbarButtonEnabled(c.button));
    QTest::keyClick(field, c.key, c.modifiers);
    windows.PressToolbarButton(c.button);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    // Neither time did the field undo or redo its own typing.
    EXPECT_EQ(field->text(), "12");

    windows.EnableToolbarButton(c.button, true);
    ASSERT_TRUE(windows.Open(5, 412, 344, 200, 110, WindowStyle::Dialog, "PAUSE"));
    while (windows.Poll().code != EventCode::None) {  // the field lost the focus
    }
    QTest::keyClick(Window(5), c.key, c.modifiers);
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    windows.Close(5);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, ToolbarKeys,
    ::testing::Values(ToolbarKeysCase{Qt::Key_Z, Qt::ControlModifier, 4},
                      ToolbarKeysCase{Qt::Key_Y, Qt::ControlModifier, 5},
                      ToolbarKeysCase{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, 5}));

// Ctrl+C and Delete give their commands over the window's other controls, but a focused text
// field keeps them for its own editing; Escape in a dialog is its close box, not a game key.
TEST_F(ScreenInput, CommandKeysSpareTextFieldsAndEscapeClosesADialog) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    windows.SetCommandKeys(1, CommandKeys::Copy);
    windows.SetCommandKeys(4, CommandKeys::Delete);
    windows.PushButton(51, 10, 10, 80, 20, "A");
    windows.TextField(11, 10, 40, 60, 20, "12", TextFieldFlags::DigitsOnly);
    while (windows.Poll().code != EventCode::None) {
    }
    QTest::keyClick(Widget(51), Qt::Key_C, Qt::ControlModifier);
    QTest::keyClick(Widget(51), Qt::Key_Delete);
    for (const int command : {1, 4}) {
        const Event e = windows.Poll();
        EXPECT_EQ(e.code, EventCode::Command);
        EXPECT_EQ(e.number, command);
        EXPECT_EQ(e.window, 2);
    }
    auto* field = static_cast<QLineEdit*>(Widget(11));
    field->setFocus();
    field->setCursorPosition(0);
    while (windows.Poll().code != EventCode::None) {
    }
    QTest::keyClick(field, Qt::Key_Delete);
    EXPECT_EQ(field->text(), "2");
    for (Event e = windows.Poll(); e.code != EventCode::None; e = windows.Poll()) {
        EXPECT_NE(e.code, EventCode::Command);
    }

    ASSERT_TRUE(windows.Open(3, 200, 200, 250, 180, WindowStyle::Dialog, "Einstellungen"));
    QTest::keyClick(Window(3), Qt::Key_Escape);
    keys.Snapshot();
    EXPECT_FALSE(keys.Held(Key::Escape));
    const Event close = windows.Poll();
    EXPECT_EQ(close.code, EventCode::Close);
    EXPECT_EQ(close.window, 3);
    windows.Close(3);
}

TEST_F(ScreenInput, KeysHeldWhenAnotherProgramTakesTheKeyboardCountAsUp) {
    ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
    QTest::keyPress(Window(2), Qt::Key_Right);
    keys.Snapshot();
    ASSERT_TRUE(keys.Held(Key::Right));
    // The release goes to the other program; this one only hears that it lost the keyboard.
    QEvent deactivate(QEvent::ApplicationDeactivate);
    QApplication::sendEvent(qApp, &deactivate);
    keys.Snapshot();
    EXPECT_FALSE(keys.Held(Key::Right));
}

TEST_F(ScreenInput, MinimisedDialogComesBackWhenItTakesTheFocusAgain) {
    ASSERT_TRUE(windows.Open(5, 412, 344, 200, 110, WindowStyle::Dialog, "PAUSE"));
    Window(5)->showMinimized();
    ASSERT_TRUE(Window(5)->isMinimized());
    windows.Use(5);
    windows.Activate();
    EXPECT_FALSE(Window(5)->isMinimized());
    EXPECT_TRUE(Window(5)->isVisible());
    EXPECT_EQ(windows.X(), 412);
    EXPECT_EQ(windows.Y(), 344);
    windows.Close(5);
}

// With sound started (the test program's main started the whole machine), Ctrl+C in a terminal
// and the session's SIGTERM still end the program.
TEST(ScreenSignals, InterruptAndTerminateKeepTheirDefaultAction) {
    for (const int signal : {SIGINT, SIGTERM}) {
        struct sigaction action {};
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
}

}  // namespace
}  // namespace tessaron::runtime::test
