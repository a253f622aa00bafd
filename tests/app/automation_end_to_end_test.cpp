// The `tessaron` program itself, run headless from scripts: exit statuses, messages, and the
// trace, state and frames it writes.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <QImage>
#include <nlohmann/json.hpp>

#include "app/app_test_support.h"

#include <sys/stat.h>

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::Not;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct RunResult {
    int status = -1;
    std::string errors;  // standard error
};

class EndToEnd : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessaron-e2e-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) +
                 "-" + std::to_string(std::random_device{}()));
        fs::remove_all(root_);
        testing::MakeGameFolder(root_);
        // Colours the frame test can tell apart: blue air, red bricks.
        testing::WriteBitmap(root_ / "BMP" / "H_Luft.bmp", 40, 40, runtime::Rgb{0, 0, 200});
        testing::WriteBitmap(root_ / "BMP" / "Ziegelsteine.bmp", 40, 40, runtime::Rgb{200, 0, 0});
        fs::create_directories(root_ / "out");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path Out(const std::string& name) const { return root_ / "out" / name; }

    // Runs the program with a script and more arguments.
    RunResult Run(const std::string& script, const std::string& arguments) {
        const fs::path scriptFile = root_ / "out" / "script.txt";
        std::ofstream(scriptFile, std::ios::binary) << script;
        const fs::path errors = Out("stderr.txt");
        const std::string command =
            "QT_QPA_PLATFORM=offscreen '" + (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
            "' --headless --dir '" + root_.string() + "' --script '" + scriptFile.string() + "' " +
            arguments + " 2>'" + errors.string() + "'";
        RunResult result;
        const int raw = std::system(command.c_str());
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        result.errors = ReadText(errors);
        return result;
    }

    fs::path root_;
};

// A new 20 x 20 level made in the dialog after the cancelled load at start-up, then the editor.
const char* kNewLevelScript =
    "seed 3\n"
    "answer\n"
    "@1 text 1 20\n@1 text 2 20\n@1 press 5\n"
    "@2 down Tab\n@3 up Tab\n"
    "@4 down Up\n@6 up Up\n";

TEST_F(EndToEnd, ReplayWritesTheSameTraceStateAndFramesEveryTime) {
    const std::string outputs = "--passes 12 --trace '" + Out("t.csv").string() + "' --state '" +
                                Out("s.json").string() + "' --screenshot '" +
                                Out("f.png").string() + "'";
    ASSERT_EQ(Run(kNewLevelScript, outputs).status, 0);
    const std::string trace = ReadText(Out("t.csv"));
    const std::string state = ReadText(Out("s.json"));
    const std::string frame = ReadText(Out("f.png"));
    ASSERT_EQ(Run(kNewLevelScript, outputs).status, 0);
    EXPECT_EQ(ReadText(Out("t.csv")), trace);
    EXPECT_EQ(ReadText(Out("s.json")), state);
    EXPECT_EQ(ReadText(Out("f.png")), frame);

    // Twelve passes: the ball falls in play mode (0.6 more per pass) until the switch to the
    // editor in pass 3, which keeps its velocity; then two passes of scrolling up.
    std::istringstream lines(trace);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0], "pass,mode,viewX,viewY,velocityX,velocityY,score,triggeredLink,crushCount");
    EXPECT_EQ(rows[2], "2,0,-10,-101.799995,0,-1.2,0,-1,0");
    EXPECT_EQ(rows[12], "12,1,-10,-83.6,0,-1.8000001,0,-1,0");
}

TEST_F(EndToEnd, StateHoldsTheRunsValuesAsExactFloats) {
    ASSERT_EQ(Run(kNewLevelScript, "--passes 12 --state '" + Out("s.json").string() + "'").status,
              0);
    const nlohmann::json state = nlohmann::json::parse(ReadText(Out("s.json")));
    EXPECT_EQ(state["mode"], 1);
    // -100 - 0.6 - 1.2 - 1.8 in single precision, then +20 in the editor.
    EXPECT_EQ(static_cast<float>(state["viewY"].get<double>()),
              ((((-100.0f + -0.6f) + -1.2f) + -1.8000001f) + 10.0f) + 10.0f);
    EXPECT_EQ(static_cast<float>(state["velocityY"].get<double>()), -1.8000001f);
    EXPECT_EQ(state["levelWidth"], 20);
    EXPECT_EQ(state["levelHeight"], 20);
    EXPECT_EQ(state["tick"], 12);
    ASSERT_EQ(state["elements"].size(), 400u);
    // The fresh grid's brick at column 13, row 15.
    const nlohmann::json& brick = state["elements"][14 * 20 + 12];
    EXPECT_EQ(brick["kind"], 1001);
    EXPECT_EQ(brick["column"], 13);
    EXPECT_EQ(brick["row"], 15);
}

TEST_F(EndToEnd, ScreenshotShowsTheLevelAtItsPlace) {
    // Play mode, the view offset at its start value (-10, -100): the brick at column 13, row 15
    // covers play-screen pixels (490, 480) to (529, 519).
    ASSERT_EQ(Run("answer\n@1 text 1 20\n@1 text 2 20\n@1 press 5\n",
                  "--passes 2 --screenshot '" + Out("f.png").string() + "' --window-shot '" +
                      Out("w.png").string() + "'")
                  .status,
              0);
    const QImage frame(QString::fromStdString(Out("f.png").string()));
    ASSERT_EQ(frame.width(), 1024);
    ASSERT_EQ(frame.height(), 768);
    auto pixel = [&frame](int x, int y) { return frame.pixelColor(x, y).rgb() & 0xFFFFFFu; };
    EXPECT_EQ(pixel(509, 499), 0xC80000u);  // the brick's middle
    EXPECT_EQ(pixel(491, 481), 0xC80000u);  // just inside its top-left corner
    EXPECT_EQ(pixel(300, 300), 0x0000C8u);  // air
    EXPECT_EQ(pixel(509, 530), 0x0000C8u);  // air below the brick
    EXPECT_EQ(pixel(900, 300), 0x000000u);  // right of the level's last column

    // The window picture holds the side panel and the play screen with that frame.
    const QImage window(QString::fromStdString(Out("w.png").string()));
    ASSERT_EQ(window.width(), 1280);
    ASSERT_EQ(window.height(), 768);
    EXPECT_EQ(window.pixelColor(256 + 509, 499).rgb() & 0xFFFFFFu, 0xC80000u);
}

// Frames and the state go through the one file writer: a FIFO, which would make a plain writer
// wait for ever, and a folder are refused with the reason, and stay what they were.
TEST_F(EndToEnd, OutputsOntoAFifoOrAFolderAreRefusedWithTheReason) {
    ASSERT_EQ(::mkfifo(Out("fifo").c_str(), 0600), 0);
    fs::create_directories(Out("folder"));
    const RunResult run = Run(kNewLevelScript, "--passes 4 --screenshot '" + Out("fifo").string() +
                                                   "' --window-shot '" + Out("folder").string() +
                                                   "' --state '" + Out("fifo").string() + "'");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.errors, HasSubstr("cannot write the screenshot " + Out("fifo").string() +
                                      ": keine gewöhnliche Datei"));
    EXPECT_THAT(run.errors, HasSubstr("cannot write the window picture " + Out("folder").string() +
                                      ": " + std::strerror(EISDIR)));
    EXPECT_THAT(run.errors, HasSubstr("cannot write the state file " + Out("fifo").string() +
                                      ": keine gewöhnliche Datei"));
    EXPECT_TRUE(fs::is_fifo(Out("fifo")));
    EXPECT_TRUE(fs::is_empty(Out("folder")));
}

TEST_F(EndToEnd, ModalWindowWithoutActionEndsWithStatusThree) {
    RunResult run = Run("answer\n@1 text 1 20\n", "--passes 5");
    EXPECT_EQ(run.status, 3);
    EXPECT_THAT(run.errors, HasSubstr("\"Einstellungen\""));

    run = Run(std::string(kNewLevelScript) + "@8 down Escape\n@9 up Escape\n", "--passes 20");
    EXPECT_EQ(run.status, 3);
    EXPECT_THAT(run.errors, HasSubstr("\"PAUSE\""));
}

TEST_F(EndToEnd, BadScriptOrCommandLineEndsWithStatusTwoNamingTheLine) {
    RunResult run = Run("answer\n# fine\n@1 down Space\n", "--passes 5");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.errors, HasSubstr("line 3: unknown key \"Space\""));

    run = Run(std::string(kNewLevelScript) + "@7 select 1000 2\n@8 press 5\n", "--passes 10");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.errors, HasSubstr("line 11: no open window has control 5"));

    run = Run(kNewLevelScript, "--passes ten");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.errors, HasSubstr("--passes"));
}

TEST_F(EndToEnd, PauseMenuQuitEndsTheRunWithStatusZero) {
    RunResult run =
        Run(std::string(kNewLevelScript) + "@8 down Escape\n@9 up Escape\n@10 press 4\n",
            "--passes 50 --trace '" + Out("t.csv").string() + "'");
    EXPECT_EQ(run.status, 0);
    const std::string trace = ReadText(Out("t.csv"));
    // The run stopped in pass 9, where the menu's "BEENDEN" was pressed.
    EXPECT_THAT(trace, HasSubstr("\n9,"));
    EXPECT_THAT(trace, Not(HasSubstr("\n10,")));
}

// Ctrl+C in its terminal (SIGINT), or the session's SIGTERM, ends an interactive run as
// "BEENDEN" does: its trace and its recording are written out, and the status names the signal.
// Here the signal comes while the "Spiel laden" requester of the start waits for the player.
TEST_F(EndToEnd, StopSignalWritesTheTraceAndRecordingOfAnInteractiveRun) {
    for (const auto& [signal, status] : {std::pair{"INT", 130}, std::pair{"TERM", 143}}) {
        fs::remove(Out("t.csv"));
        fs::remove(Out("r.txt"));
        // The signal goes only once the run catches both (bits 2 and 15 of the caught mask).
        const std::string command =
            "QT_QPA_PLATFORM=offscreen '" + (fs::path(TESSARON_GAME_DIR) / "tessaron").string() +
            "' --dir '" + root_.string() + "' --trace '" + Out("t.csv").string() + "' --record '" +
            Out("r.txt").string() + "' 2>/dev/null & pid=$!; " +
            "for i in $(seq 300); do m=$(awk '/^SigCgt/ {print $2}' /proc/$pid/status); "
            "[ $((0x$m & 0x4002)) -eq $((0x4002)) ] && break; sleep 0.1; done; "
            "kill -" +
            signal + " $pid; wait $pid";
        const int raw = std::system(command.c_str());
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, status) << signal;
        EXPECT_EQ(ReadText(Out("t.csv")),
                  "pass,mode,viewX,viewY,velocityX,velocityY,score,triggeredLink,crushCount\n");
        const std::string recording = ReadText(Out("r.txt"));
        EXPECT_THAT(recording, HasSubstr("\nanswer\n")) << signal;
        EXPECT_THAT(recording, ::testing::EndsWith("\n# passes: 0\n")) << signal;
    }
}

// A 20 x 20 level file as the game writes it: empty air everywhere but a switch with link 3
// under the ball's start at column 13, row 15.
std::string SwitchLevelFile() {
    constexpr std::size_t kWidth = 20, kHeight = 20;
    std::string bytes((kWidth + 300 * kHeight) * 40 + 39, '\0');
    auto put = [&bytes](std::size_t offset, std::int32_t value) {
        for (int i = 0; i < 4; ++i) {
            bytes[offset + i] =
                static_cast<char>((static_cast<std::uint32_t>(value) >> (8 * i)) & 0xFF);
        }
    };
    put(0, -10);
    put(4, -100);
    put(8, kWidth);
    put(12, kHeight);
    for (std::size_t row = 1; row <= kHeight; ++row) {
        for (std::size_t column = 1; column <= kWidth; ++column) {
            const std::size_t p = (column + 300 * row) * 40;
            const bool isSwitch = column == 13 && row == 15;
            put(p, isSwitch ? 2001 : 1000);
            put(p + 5, isSwitch ? 3 : -1);
            put(p + 35, 100);
        }
    }
    return bytes;
}

TEST_F(EndToEnd, ASwitchPressedInPlayIsSavedInItsOwnCell) {
    const fs::path level = root_ / "LEVEL" / "Schalter.TXT";
    const std::string edited = SwitchLevelFile();
    std::ofstream(level, std::ios::binary) << edited;
    // The ball falls onto the switch and presses it down; then Tab to the editor and F5 saves
    // under the same name.
    const std::string script =
        "answer LEVEL/Schalter.TXT\nanswer LEVEL/Schalter.TXT\n"
        "@70 down Tab\n@71 up Tab\n@72 down F5\n@73 up F5\n";
    ASSERT_EQ(Run(script, "--passes 75 --trace '" + Out("t.csv").string() + "'").status, 0);
    EXPECT_THAT(ReadText(Out("t.csv")), HasSubstr(",0,3,0\n"));  // the switch's link triggered

    const std::string saved = ReadText(level);
    ASSERT_EQ(saved.size(), edited.size());
    // The header holds the view at the time of saving; every cell is as it was edited.
    EXPECT_TRUE(saved.compare(16, std::string::npos, edited, 16) == 0);
}

std::vector<std::string> TraceRows(const std::string& trace) {
    std::istringstream lines(trace);
    std::vector<std::string> rows;
    for (std::string line; std::getline(lines, line);) {
        rows.push_back(line);
    }
    return rows;
}

TEST_F(EndToEnd, AClickInTheOverviewMovesTheViewThere) {
    // A new 100 x 50 level: its picture of 4000 x 2000 pixels is reduced by 4 to 1000 x 500 and
    // lies at (12, 134) on the play screen. Escape closes the overview (the pause menu would
    // wait for an action and end the run with status 3); the click at the screen's middle is on
    // the overview's pixel (500, 250), which stands for the level's pixels from (2020, 1020) on.
    const std::string script =
        "answer\n@1 text 1 100\n@1 text 2 50\n@1 press 5\n@2 down Tab\n@3 up Tab\n"
        "@4 down O\n@5 up O\n@6 down Escape\n@7 up Escape\n@8 down O\n@9 up O\n"
        "@10 click 768 384\n";
    ASSERT_EQ(Run(script, "--passes 12 --trace '" + Out("t.csv").string() + "' --screenshot '" +
                              Out("f.png").string() + "'")
                  .status,
              0);
    const std::vector<std::string> rows = TraceRows(ReadText(Out("t.csv")));
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_THAT(rows[9], ::testing::StartsWith("9,1,-10,-103.6,"));
    // The middle of that 4 x 4 block, (2022, 1022), at the screen's middle (512, 384).
    EXPECT_THAT(rows[10], ::testing::StartsWith("10,1,-1510,-638,"));
    EXPECT_THAT(rows[12], ::testing::StartsWith("12,1,-1510,-638,"));
}

TEST_F(EndToEnd, PlayFromACellStartsThereAndEndsWhereTheEditorWas) {
    // Home puts the new level's corner at the screen's: the view (-20, -20). The mouse at the
    // play screen's (500, 300) is over cell (13, 8), whose centre (520, 320) the ball takes.
    const std::string script =
        "answer\n@1 text 1 20\n@1 text 2 20\n@1 press 5\n@2 down Tab\n@3 up Tab\n"
        "@4 down Home\n@5 up Home\n@6 mouse 756 300\n@7 down P\n@8 up P\n"
        "@12 down P\n@13 up P\n";
    ASSERT_EQ(Run(script, "--passes 14 --trace '" + Out("t.csv").string() + "'").status, 0);
    const std::vector<std::string> rows = TraceRows(ReadText(Out("t.csv")));
    ASSERT_EQ(rows.size(), 15u);
    EXPECT_THAT(rows[5], ::testing::StartsWith("5,1,-20,-20,"));
    EXPECT_THAT(rows[8], ::testing::StartsWith("8,0,-8,64,0,0,"));
    EXPECT_THAT(rows[12], ::testing::StartsWith("12,0,-8,"));
    EXPECT_THAT(rows[13], ::testing::StartsWith("13,1,-20,-20,"));
}

TEST_F(EndToEnd, TheEditorMarksTheStartAndSPlacesItForTheNextSave) {
    // The level's file starts the ball at the view (-10, -100); Home brings the editor there,
    // so the marker lies where play draws the ball. Then S over the play screen's (100, 200),
    // cell (3, 7), places the start at the view (392, 104), and F5 saves it.
    const fs::path level = root_ / "LEVEL" / "Start.TXT";
    std::ofstream(level, std::ios::binary) << SwitchLevelFile();
    const std::string script =
        "answer LEVEL/Start.TXT\nanswer LEVEL/Start.TXT\n@2 down Tab\n@3 up Tab\n"
        "@4 down Home\n@5 up Home\n";
    // The mouse leaves the map after S, so that the brush preview hides nothing.
    const std::string placing =
        "@6 mouse 356 200\n@7 down S\n@8 up S\n@9 down F5\n@10 up F5\n@11 mouse 100 700\n";
    // The grid picture of this game folder is grey all over; the ball is red.
    const auto faded = [](const QImage& window, int x, int y) {
        const QColor c = window.pixelColor(256 + x, y);
        return c.red() > 128 && c.red() < 200 && c.green() > 40 && c.green() < 128;
    };
    ASSERT_EQ(Run(script, "--passes 7 --window-shot '" + Out("w.png").string() + "'").status, 0);
    QImage window(QString::fromStdString(Out("w.png").string()));
    EXPECT_TRUE(faded(window, 512, 384));
    EXPECT_TRUE(faded(window, 512 - 27, 384 + 27));
    EXPECT_EQ(window.pixelColor(256 + 512 - 30, 384 - 30).rgb() & 0xFFFFFFu, 0x808080u);

    ASSERT_EQ(
        Run(script + placing, "--passes 12 --window-shot '" + Out("w.png").string() + "'").status,
        0);
    window = QImage(QString::fromStdString(Out("w.png").string()));
    // Cell (3, 7)'s centre, (110, 180) at the view (-10, -100).
    EXPECT_TRUE(faded(window, 110, 180));
    EXPECT_EQ(window.pixelColor(256 + 512, 384).rgb() & 0xFFFFFFu, 0x808080u);
    const std::string saved = ReadText(level);
    ASSERT_GE(saved.size(), 8u);
    EXPECT_EQ(saved.substr(0, 8), std::string("\x88\x01\0\0\x68\0\0\0", 8));
}

}  // namespace
}  // namespace tessaron::app
