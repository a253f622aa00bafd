// Gamepads: the pad-to-key mapping, and pads that SDL's virtual joysticks plug in while the
// machine runs (no real pad is needed). The pause menu's test drives a menu with a pad.
#include <QApplication>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/qt_internal.h"
#include "runtime/screen_test_support.h"
#include "runtime/virtual_pad.h"

namespace tessaron::runtime::test {
namespace {

struct PadCase {
    std::string name;
    PadState pad;
    std::vector<Key> keys;
    PadMenuInput menu;
};

PadState Pad(void (*set)(PadState&)) {
    PadState pad;
    set(pad);
    return pad;
}

class PadMapping : public ::testing::TestWithParam<PadCase> {};

TEST_P(PadMapping, HoldsTheGameKeysAndChoosesInMenus) {
    const PadCase& c = GetParam();
    KeyTable keys{};
    keys[std::size_t(Key::F5)] = true;  // held on the keyboard: the pad adds, never clears
    HoldPadKeys(c.pad, keys);
    KeyTable expected{};
    expected[std::size_t(Key::F5)] = true;
    for (Key key : c.keys) {
        expected[std::size_t(key)] = true;
    }
    EXPECT_EQ(keys, expected);
    const PadMenuInput menu = MenuInputOf(c.pad);
    EXPECT_EQ(menu.previous, c.menu.previous);
    EXPECT_EQ(menu.next, c.menu.next);
    EXPECT_EQ(menu.press, c.menu.press);
}

INSTANTIATE_TEST_SUITE_P(
    States, PadMapping,
    ::testing::Values(
        PadCase{"Resting", PadState{}, {}, {}},
        PadCase{"StickJustShortOfHalfway",
                Pad([](PadState& p) {
                    p.stickX = -(kStickThreshold - 1);
                    p.stickY = kStickThreshold - 1;
                }),
                {},
                {}},
        PadCase{"StickLeftHalfway",
                Pad([](PadState& p) { p.stickX = -kStickThreshold; }),
                {Key::Left},
                {}},
        PadCase{"StickFullLeft", Pad([](PadState& p) { p.stickX = -32768; }), {Key::Left}, {}},
        PadCase{"StickUpNeverJumps",
                Pad([](PadState& p) { p.stickY = -32768; }),
                {},
                {true, false, false}},
        PadCase{"StickDownScrolls",
                Pad([](PadState& p) { p.stickY = 32767; }),
                {Key::Down},
                {false, true, false}},
        PadCase{"DpadUpJumpsAndRightRolls",
                Pad([](PadState& p) { p.dpadUp = p.dpadRight = true; }),
                {Key::Up, Key::Right},
                {true, false, false}},
        PadCase{"DpadDown",
                Pad([](PadState& p) { p.dpadDown = true; }),
                {Key::Down},
                {false, true, false}},
        PadCase{"SouthJumpsAndPresses",
                Pad([](PadState& p) { p.south = true; }),
                {Key::Up},
                {false, false, true}},
        PadCase{"StartIsEscape", Pad([](PadState& p) { p.start = true; }), {Key::Escape}, {}},
        PadCase{"BackIsTab", Pad([](PadState& p) { p.back = true; }), {Key::Tab}, {}},
        PadCase{"StickAndDpadTogether",
                Pad([](PadState& p) {
                    p.stickX = 20000;
                    p.dpadLeft = true;
                    p.south = true;
                }),
                {Key::Left, Key::Right, Key::Up},
                {false, false, true}}),
    [](const ::testing::TestParamInfo<PadCase>& info) { return info.param.name; });

class Gamepad : public ::testing::Test {
  protected:
    Gamepad() : windows(TestMachine()), keys(TestMachine()) {}

    void SetUp() override {
        ASSERT_TRUE(TestMachine().StartGamepads());
        ASSERT_TRUE(windows.Open(2, 0, 0, 400, 300, WindowStyle::Borderless, "Tessaron"));
        windows.Activate();
        QApplication::processEvents();
        keys.Snapshot();
    }
    void TearDown() override {
        windows.Close(2);
        while (windows.Poll().code != EventCode::None) {
        }
    }

    Windows windows;
    Keyboard keys;
};

TEST_F(Gamepad, PadPluggedInWhileRunningHoldsKeysAtOnceBesideTheKeyboard) {
    VirtualPad pad;
    if (!pad.Attached()) {
        GTEST_SKIP() << "this SDL has no virtual joysticks: " << SDL_GetError();
    }
    keys.SetKey(Key::Left, true);
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 32767);
    keys.Snapshot();
    EXPECT_TRUE(keys.Held(Key::Up));
    EXPECT_TRUE(keys.Held(Key::Right));
    EXPECT_TRUE(keys.Held(Key::Left));
    keys.SetKey(Key::Left, false);

    // Start held for a pass and let go is Escape released, once.
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    pad.Axis(SDL_CONTROLLER_AXIS_LEFTX, 0);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    keys.Snapshot();
    EXPECT_FALSE(keys.Released(Key::Escape));
    EXPECT_FALSE(keys.Held(Key::Up));
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    keys.Snapshot();
    EXPECT_TRUE(keys.Released(Key::Escape));
    keys.Snapshot();
    EXPECT_FALSE(keys.Released(Key::Escape));
}

TEST_F(Gamepad, TapBetweenTwoSnapshotsCountsAndPadPulledOutHoldsNothing) {
    {
        VirtualPad pad;
        if (!pad.Attached()) {
            GTEST_SKIP() << "this SDL has no virtual joysticks: " << SDL_GetError();
        }
        keys.Snapshot();
        pad.Button(SDL_CONTROLLER_BUTTON_BACK, true);
        SDL_JoystickUpdate();
        pad.Button(SDL_CONTROLLER_BUTTON_BACK, false);
        keys.Snapshot();
        EXPECT_TRUE(keys.Held(Key::Tab));
        EXPECT_FALSE(keys.Released(Key::Tab));
        keys.Snapshot();
        EXPECT_TRUE(keys.Released(Key::Tab));
        pad.Button(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
        keys.Snapshot();
        EXPECT_TRUE(keys.Held(Key::Left));
    }
    keys.Snapshot();
    EXPECT_FALSE(keys.Held(Key::Left));
}

}  // namespace
}  // namespace tessaron::runtime::test
