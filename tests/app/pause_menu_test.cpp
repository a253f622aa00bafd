// The pause menu "PAUSE": its window, its four buttons, a keyboard it does not read, and a pad
// that opens it and chooses among its buttons.
#include <QTest>

#include <algorithm>

#include <gtest/gtest.h>

#include "app/pause_menu.h"
#include "app_test_support.h"
#include "runtime/virtual_pad.h"

namespace tessaron::app::testing {
namespace {

using runtime::Event;
using runtime::EventCode;
using runtime::Key;

struct ButtonCase {
    int button;
    PassOutcome outcome;
    level::Mode modeAfter;
    int windowXAfter;
};

class PauseMenuButtons : public ProgramTest, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(PauseMenuButtons, CarryOutTheirCommand) {
    const ButtonCase c = GetParam();
    StartWithNewLevel();
    program_->State().level.score = 9;
    bool shown = false;
    int x = 0, y = 0;
    driver_.modal.push_back([&] {
        runtime::Windows& windows = program_->Windows();
        shown = windows.IsOpen(pause_menu::kWindow);
        x = windows.X();
        y = windows.Y();
        windows.Press(c.button);
    });
    EXPECT_EQ(Tap(Key::Escape), c.outcome);
    EXPECT_TRUE(shown);
    EXPECT_EQ(x, 412);
    EXPECT_EQ(y, 344);
    EXPECT_EQ(driver_.modalWindows.back(), "PAUSE");
    if (c.outcome == PassOutcome::Quit) {
        EXPECT_EQ(program_->ExitStatus(), 0);
        return;
    }
    EXPECT_FALSE(program_->Windows().IsOpen(pause_menu::kWindow));
    EXPECT_EQ(program_->State().loop.mode, c.modeAfter);
    EXPECT_EQ(MainWindowX(), c.windowXAfter);
    // Only the mode switch restores the editable level (and with it the score).
    EXPECT_EQ(program_->State().level.score, c.button == 3 ? 0 : 9);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, PauseMenuButtons,
    ::testing::Values(ButtonCase{1, PassOutcome::Continue, level::Mode::Play, -256},
                      ButtonCase{2, PassOutcome::Continue, level::Mode::Play, -256},
                      ButtonCase{3, PassOutcome::Continue, level::Mode::Editor, 0},
                      ButtonCase{4, PassOutcome::Quit, level::Mode::Play, -256}));

using PauseMenu = ProgramTest;

TEST_F(PauseMenu, IgnoresKeysCloseBoxAndMainWindowWhileOpen) {
    StartWithNewLevel();
    runtime::Keyboard& keys = program_->Keys();
    runtime::Windows& windows = program_->Windows();
    driver_.modal.push_back([&] { keys.SetKey(Key::Escape, true); });
    driver_.modal.push_back([&] {
        keys.SetKey(Key::Escape, false);
        keys.SetKey(Key::Tab, true);
        windows.Queue(Event{EventCode::Close, 0, pause_menu::kWindow});
        windows.PressToolbarButton(1);
    });
    driver_.modal.push_back([&] {
        keys.SetKey(Key::Tab, false);
        windows.Press(pause_menu::kContinueButton);
    });
    EXPECT_EQ(Tap(Key::Escape), PassOutcome::Continue);
    EXPECT_TRUE(driver_.modal.empty());
    const std::size_t requests = driver_.modalWindows.size();
    // Neither Escape nor Tab, pressed while the menu was open, acts afterwards.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(Pass(), PassOutcome::Continue);
    }
    EXPECT_EQ(driver_.modalWindows.size(), requests);
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Play);
}

TEST_F(PauseMenu, OpensFromTheEditorAndSwitchesBackToPlay) {
    StartWithNewLevel();
    ToEditor();
    driver_.modal.push_back([&] { program_->Windows().Press(pause_menu::kSwitchModeButton); });
    EXPECT_EQ(Tap(Key::Escape), PassOutcome::Continue);
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Play);
    EXPECT_EQ(MainWindowX(), -256);
}

TEST_F(PauseMenu, PadOpensItWithStartAndChoosesTheModeSwitch) {
    StartWithNewLevel();
    ASSERT_TRUE(program_->Machine().StartGamepads());
    runtime::test::VirtualPad pad;
    if (!pad.Attached()) {
        GTEST_SKIP() << "this SDL has no virtual joysticks: " << SDL_GetError();
    }
    const auto push = [&pad](SDL_GameControllerButton button) {
        pad.Button(button, true);
        QTest::qWait(60);
        pad.Button(button, false);
        QTest::qWait(60);
    };
    // The south button, held since before the menu opened, chooses nothing. Up twice from
    // "WEITER SPIELEN", round to "BEENDEN" and on to the mode switch, then the south button,
    // held as the menu closes.
    driver_.modal.push_back([&] {
        QTest::qWait(60);
        pad.Button(SDL_CONTROLLER_BUTTON_A, false);
        QTest::qWait(60);
        push(SDL_CONTROLLER_BUTTON_DPAD_UP);
        push(SDL_CONTROLLER_BUTTON_DPAD_UP);
        pad.Button(SDL_CONTROLLER_BUTTON_A, true);
        QTest::qWait(60);
    });
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    pad.Button(SDL_CONTROLLER_BUTTON_START, true);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    pad.Button(SDL_CONTROLLER_BUTTON_START, false);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(std::count(driver_.modalWindows.begin(), driver_.modalWindows.end(), "PAUSE"), 1);
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Editor);
    // The south button is Up, which scrolls the editor's map; still held from the menu, it does
    // not, until it is pressed again.
    const float viewY = program_->State().level.viewY;
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(program_->State().level.viewY, viewY);
    pad.Button(SDL_CONTROLLER_BUTTON_A, false);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    pad.Button(SDL_CONTROLLER_BUTTON_A, true);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(program_->State().level.viewY, viewY + 10.0f);
}

TEST_F(PauseMenu, EndsTheRunWhenNoInputIsLeft) {
    StartWithNewLevel();
    EXPECT_EQ(Tap(Key::Escape), PassOutcome::Aborted);
    EXPECT_EQ(program_->ExitStatus(), 3);
    EXPECT_FALSE(program_->Windows().IsOpen(pause_menu::kWindow));
}

}  // namespace
}  // namespace tessaron::app::testing
