// The automatic player run as a program: it finishes a sample level with a run that
// the real program replays to the goal, says how far the ball got where the goal is walled off,
// draws the cells it reached, and refuses what it cannot search.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>
#include <nlohmann/json.hpp>

#include "e2e_support.h"

namespace {

namespace fs = std::filesystem;

constexpr int kGoal = 4090;
constexpr int kGoalTaken = 5090;

using tessaron::e2e::ReadText;
using tessaron::e2e::RunCommand;

std::string Quoted(const fs::path& path) {
    return "'" + path.string() + "'";
}

class SolveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(test.begin(), test.end(), '/', '-');
        root_ = tessaron::e2e::CopyOfGameFolder("tessaron-solve-" + test);
    }
    void TearDown() override { fs::remove_all(root_); }

    // Runs the program with these arguments in the test's game folder; standard error goes to
    // errors_.
    int Program(const std::string& arguments) {
        return RunCommand("QT_QPA_PLATFORM=offscreen " +
                          Quoted(fs::path(TESSARON_GAME_DIR) / "tessaron") + " --dir " +
                          Quoted(root_) + " " + arguments + " 2>" + Quoted(root_ / "stderr.txt"));
    }
    std::string Errors() const { return ReadText(root_ / "stderr.txt"); }

    // Writes LEVEL/<name>.TXT from a map: '#' concrete, 'Z' the goal, 'o' where the ball starts,
    // anything else air.
    void WriteLevel(const std::string& name, const std::vector<std::string>& rows) {
        nlohmann::json elements = nlohmann::json::array();
        int ballColumn = 1;
        int ballRow = 1;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c) {
                const int column = static_cast<int>(c) + 1;
                const int row = static_cast<int>(r) + 1;
                int kind = 1000;
                if (rows[r][c] == '#')
                    kind = 1002;
                if (rows[r][c] == 'Z')
                    kind = kGoal;
                if (rows[r][c] == 'o') {
                    ballColumn = column;
                    ballRow = row;
                }
                elements.push_back({{"background", 100},
                                    {"homeColumn", column},
                                    {"homeRow", row},
                                    {"kind", kind},
                                    {"column", column},
                                    {"row", row},
                                    {"motion", 0},
                                    {"link", 0},
                                    {"travelled", 0},
                                    {"length", 0},
                                    {"speedX", 0},
                                    {"speedY", 0},
                                    {"pauseCount", 0},
                                    {"pause1", 0},
                                    {"pause2", 0}});
            }
        }
        // The ball rests ten pixels above the cell below it.
        const nlohmann::json level = {{"viewX", 512 - 40 * ballColumn},
                                      {"viewY", 384 - (40 * ballRow - 10)},
                                      {"levelWidth", rows.front().size()},
                                      {"levelHeight", rows.size()},
                                      {"elements", elements}};
        const fs::path json = root_ / (name + ".json");
        std::ofstream(json) << level.dump();
        ASSERT_EQ(RunCommand(Quoted(fs::path(TESSARON_GAME_DIR) / "tessaron-level") + " pack " +
                             Quoted(json) + " " + Quoted(root_ / "LEVEL" / (name + ".TXT"))),
                  0);
    }

    fs::path root_;
};

// A sample level with lifts and sensors, found within a small budget (the seed is one that finds
// it soon).
// The replay is played by a second run of the program on a folder without a save point, as a
// player would replay it.
TEST_F(SolveTest, FindsARunThatTheProgramReplaysToTheGoal) {
    const fs::path replay = root_ / "found.txt";
    ASSERT_EQ(
        Program("--solve LEVEL/Hoehle.TXT --replay " + Quoted(replay) + " --seconds 60 --seed 5"),
        0)
        << Errors();
    EXPECT_FALSE(fs::exists(root_ / "Diskette.txt")) << "the search used the game folder";

    const std::string script = ReadText(replay);
    std::smatch figures;
    ASSERT_TRUE(
        std::regex_search(script, figures, std::regex("in ([0-9]+) passes with ([0-9]+) points")))
        << script;
    EXPECT_NE(script.find("seed 5\nanswer LEVEL/Hoehle.TXT\n"), std::string::npos) << script;

    const fs::path state = root_ / "state.json";
    ASSERT_EQ(Program("--headless --script " + Quoted(replay) + " --passes " + figures[1].str() +
                      " --state " + Quoted(state)),
              0)
        << Errors();
    const nlohmann::json json = nlohmann::json::parse(ReadText(state), nullptr, false);
    ASSERT_FALSE(json.is_discarded());
    int taken = 0;
    for (const auto& element : json["elements"]) {
        taken += element["kind"].get<double>() == kGoalTaken;
    }
    EXPECT_EQ(taken, 1);
    EXPECT_EQ(json["score"], std::stoi(figures[2].str()));
}

TEST_F(SolveTest, AWalledOffGoalEndsWithStatusOneAndTheNearestCell) {
    WriteLevel("Walled", {
                             "####################",
                             "#                  #",
                             "#                  #",
                             "#            ###   #",
                             "#            #Z#   #",
                             "#  o         ###   #",
                             "####################",
                         });
    const fs::path replay = root_ / "best.txt";
    const fs::path reach = root_ / "reach.png";
    ASSERT_EQ(Program("--solve LEVEL/Walled.TXT --replay " + Quoted(replay) +
                      " --seconds 2 --reach " + Quoted(reach)),
              1)
        << Errors();
    const std::string errors = Errors();
    std::smatch nearest;
    ASSERT_TRUE(std::regex_search(errors, nearest,
                                  std::regex("nearest the goal: cell \\(([0-9]+), ([0-9]+)\\)")))
        << errors;

    // The reach picture is the level's own picture at a quarter of its size (10 pixels a cell),
    // tinted where the ball was, with the cell nearest the goal framed.
    ASSERT_EQ(
        RunCommand(Quoted(fs::path(TESSARON_GAME_DIR) / "tessaron-level") + " render " +
                   Quoted(root_ / "LEVEL" / "Walled.TXT") + " " + Quoted(root_ / "plain.png") +
                   " --scale 4 --no-grid --dir " + Quoted(root_)),
        0);
    const QImage tinted(QString::fromStdString(reach.string()));
    const QImage plain(QString::fromStdString((root_ / "plain.png").string()));
    ASSERT_EQ(tinted.size(), QSize(200, 70));
    ASSERT_EQ(plain.size(), tinted.size());
    const auto centre = [](int column, int row) { return QPoint(column * 10 - 5, row * 10 - 5); };
    EXPECT_NE(tinted.pixel(centre(4, 6)), plain.pixel(centre(4, 6))) << "the start is reached";
    EXPECT_EQ(tinted.pixel(centre(15, 5)), plain.pixel(centre(15, 5))) << "the goal is not";
    EXPECT_EQ(tinted.pixel(centre(1, 1)), plain.pixel(centre(1, 1))) << "nor the wall";
    const int column = std::stoi(nearest[1].str());
    const int row = std::stoi(nearest[2].str());
    EXPECT_EQ(tinted.pixel((column - 1) * 10, (row - 1) * 10), qRgb(255, 255, 255));

    // The best run found is still written, and replays.
    const std::string script = ReadText(replay);
    std::smatch passes;
    ASSERT_TRUE(std::regex_search(script, passes, std::regex("--passes ([0-9]+)"))) << script;
    EXPECT_EQ(Program("--headless --script " + Quoted(replay) + " --passes " + passes[1].str()), 0)
        << Errors();
}

// The editor's reach layer, through the real program: turned on with R in the editor, a script
// waits for its search; the window shows the reached cells tinted and the line under the map.
// Two floor cells taken away (clicks with the brush's air) start the search again, which then
// names the cell the ball falls out of the level from. The level and its history are those of
// the same run without the layer: the undos at the end bring the floor back in both.
TEST_F(SolveTest, TheEditorsReachLayerShowsWhereTheBallGetsAndFollowsAChange) {
    WriteLevel("Flur", {
                           "####################",
                           "#                  #",
                           "#                  #",
                           "#                  #",
                           "#  o          Z    #",
                           "####################",
                       });
    // The cells (8, 6) and (9, 6) under the ball's way, in main-window coordinates: the editor
    // shows the level at its start view (viewX = 512 - 40 * 4, viewY = 384 - 190).
    const int clickX = 256 + 40 * 8 + (512 - 160);
    const int clickY = 40 * 6 + (384 - 190);
    const auto script = [&](bool layer) {
        std::string text = "answer LEVEL/Flur.TXT\n@2 down Tab\n@3 up Tab\n";
        if (layer) {
            text += "@5 down R\n@6 up R\n@8 wait\n";
        }
        text += "@10 click " + std::to_string(clickX) + " " + std::to_string(clickY) + "\n";
        text += "@11 click " + std::to_string(clickX + 40) + " " + std::to_string(clickY) + "\n";
        if (layer) {
            text += "@12 wait\n";
        }
        return text;
    };
    const auto run = [&](bool layer, int passes, const std::string& name) {
        std::ofstream(root_ / (name + ".txt")) << script(layer);
        return Program("--headless --script " + Quoted(root_ / (name + ".txt")) + " --passes " +
                       std::to_string(passes) + " --state " + Quoted(root_ / (name + ".json")) +
                       " --window-shot " + Quoted(root_ / (name + ".png")));
    };
    const auto state = [&](const std::string& name) {
        return nlohmann::json::parse(ReadText(root_ / (name + ".json")), nullptr, false);
    };

    // Before the click: the goal can be reached, and the start cell is tinted.
    ASSERT_EQ(run(true, 9, "before"), 0) << Errors();
    ASSERT_EQ(run(false, 9, "plain"), 0) << Errors();
    const nlohmann::json before = state("before");
    ASSERT_TRUE(before.contains("reach")) << before.dump();
    EXPECT_EQ(before["reach"][0].get<std::string>().rfind("Ziel erreichbar \u2014 ", 0), 0u)
        << before["reach"];
    EXPECT_FALSE(state("plain").contains("reach"));
    const QImage tinted(QString::fromStdString((root_ / "before.png").string()));
    const QImage plain(QString::fromStdString((root_ / "plain.png").string()));
    const QPoint start(256 + 40 * 4 + (512 - 160), 40 * 5 + (384 - 190) - 15);
    const QColor a = tinted.pixelColor(start);
    const QColor b = plain.pixelColor(start);
    EXPECT_GT(a.red() + a.blue() - 2 * a.green(), b.red() + b.blue() - 2 * b.green())
        << "the start cell is not tinted magenta";
    // The line at the foot of the map: white text on black where the plain editor shows the
    // level.
    int white = 0;
    for (int x = 256 + 4; x < 256 + 200; ++x) {
        for (int y = 768 - 20; y < 768 - 4; ++y) {
            white += tinted.pixel(x, y) == qRgb(255, 255, 255) &&
                     plain.pixel(x, y) != tinted.pixel(x, y);
        }
    }
    EXPECT_GT(white, 20) << "no line under the map";

    // After the click the search starts again and finds the hole.
    ASSERT_EQ(run(true, 13, "after"), 0) << Errors();
    const nlohmann::json after = state("after");
    ASSERT_TRUE(after.contains("reach")) << after.dump();
    const std::string lines = after["reach"].dump();
    EXPECT_NE(lines.find("Der Ball f\u00e4llt aus dem Level: Spalte "), std::string::npos) << lines;
    EXPECT_NE(lines.find(", Zeile 6"), std::string::npos) << lines;

    // The layer changed nothing of the level or its history.
    std::ofstream(root_ / "undo.txt") << script(true) << "@14 toolbar 4\n@15 toolbar 4\n";
    std::ofstream(root_ / "undoPlain.txt") << script(false) << "@14 toolbar 4\n@15 toolbar 4\n";
    ASSERT_EQ(Program("--headless --script " + Quoted(root_ / "undo.txt") +
                      " --passes 16 --state " + Quoted(root_ / "undo.json")),
              0)
        << Errors();
    ASSERT_EQ(Program("--headless --script " + Quoted(root_ / "undoPlain.txt") +
                      " --passes 16 --state " + Quoted(root_ / "undoPlain.json")),
              0)
        << Errors();
    nlohmann::json undone = state("undo");
    undone.erase("reach");
    EXPECT_EQ(undone, state("undoPlain"));
    nlohmann::json written = state("after");
    written.erase("reach");
    EXPECT_NE(written["elements"], undone["elements"]) << "the click changed no cell";
}

// G plays the run found as a ghost: the editor's view follows it until a key goes down, and then
// is back where the author left it.
TEST_F(SolveTest, TheGhostTakesTheViewAlongUntilAKeyIsPressed) {
    WriteLevel("Gang", {
                           "####################",
                           "#                  #",
                           "#  o          Z    #",
                           "####################",
                       });
    const auto view = [&](const std::string& name, const std::string& more) {
        std::ofstream(root_ / (name + ".txt"))
            << "answer LEVEL/Gang.TXT\n@2 down Tab\n@3 up Tab\n@5 down R\n@6 up R\n@8 wait\n"
            << more;
        EXPECT_EQ(Program("--headless --script " + Quoted(root_ / (name + ".txt")) +
                          " --passes 40 --state " + Quoted(root_ / (name + ".json"))),
                  0)
            << Errors();
        const nlohmann::json state =
            nlohmann::json::parse(ReadText(root_ / (name + ".json")), nullptr, false);
        return std::make_pair(state.value("viewX", 0.0), state.value("viewY", 0.0));
    };
    const auto still = view("still", "");
    EXPECT_NE(view("ghost", "@10 down G\n@11 up G\n"), still) << "the view did not follow";
    // M does nothing else in the editor.
    EXPECT_EQ(view("stopped", "@10 down G\n@11 up G\n@30 down M\n@31 up M\n"), still);
}

// The level tool's check with a search names the cell the ball falls out of the level from.
TEST_F(SolveTest, CheckWithASearchNamesWhereTheBallFallsOut) {
    WriteLevel("Loch", {
                           "####################",
                           "#                  #",
                           "#  o          Z    #",
                           "######  ############",
                       });
    const std::string command = Quoted(fs::path(TESSARON_GAME_DIR) / "tessaron-level") + " check " +
                                Quoted(root_ / "LEVEL" / "Loch.TXT") + " --search 3 --dir " +
                                Quoted(root_) + " >" + Quoted(root_ / "check.txt");
    EXPECT_EQ(RunCommand("QT_QPA_PLATFORM=offscreen " + command), 1);
    const std::string found = ReadText(root_ / "check.txt");
    EXPECT_TRUE(found.find("7 4: the ball falls out of the level") != std::string::npos ||
                found.find("8 4: the ball falls out of the level") != std::string::npos)
        << found;
}

struct Refusal {
    const char* name;
    const char* arguments;
    const char* reason;  // a part of the message
};

class SolveRefuses : public SolveTest, public ::testing::WithParamInterface<Refusal> {};

TEST_P(SolveRefuses, WithStatusTwoAndTheReason) {
    WriteLevel("Leer", {
                           "##########",
                           "#   o    #",
                           "##########",
                       });
    const Refusal& refusal = GetParam();
    EXPECT_EQ(Program(std::string(refusal.arguments) + " --replay " + Quoted(root_ / "out.txt")),
              2);
    EXPECT_NE(Errors().find(refusal.reason), std::string::npos) << Errors();
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, SolveRefuses,
    ::testing::Values(Refusal{"NoGoal", "--solve LEVEL/Leer.TXT", "no goal"},
                      Refusal{"NoSuchLevel", "--solve LEVEL/Fehlt.TXT", "cannot be opened"},
                      Refusal{"NoTime", "--solve LEVEL/Hoehle.TXT --seconds 0", "--seconds"},
                      Refusal{"Scripted", "--solve LEVEL/Hoehle.TXT --headless",
                              "not for --solve"}),
    [](const ::testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

}  // namespace
