// The `tessaron` program itself, headless, with the game's own pictures: the ball falls onto the
// ground of a small level, rolls right and collects a coin, as its trace shows.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "level/level.h"
#include "level/level_file.h"
#include "runtime/files.h"

namespace tessaron::game {
namespace {

namespace fs = std::filesystem;

struct TraceRow {
    int pass = 0;
    float viewX = 0, viewY = 0, velocityX = 0, velocityY = 0;
    int score = 0;
};

std::vector<TraceRow> ReadTrace(const fs::path& file) {
    std::vector<TraceRow> rows;
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);  // the header
    while (std::getline(in, line)) {
        std::stringstream fields(line);
        std::string f[9];
        for (std::string& field : f) std::getline(fields, field, ',');
        rows.push_back(TraceRow{std::stoi(f[0]), std::stof(f[2]), std::stof(f[3]), std::stof(f[4]),
                                std::stof(f[5]), std::stoi(f[6])});
    }
    return rows;
}

class PlayedLevel : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("tessaron_player_e2e_" + std::to_string(::getpid()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "LEVEL" / "Werte");
        fs::create_directories(root_ / "out");
        const fs::path game = TESSARON_GAME_DIR;
        fs::copy(game / "BMP", root_ / "BMP", fs::copy_options::recursive);
        fs::copy(game / "WAV", root_ / "WAV", fs::copy_options::recursive);
    }
    void TearDown() override {
        if (!HasFailure())
            fs::remove_all(root_);
    }

    // A 20 x 12 level: grass along row 10, a "1 €" coin lying on it at column 8, the ball
    // starting 100 pixels above the ground at world x 200.
    void WriteLevel() {
        level::Level level;
        level.levelWidth = 20;
        level.levelHeight = 12;
        for (int row = 1; row <= 12; ++row) {
            for (int column = 1; column <= 20; ++column) {
                int kind = static_cast<int>(level::ElementKind::Empty);
                if (row == 10)
                    kind = static_cast<int>(level::ElementKind::Grass);
                if (row == 9 && column == 8)
                    kind = static_cast<int>(level::ElementKind::Coin1);
                level::AddCell(level.elements, 100, column, row, kind, column, row, 0, -1, 0, 0, 0,
                               0, 0, 0, 0);
            }
        }
        level.viewX = 512.0f - 200.0f;
        level.viewY = 384.0f - 250.0f;
        runtime::GameFolder folder(root_);
        runtime::Files files(folder);
        ASSERT_EQ(level::WriteLevelFile(level, files, "LEVEL/Roll.TXT"), level::SaveResult::Saved);
    }

    int Run(const std::string& script, int passes) {
        const fs::path scriptFile = root_ / "out" / "script.txt";
        std::ofstream(scriptFile) << script;
        const std::string command = "QT_QPA_PLATFORM=offscreen '" +
                                    (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
                                    "' --headless --dir '" + root_.string() + "' --script '" +
                                    scriptFile.string() + "' --passes " + std::to_string(passes) +
                                    " --trace '" + (root_ / "out" / "trace.csv").string() +
                                    "' 2>'" + (root_ / "out" / "errors.txt").string() + "'";
        const int raw = std::system(command.c_str());
        return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }

    fs::path root_;
};

TEST_F(PlayedLevel, BallFallsOntoTheGroundThenRollsRightAndCollectsTheCoin) {
    WriteLevel();
    ASSERT_EQ(Run("answer LEVEL/Roll.TXT\n@60 down Right\n@75 up Right\n", 120), 0);
    const std::vector<TraceRow> rows = ReadTrace(root_ / "out" / "trace.csv");
    ASSERT_EQ(rows.size(), 120u);

    // Falling: 0.6 pixel per pass faster, the view moving down under a rising world.
    EXPECT_FLOAT_EQ(rows[0].velocityY, -0.6f);
    EXPECT_FLOAT_EQ(rows[1].velocityY, -1.2f);
    // Bounced to rest on the grass (its top at world y 380) before Right goes down, without
    // score.
    const TraceRow& rested = rows[58];
    EXPECT_NEAR(384.0f - rested.viewY, 350.0f, 1.5f);
    // The grass cell straight under the ball pushes it a little to the left while it bounces.
    EXPECT_LE(512.0f - rested.viewX, 200.0f);
    EXPECT_GT(512.0f - rested.viewX, 180.0f);
    EXPECT_FLOAT_EQ(rows[16].velocityY, -10.2f);  // the last pass of the fall
    EXPECT_GT(rows[17].velocityY, 0.0f);          // the first bounce
    EXPECT_EQ(rested.score, 0);
    for (std::size_t i = 0; i < 59; ++i) {
        EXPECT_LT(384.0f - rows[i].viewY, 352.0f) << "pass " << rows[i].pass;
    }

    // Rolling right for 15 passes, then on by its speed: the ball passes the coin at world
    // x 320 and scores 1, once.
    EXPECT_LT(rows[75].velocityX, -10.0f);
    const TraceRow& last = rows.back();
    EXPECT_GT(512.0f - last.viewX, 340.0f);
    EXPECT_LT(512.0f - last.viewX, 780.0f);
    EXPECT_EQ(last.score, 1);
    EXPECT_NEAR(384.0f - last.viewY, 350.0f, 2.0f);
}

}  // namespace
}  // namespace tessaron::game
