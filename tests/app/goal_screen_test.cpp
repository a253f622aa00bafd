// The goal screen: what it shows, the level it starts, the best results it keeps, and the level
// it leaves alone when that has been edited since it was read.
#include <algorithm>
#include <string>

#include <gtest/gtest.h>

#include "app/goal_screen.h"
#include "app/progress.h"
#include "app_test_support.h"
#include "level/level_file.h"

namespace tessaron::app::testing {
namespace {

using goal_screen::kWindow;

class GoalScreen : public ProgramTest {
  protected:
    // A 20 x 20 level whose ball starts on the goal in cell (10, 10), with a floor under it.
    void WriteGoalLevel(const std::string& name, std::int32_t startY = 0) {
        level::Level made;
        made.levelWidth = 20;
        made.levelHeight = 20;
        level::BuildFreshGrid(made.elements, 20, 20);
        made.elements[9 * 20 + 9].kind = level::Code(level::ElementKind::Goal);
        made.elements[10 * 20 + 9].kind = level::Code(level::ElementKind::Brick);
        made.viewX = static_cast<float>(512 - 400);
        made.viewY = static_cast<float>(384 - 400 + startY);
        runtime::GameFolder folder(root_);
        runtime::Files files(folder);
        ASSERT_EQ(level::WriteLevelFile(made, files, (root_ / "LEVEL" / name).string()),
                  level::SaveResult::Saved);
    }

    // Answers the next goal screen with a button, noting the labels it showed.
    void Answer(int button) {
        driver_.answersGoalScreen = true;
        driver_.modal.push_back([this, button] {
            runtime::Windows& windows = program_->Windows();
            shown_ = windows.IsOpen(kWindow);
            for (int label :
                 {goal_screen::kPointsLabel, goal_screen::kTimeLabel, goal_screen::kBestLabel}) {
                labels_ += windows.Text(label) + "\n";
            }
            nextShown_ = windows.Exists(goal_screen::kNextLevelButton);
            againShown_ = windows.Exists(goal_screen::kAgainButton);
            windows.Press(button);
        });
    }

    std::string Progress() const { return ReadText(root_ / kProgressFile); }
    static std::string ReadText(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    bool shown_ = false;
    bool nextShown_ = false;
    bool againShown_ = false;
    std::string labels_;
};

TEST_F(GoalScreen, AgainStartsTheLevelFromItsFileAndTheBestIsKept) {
    WriteGoalLevel("Ziel.TXT");
    requesters_.Answer((root_ / "LEVEL" / "Ziel.TXT").string());
    ASSERT_EQ(Start(), 0);
    Answer(goal_screen::kAgainButton);
    EXPECT_EQ(Pass(), PassOutcome::Restarted);
    EXPECT_TRUE(shown_);
    EXPECT_FALSE(program_->Windows().IsOpen(kWindow));
    EXPECT_EQ(labels_,
              "Punkte : 90\nZeit : 0:00,01 (1 Schleifen)\nBestwert : 90 Punkte, 0:00,01 "
              "(erstes Mal)\n");
    EXPECT_FALSE(nextShown_) << "the only level of its folder has no next one";
    EXPECT_TRUE(againShown_);
    EXPECT_EQ(Progress(),
              "{\n  \"levels\": {\n    \"LEVEL/Ziel.TXT\": {\n      \"passes\": 1,\n      "
              "\"points\": 90\n    }\n  }\n}\n");

    // Again from the file: the goal is back, no points, the ball at rest at the start.
    const GameState& state = program_->State();
    EXPECT_EQ(state.level.score, 0);
    EXPECT_EQ(state.level.elements[9 * 20 + 9].kind, level::Code(level::ElementKind::Goal));
    EXPECT_EQ(state.level.viewX, 112.0f);
    EXPECT_EQ(state.player.velocityY, 0.0f);

    // Taken again as fast and with as many points: the best stays, and play goes on.
    labels_.clear();
    Answer(goal_screen::kContinueButton);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(labels_,
              "Punkte : 90\nZeit : 0:00,01 (1 Schleifen)\nBestwert : 90 Punkte, 0:00,01\n");
    EXPECT_EQ(state.level.score, 90);
    EXPECT_EQ(state.level.elements[9 * 20 + 9].kind, level::Code(level::ElementKind::Goal) + 1000);
    EXPECT_TRUE(driver_.modal.empty());
}

TEST_F(GoalScreen, NextLevelIsTheFollowingLevelFileByName) {
    WriteGoalLevel("A.TXT");
    WriteGoalLevel("C.TXT", 40);
    std::ofstream(root_ / "LEVEL" / "B.TXT") << "no level";
    requesters_.Answer((root_ / "LEVEL" / "A.TXT").string());
    ASSERT_EQ(Start(), 0);
    Answer(goal_screen::kNextLevelButton);
    EXPECT_EQ(Pass(), PassOutcome::Restarted);
    EXPECT_TRUE(nextShown_);
    const level::Level& level = program_->State().level;
    EXPECT_EQ(fs::path(level.levelFileName).filename(), "C.TXT");
    EXPECT_EQ(level.viewY, 24.0f) << "C starts where its own file says";

    // The last level has no next one.
    shown_ = false;
    Answer(goal_screen::kContinueButton);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_TRUE(shown_);
    EXPECT_FALSE(nextShown_);

    // Unanswered (a script made before there was a screen), the goal shows none: play goes on.
    driver_.answersGoalScreen = false;
    Tap(runtime::Key::Tab);
    Tap(runtime::Key::Tab);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(level.score, 90);
    EXPECT_EQ(
        std::count(driver_.modalWindows.begin(), driver_.modalWindows.end(), goal_screen::kTitle),
        2);
}

TEST_F(GoalScreen, EditedLevelKeepsItsEditsAndUnreadableProgressIsLeftAlone) {
    WriteGoalLevel("Ziel.TXT");
    requesters_.Answer((root_ / "LEVEL" / "Ziel.TXT").string());
    std::ofstream(root_ / kProgressFile) << "{\"levels\": [";
    ASSERT_EQ(Start(), 0);
    Answer(goal_screen::kContinueButton);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(labels_.substr(labels_.rfind("Bestwert")), "Bestwert : unbekannt\n");
    EXPECT_EQ(Progress(), "{\"levels\": [");

    // A brick painted in the editor: the level is no longer its file's.
    fs::remove(root_ / kProgressFile);
    ToEditor();
    level::Level& level = program_->State().level;
    level.elements[0].kind = level::Code(level::ElementKind::Brick);
    level::ElementChanged(level, 0);
    Tap(runtime::Key::Tab);
    labels_.clear();
    Answer(goal_screen::kContinueButton);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_TRUE(shown_);
    EXPECT_FALSE(againShown_);
    EXPECT_FALSE(nextShown_);
    EXPECT_EQ(labels_.substr(labels_.rfind("Bestwert")),
              "Bestwert : – (Level nicht gespeichert)\n");
    EXPECT_FALSE(fs::exists(root_ / kProgressFile));
    EXPECT_EQ(level.elements[0].kind, level::Code(level::ElementKind::Brick));
}

}  // namespace
}  // namespace tessaron::app::testing
