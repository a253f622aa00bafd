// The goal screen "ZIEL ERREICHT": when the ball takes a goal in play mode the game stands still
// and this window, of the pause menu's kind, shows the points, the time the level took and the
// best result so far, with the next level, the same level again, or play going on.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/pause_menu.h"
#include "app/progress.h"
#include "runtime/screen.h"

namespace tessaron::app {

namespace goal_screen {
inline constexpr int kWindow = 7;
inline constexpr const char* kTitle = "ZIEL ERREICHT";
inline constexpr int kInnerWidth = 280;
inline constexpr int kInnerHeight = 146;
inline constexpr int kNextLevelButton = 71;
inline constexpr int kAgainButton = 72;
inline constexpr int kContinueButton = 73;
inline constexpr int kPointsLabel = 74;
inline constexpr int kTimeLabel = 75;
inline constexpr int kBestLabel = 76;
inline constexpr int kButtons[] = {kNextLevelButton, kAgainButton, kContinueButton};
// Interactive play runs this many passes a second: the time a level took is its passes.
inline constexpr std::int64_t kPassesPerSecond = 60;
}  // namespace goal_screen

enum class GoalChoice {
    NextLevel,  // "NÄCHSTES LEVEL"
    Again,      // "NOCHMAL"
    Continue,   // "WEITER SPIELEN": play goes on
    Abandoned,  // the event source gave up (a scripted run ran out of input)
};

// What the screen shows.
struct GoalScreenText {
    std::int32_t points = 0;
    std::int64_t passes = 0;
    // The best so far with this goal, when the progress file could be read.
    std::optional<GoalRecord> record;
    // Whether the level is what its file holds: a level edited since it was read or saved has
    // no best result and no "NOCHMAL" (which would read its file over the edits).
    bool levelFromFile = true;
    // Whether a next level file exists: without one there is no "NÄCHSTES LEVEL".
    bool nextLevel = false;
};

// Passes as play time at 60 passes a second: minutes, seconds and hundredths ("1:05,50").
std::string PlayTimeText(std::int64_t passes);

// Opens the goal screen over the play screen and waits for one of its buttons.
GoalChoice RunGoalScreen(runtime::Windows& windows, runtime::PlayScreen& screen,
                         const GoalScreenText& text, const PauseEventSource& nextEvent);

}  // namespace tessaron::app
