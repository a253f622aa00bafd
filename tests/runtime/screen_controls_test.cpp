// Controls: states, texts, rows, groups and what the user may type.
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include "runtime/qt_internal.h"
#include "runtime/screen_test_support.h"
#include "runtime/text.h"

namespace tessaron::runtime::test {
namespace {

class ScreenControls : public ::testing::Test {
  protected:
    ScreenControls() : windows(TestMachine()) {
        windows.Open(2, 0, 0, 400, 400, WindowStyle::Borderless, "Tessaron");
    }
    ~ScreenControls() override {
        while (windows.Poll().code != EventCode::None) {
        }
    }

    QWidget* Widget(int control) {
        return TestMachine().Internals().controls.at(control).widget.data();
    }

    Windows windows;
};

struct ClampCase {
    int set;
    int expected;
};

class TrackBarClamps : public ScreenControls, public ::testing::WithParamInterface<ClampCase> {};

TEST_P(TrackBarClamps, PositionOutsideTheRangeGoesToTheNearerEnd) {
    windows.TrackBar(61, 20, 20, 150, 20, 1, 8);
    EXPECT_EQ(windows.State(61), 1);  // starts at its minimum
    windows.SetState(61, GetParam().set);
    EXPECT_EQ(windows.State(61), GetParam().expected);
    windows.Select(61, GetParam().set);
    EXPECT_EQ(windows.State(61), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Positions, TrackBarClamps,
                         ::testing::Values(ClampCase{-5, 1}, ClampCase{0, 1}, ClampCase{1, 1},
                                           ClampCase{5, 5}, ClampCase{8, 8}, ClampCase{9, 8},
                                           ClampCase{1000000, 8}));

TEST_F(ScreenControls, DigitsOnlyFieldRefusesOtherCharacters) {
    windows.TextField(31, 20, 20, 60, 20, "0", TextFieldFlags::DigitsOnly);
    auto* edit = static_cast<QLineEdit*>(Widget(31));
    edit->selectAll();
    QTest::keyClicks(edit, "1-2+a3 4.5");
    EXPECT_EQ(windows.Text(31), "12345");
    windows.TypeText(31, "-7x8");
    EXPECT_EQ(windows.Text(31), "78");
    // The program itself may put any text there.
    windows.SetText(31, "abc");
    EXPECT_EQ(windows.Text(31), "abc");

    windows.TextField(32, 20, 50, 60, 20, "600",
                      TextFieldFlags::DigitsOnly | TextFieldFlags::ReadOnly);
    auto* product = static_cast<QLineEdit*>(Widget(32));
    QTest::keyClicks(product, "12");
    windows.TypeText(32, "12");
    EXPECT_EQ(windows.Text(32), "600");
}

TEST_F(ScreenControls, OptionsCreatedInARowFormOneGroup) {
    windows.Option(100, 20, 20, 90, 20, "Luft");
    windows.Option(200, 110, 20, 90, 20, "Wasser");
    windows.Label(50, 20, 50, 90, 20, "Gesp.Einst.:");
    windows.Option(300, 20, 80, 90, 20, "Andere");
    windows.SetState(100, 1);
    windows.SetState(300, 1);
    EXPECT_EQ(windows.State(100), 1);
    EXPECT_EQ(windows.State(300), 1);  // a separate group after the label
    windows.Press(200);
    EXPECT_EQ(windows.State(100), 0);
    EXPECT_EQ(windows.State(200), 1);
    EXPECT_EQ(windows.State(300), 1);
    windows.SetState(200, 0);
    EXPECT_EQ(windows.State(200), 0);
}

TEST_F(ScreenControls, CheckBoxesToggleByPressAndNotWhenDisabled) {
    windows.CheckBox(2000, 178, 13, 56, 16, "ALLE", CheckBoxText::RightAligned);
    windows.CheckBox(2001, 218, 123, 16, 16, "");
    EXPECT_EQ(Widget(2000)->layoutDirection(), Qt::RightToLeft);
    windows.SetState(2001, 1);
    windows.Press(2001);
    EXPECT_EQ(windows.State(2001), 0);
    windows.Press(2000);
    EXPECT_EQ(windows.State(2000), 1);
    windows.Disable(2000, true);
    windows.Press(2000);
    windows.Select(2000, 0);
    EXPECT_EQ(windows.State(2000), 1);
    windows.Disable(2000, false);
    windows.Press(2000);
    EXPECT_EQ(windows.State(2000), 0);
}

TEST_F(ScreenControls, RowsOfListAndComboBoxes) {
    for (const int control : {1000, 90}) {
        SCOPED_TRACE(control);
        if (control == 1000) {
            windows.ListBox(control, 20, 20, 190, 160);
        } else {
            windows.ComboBox(control, 20, 200, 210, 200);
        }
        EXPECT_EQ(windows.State(control), -1);
        windows.AddRow(control, "Nichts");
        windows.AddRow(control, "Gestrüp");
        windows.AddRow(control, "1 €");
        // Adding rows chooses none of them.
        EXPECT_EQ(windows.State(control), -1);
        EXPECT_EQ(windows.RowText(control, 1), "Gestrüp");
        EXPECT_EQ(windows.RowText(control, 2), "1 €");
        EXPECT_EQ(windows.RowText(control, 3), "");
        EXPECT_EQ(windows.RowText(control, -1), "");
        windows.SetState(control, 2);
        EXPECT_EQ(windows.State(control), 2);
        windows.SetState(control, 7);
        EXPECT_EQ(windows.State(control), -1);
        windows.SetState(control, 0);
        windows.ClearRows(control);
        EXPECT_EQ(windows.State(control), -1);
        EXPECT_EQ(windows.RowText(control, 0), "");
    }
}

TEST_F(ScreenControls, TextsAreWholeUpToFiveThousandCharacters) {
    windows.Frame(99, 10, 10, 230, 50, "Pinselgröße");
    windows.Frame(98, 10, 70, 230, 40, "", FrameStyle::Sunken);
    windows.Label(20, 20, 120, 120, 30, "Verschiebungsgeschw. (in_Pixel_;_!nicht_schräg!)");
    windows.PushButton(51, 20, 160, 100, 20, "Werte speichern");
    windows.TextField(11, 20, 190, 100, 20, "", TextFieldFlags::None);
    EXPECT_EQ(windows.Text(99), "Pinselgröße");
    EXPECT_EQ(windows.Text(98), "");
    EXPECT_EQ(windows.Text(20), "Verschiebungsgeschw. (in_Pixel_;_!nicht_schräg!)");
    EXPECT_EQ(windows.Text(51), "Werte speichern");
    std::string longText;
    for (int i = 0; i < 6000; ++i) {
        longText += i % 2 == 0 ? "ä" : "x";
    }
    windows.SetText(11, longText);
    const std::string text = windows.Text(11);
    EXPECT_EQ(Length(text), 5000);
    EXPECT_EQ(text, Mid(longText, 1, 5000));
    EXPECT_EQ(windows.Text(12345), "");
    EXPECT_EQ(windows.State(12345), 0);
}

TEST_F(ScreenControls, SharedNumbersKeepEveryControlAndAmpersandsShowAsGiven) {
    windows.Frame(99, 10, 40, 230, 50, "Wertanzeige");
    windows.Frame(99, 10, 340, 230, 290, "Verknüpfungen & Bewegungen");
    windows.PushButton(51, 20, 560, 100, 20, "Laden & Speichern");
    QWidget* top = TestMachine().Internals().WindowWidgetOf(2);
    const auto frames = top->findChildren<QGroupBox*>();
    ASSERT_EQ(frames.size(), 2);
    // "&&" is how the toolkit shows one ampersand.
    const QStringList titles{frames[0]->title(), frames[1]->title()};
    EXPECT_TRUE(titles.contains(QString::fromUtf8("Verknüpfungen && Bewegungen")));
    EXPECT_TRUE(titles.contains(QStringLiteral("Wertanzeige")));
    EXPECT_EQ(windows.Text(99), "Verknüpfungen & Bewegungen");
    EXPECT_EQ(windows.Text(51), "Laden & Speichern");
    windows.SetText(51, "A & B");
    EXPECT_EQ(windows.Text(51), "A & B");
}

}  // namespace
}  // namespace tessaron::runtime::test
