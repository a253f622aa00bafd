#include "app/goal_screen.h"

#include <cstdio>

namespace tessaron::app {

std::string PlayTimeText(std::int64_t passes) {
    using goal_screen::kPassesPerSecond;
    const std::int64_t seconds = passes / kPassesPerSecond;
    const std::int64_t hundredths = passes % kPassesPerSecond * 100 / kPassesPerSecond;
    char text[48];
    std::snprintf(text, sizeof text, "%lld:%02lld,%02lld", static_cast<long long>(seconds / 60),
                  static_cast<long long>(seconds % 60), static_cast<long long>(hundredths));
    return text;
}

namespace {

std::string BestText(const GoalScreenText& text) {
    if (!text.levelFromFile) {
        return "Bestwert : – (Level nicht gespeichert)";
    }
    if (!text.record) {
        return "Bestwert : unbekannt";
    }
    const GoalRecord& record = *text.record;
    std::string best = "Bestwert : " + std::to_string(record.best.points) + " Punkte, " +
                       PlayTimeText(record.best.passes);
    if (record.first) {
        best += " (erstes Mal)";
    } else if (record.improved) {
        best += " (neu)";
    }
    return best;
}

}  // namespace

GoalChoice RunGoalScreen(runtime::Windows& windows, runtime::PlayScreen& screen,
                         const GoalScreenText& text, const PauseEventSource& nextEvent) {
    using namespace goal_screen;
    constexpr int kLineHeight = 18;
    constexpr int kButtonWidth = kInnerWidth - 20;
    constexpr int kButtonHeight = 20;
    constexpr int kButtonsTop = 66;
    constexpr int kButtonStep = kButtonHeight + 4;
    // Buttons that have nothing to do are left out, and the window is as much shorter.
    const int height =
        kInnerHeight - (text.nextLevel ? 0 : kButtonStep) - (text.levelFromFile ? 0 : kButtonStep);
    // Centred over the play screen of the game's window.
    const int x = 512 - kInnerWidth / 2;
    const int y = 384 - height / 2;
    const int button = RunButtonWindow(
        windows, screen, kWindow, {kNextLevelButton, kAgainButton, kContinueButton},
        [&] {
            windows.Open(kWindow, x, y, kInnerWidth, height, runtime::WindowStyle::Dialog, kTitle);
            windows.Label(kPointsLabel, 10, 8, kButtonWidth, kLineHeight,
                          "Punkte : " + std::to_string(text.points));
            windows.Label(kTimeLabel, 10, 8 + kLineHeight, kButtonWidth, kLineHeight,
                          "Zeit : " + PlayTimeText(text.passes) + " (" +
                              std::to_string(text.passes) + " Schleifen)");
            windows.Label(kBestLabel, 10, 8 + 2 * kLineHeight, kButtonWidth, kLineHeight,
                          BestText(text));
            // The first button has the keyboard: the next level where there is one.
            int top = kButtonsTop;
            if (text.nextLevel) {
                windows.PushButton(kNextLevelButton, 10, top, kButtonWidth, kButtonHeight,
                                   "NÄCHSTES LEVEL");
                top += kButtonStep;
            }
            if (text.levelFromFile) {
                windows.PushButton(kAgainButton, 10, top, kButtonWidth, kButtonHeight, "NOCHMAL");
                top += kButtonStep;
            }
            windows.PushButton(kContinueButton, 10, top, kButtonWidth, kButtonHeight,
                               "WEITER SPIELEN");
        },
        nextEvent);
    switch (button) {
        case kNextLevelButton:
            return GoalChoice::NextLevel;
        case kAgainButton:
            return GoalChoice::Again;
        case kContinueButton:
            return GoalChoice::Continue;
        default:
            return GoalChoice::Abandoned;
    }
}

}  // namespace tessaron::app
