// Every sample level finished by its replay: the real program runs headless on a copy of the game
// folder, and its state file must show the goal taken and the points the replay collects. A change
// to the physics or to a level that makes a level unfinishable (or finishable only another way)
// fails here.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "e2e_support.h"

namespace {

namespace fs = std::filesystem;

constexpr double kGoal = 4090;
constexpr double kGoalTaken = 5090;

struct Replay {
    const char* level;  // data/<level>.txt replays LEVEL/<level>.TXT
    int passes;
    int score;  // the points collected on the way, the goal's 90 included
};

void PrintTo(const Replay& replay, std::ostream* out) {
    *out << replay.level;
}

using tessaron::e2e::ReadText;

class ReplayTest : public ::testing::TestWithParam<Replay> {
  protected:
    void SetUp() override {
        // One folder per test and process: tests of one level run side by side.
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        root_ = tessaron::e2e::CopyOfGameFolder(
            "tessaron-replay-" + test.substr(0, test.find('/')) + "-" + GetParam().level);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Plays the replay; `extra` adds outputs to the command line. Every play starts without a
    // save point: one that an earlier play of the same test took would be where spikes send the
    // ball.
    int Play(const Replay& replay, const fs::path& state, const fs::path& errors,
             const std::string& extra = "") const {
        fs::remove(root_ / "Diskette.txt");
        const fs::path script = fs::path(TESSARON_TEST_DATA) / (std::string(replay.level) + ".txt");
        const std::string command =
            "QT_QPA_PLATFORM=offscreen '" + (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
            "' --headless --dir '" + root_.string() + "' --script '" + script.string() +
            "' --passes " + std::to_string(replay.passes) + " --state '" + state.string() + "' " +
            extra + " 2>'" + errors.string() + "'";
        return tessaron::e2e::RunCommand(command);
    }

    fs::path root_;
};

TEST_P(ReplayTest, ReachesTheGoal) {
    const Replay& replay = GetParam();
    const fs::path state = root_ / "state.json";
    const fs::path errors = root_ / "stderr.txt";
    ASSERT_EQ(Play(replay, state, errors), 0) << ReadText(errors);

    const nlohmann::json json = nlohmann::json::parse(ReadText(state), nullptr, false);
    ASSERT_FALSE(json.is_discarded()) << "state file is not JSON";
    EXPECT_EQ(json["levelFileName"], "LEVEL/" + std::string(replay.level) + ".TXT");
    EXPECT_EQ(json["mode"], 0) << "the replay left play mode";

    int goals = 0;
    int taken = 0;
    for (const auto& element : json["elements"]) {
        const double kind = element["kind"].get<double>();
        goals += kind == kGoal || kind == kGoalTaken;
        taken += kind == kGoalTaken;
    }
    EXPECT_EQ(goals, 1) << "a sample level has one goal";
    EXPECT_EQ(taken, 1) << "the goal was not reached";
    EXPECT_EQ(json["score"], replay.score);
}

// A run that asks for no picture skips drawing; its trace and state must be those of a run that
// draws every frame.
TEST_P(ReplayTest, SkippingFramesChangesNothing) {
    const Replay& replay = GetParam();
    const fs::path errors = root_ / "stderr.txt";
    ASSERT_EQ(Play(replay, root_ / "plain.json", errors,
                   "--trace '" + (root_ / "plain.csv").string() + "'"),
              0)
        << ReadText(errors);
    ASSERT_EQ(Play(replay, root_ / "drawn.json", errors,
                   "--trace '" + (root_ / "drawn.csv").string() + "' --screenshot '" +
                       (root_ / "end.png").string() + "'"),
              0)
        << ReadText(errors);
    EXPECT_EQ(ReadText(root_ / "plain.csv"), ReadText(root_ / "drawn.csv"));
    EXPECT_EQ(ReadText(root_ / "plain.json"), ReadText(root_ / "drawn.json"));
}

// The levels in the order of play.
constexpr Replay kReplays[] = {
    {"Anfang", 213, 97},    {"Bucht", 1084, 181},     {"Festung", 951, 114},
    {"Hoehle", 728, 164},   {"Irrgarten", 1673, 180}, {"Kerker", 438, 113},
    {"Schmiede", 487, 148}, {"Turm", 779, 156},       {"Wanderung", 4089, 260},
};

INSTANTIATE_TEST_SUITE_P(SampleLevels, ReplayTest, ::testing::ValuesIn(kReplays),
                         [](const ::testing::TestParamInfo<Replay>& info) {
                             return std::string(info.param.level);
                         });

// The nine levels played one after another, as a player goes through them: each replay from
// Anfang's start, and at each goal the goal screen's "NÄCHSTES LEVEL" (button 71). Each level
// must start where its own file says for its replay to take the goal again, with the same points
// in the same passes, which the progress file then holds.
TEST(LevelsInARow, EachReplayTakesItsGoalAfterTheLevelsBeforeIt) {
    const fs::path root = tessaron::e2e::CopyOfGameFolder("tessaron-levels-in-a-row");
    std::ostringstream script;
    script << "seed 1\nanswer LEVEL/Anfang.TXT\n";
    std::int64_t offset = 0;
    for (const Replay& replay : kReplays) {
        std::istringstream lines(
            ReadText(fs::path(TESSARON_TEST_DATA) / (std::string(replay.level) + ".txt")));
        std::set<std::string> held;
        for (std::string line; std::getline(lines, line);) {
            std::istringstream words(line);
            char at = 0;
            std::int64_t pass = 0;
            std::string change, key;
            if (words >> at >> pass >> change >> key && at == '@') {
                if (change == "down") {
                    held.insert(key);
                } else {
                    held.erase(key);
                }
                script << '@' << offset + pass << ' ' << change << ' ' << key << '\n';
            }
        }
        offset += replay.passes;
        if (&replay != &kReplays[std::size(kReplays) - 1]) {
            // The screen's answer, then every key let go before the next level's first pass.
            script << '@' << offset + 1 << " press 71\n";
            for (const std::string& key : held) {
                script << '@' << offset + 1 << " up " << key << '\n';
            }
        }
    }
    const fs::path scriptFile = root / "in-a-row.txt";
    std::ofstream(scriptFile) << script.str();
    const fs::path state = root / "state.json";
    const fs::path errors = root / "stderr.txt";
    const std::string command = "QT_QPA_PLATFORM=offscreen '" +
                                (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
                                "' --headless --dir '" + root.string() + "' --script '" +
                                scriptFile.string() + "' --passes " + std::to_string(offset) +
                                " --state '" + state.string() + "' 2>'" + errors.string() + "'";
    ASSERT_EQ(tessaron::e2e::RunCommand(command), 0) << ReadText(errors);

    const nlohmann::json json = nlohmann::json::parse(ReadText(state), nullptr, false);
    ASSERT_FALSE(json.is_discarded());
    EXPECT_EQ(json["levelFileName"], "LEVEL/Wanderung.TXT");
    EXPECT_EQ(json["score"], kReplays[std::size(kReplays) - 1].score);
    const nlohmann::json progress =
        nlohmann::json::parse(ReadText(root / "Fortschritt.json"), nullptr, false);
    ASSERT_FALSE(progress.is_discarded()) << "no progress file";
    for (const Replay& replay : kReplays) {
        if (std::string(replay.level) == "Wanderung") {
            continue;  // its goal was taken without a screen to answer
        }
        const nlohmann::json& best =
            progress["levels"]["LEVEL/" + std::string(replay.level) + ".TXT"];
        EXPECT_EQ(best["points"], replay.score) << replay.level;
        EXPECT_EQ(best["passes"], replay.passes) << replay.level;
    }
    fs::remove_all(root);
}

}  // namespace
