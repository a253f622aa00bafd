// The tessaron-level program, run as level authors and scripts run it.
#include <gtest/gtest.h>

#include <QImage>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <random>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__unix__)
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct ToolRun {
    int status;
    std::string out;
    std::string err;
};

class LevelToolTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("tessaron-level-tool-") + info->name() + "-" +
                           std::to_string(std::random_device{}());
        std::replace(name.begin(), name.end(), '/', '_');
        dir_ = fs::temp_directory_path() / name;
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    // Runs the tool with the given arguments (each quoted) and collects its output.
    ToolRun Tool(const std::vector<std::string>& arguments) const {
        return Run("tessaron-level", arguments);
    }

    // Runs a program of the game folder with the given arguments (each quoted).
    ToolRun Run(const std::string& program, const std::vector<std::string>& arguments) const {
        std::string command = "\"" + (fs::path(TESSARON_GAME_DIR) / program).string() + "\"";
        for (const std::string& argument : arguments) {
            command += " \"" + argument + "\"";
        }
        const fs::path out = dir_ / "stdout";
        const fs::path err = dir_ / "stderr";
        command += " >\"" + out.string() + "\" 2>\"" + err.string() + "\"";
        const int raw = std::system(command.c_str());
#if defined(__unix__)
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#else
        const int status = raw;
#endif
        return {status, ReadBytes(out), ReadBytes(err)};
    }

    fs::path dir_;
};

TEST_F(LevelToolTest, DumpAndPackRoundTripTheGameFolderLevelsByteForByte) {
    const fs::path levels = fs::path(TESSARON_GAME_DIR) / "LEVEL";
    int count = 0;
    for (const auto& entry : fs::directory_iterator(levels)) {
        if (!entry.is_regular_file() || entry.path().extension() != ".TXT") {
            continue;
        }
        ++count;
        const ToolRun dump = Tool({"dump", entry.path().string()});
        ASSERT_EQ(dump.status, 0) << dump.err;
        std::ofstream(dir_ / "level.json", std::ios::binary) << dump.out;
        const ToolRun pack =
            Tool({"pack", (dir_ / "level.json").string(), (dir_ / "x.TXT").string()});
        ASSERT_EQ(pack.status, 0) << pack.err;
        EXPECT_TRUE(ReadBytes(dir_ / "x.TXT") == ReadBytes(entry.path())) << entry.path();

        // The sources of the sample levels are in the layout the tool prints.
        const fs::path source = fs::path(TESSARON_SOURCE_DIR) / "data" / "levels" /
                                (entry.path().stem().string() + ".json");
        if (fs::exists(source)) {
            EXPECT_EQ(dump.out, ReadBytes(source)) << source;
        }
    }
    EXPECT_GE(count, 2);
}

TEST_F(LevelToolTest, PackWritesTheLevelInItsEditableState) {
    std::ofstream(dir_ / "in.json") << R"({"viewX": -10.5, "viewY": -99.5, "levelWidth": 1,
        "levelHeight": 1, "elements": [{"background": 0, "homeColumn": 1, "homeRow": 1,
        "kind": 5010, "column": 3.5, "row": 1, "motion": 1, "link": 2, "travelled": 2.5,
        "length": 4, "speedX": 7, "speedY": 0, "pauseCount": 3, "pause1": 0.6, "pause2": 1.5}]})";
    const ToolRun pack = Tool({"pack", (dir_ / "in.json").string(), (dir_ / "out.TXT").string()});
    ASSERT_EQ(pack.status, 0) << pack.err;
    EXPECT_EQ(fs::file_size(dir_ / "out.TXT"), static_cast<std::uintmax_t>((1 + 300) * 40 + 39));
    const ToolRun dump = Tool({"dump", (dir_ / "out.TXT").string()});
    ASSERT_EQ(dump.status, 0) << dump.err;
    const std::string expected =
        "{\n  \"viewX\": -10,\n  \"viewY\": -100,\n  \"levelWidth\": 1,\n  \"levelHeight\": 1,\n"
        "  \"elements\": [\n    {\"background\": 100, \"homeColumn\": 1, \"homeRow\": 1, "
        "\"kind\": 4010, \"column\": 1, \"row\": 1, \"motion\": 0, \"link\": 2, \"travelled\": 0, "
        "\"length\": 4, \"speedX\": 7, \"speedY\": 0, \"pauseCount\": 0, \"pause1\": 1, "
        "\"pause2\": 2}\n  ]\n}\n";
    EXPECT_EQ(dump.out, expected);
}

// The level tool's picture of a level beside the editor's own frame of it: the real program
// loads the level headless, switches to the editor, chooses a value display and scrolls right
// (so that the frame takes in where the tool's tiles meet), with the mouse far off the map; the
// picture has the start marker, as the editor has.
struct EditorFrameCase {
    const char* level;
    int valueDisplay;
};

void PrintTo(const EditorFrameCase& c, std::ostream* out) {
    *out << c.level;
}

class RenderedLevelTest : public LevelToolTest,
                          public ::testing::WithParamInterface<EditorFrameCase> {};

TEST_P(RenderedLevelTest, MatchesTheEditorsFrameRegionForRegion) {
    const std::string level = GetParam().level;
    const fs::path game(TESSARON_GAME_DIR);
    // A copy of the game folder: the run must find no save point and leave nothing behind.
    fs::create_directories(dir_ / "game");
    for (const char* folder : {"BMP", "WAV", "LEVEL"}) {
        fs::copy(game / folder, dir_ / "game" / folder, fs::copy_options::recursive);
    }
    std::ofstream(dir_ / "editor.txt")
        << "answer LEVEL/" << level << ".TXT\n@1 mouse 0 2000\n@1 down Tab\n@2 up Tab\n"
        << "@3 select 90 " << GetParam().valueDisplay << "\n@3 down Right\n@33 up Right\n";
    const ToolRun editor = Run(
        "tessaron", {"--headless", "--dir", (dir_ / "game").string(), "--script",
                     (dir_ / "editor.txt").string(), "--passes", "36", "--screenshot",
                     (dir_ / "editor.png").string(), "--state", (dir_ / "state.json").string()});
    ASSERT_EQ(editor.status, 0) << editor.err;
    const ToolRun render =
        Tool({"render", (game / "LEVEL" / (level + ".TXT")).string(), (dir_ / "level.png").string(),
              "--values", std::to_string(GetParam().valueDisplay), "--start"});
    ASSERT_EQ(render.status, 0) << render.err;

    // The frame was drawn at the view offset the run ended with. Its play passes before the
    // switch leave a fraction in y, which every position of the map rounds away alike; x is
    // whole and even, as the tool's tiles are, so that odd-width labels round alike too.
    const nlohmann::json state = nlohmann::json::parse(ReadBytes(dir_ / "state.json"));
    ASSERT_EQ(state["mode"], 1);
    const double viewX = state["viewX"].get<double>();
    ASSERT_EQ(std::fmod(viewX, 2.0), 0.0) << viewX;
    const int offsetX = 20 + static_cast<int>(viewX);
    const int offsetY = 20 + static_cast<int>(std::nearbyint(state["viewY"].get<double>()));

    const QImage frame(QString::fromStdString((dir_ / "editor.png").string()));
    const QImage picture(QString::fromStdString((dir_ / "level.png").string()));
    ASSERT_FALSE(frame.isNull());
    ASSERT_FALSE(picture.isNull());
    // Cell by cell, the part of it that the frame shows: every pixel the same.
    std::string differing;
    int compared = 0;
    for (int top = 0; top < picture.height(); top += 40) {
        for (int left = 0; left < picture.width(); left += 40) {
            bool same = true;
            for (int y = top; y < top + 40; ++y) {
                for (int x = left; x < left + 40; ++x) {
                    const int sx = x + offsetX;
                    const int sy = y + offsetY;
                    if (sx < 0 || sy < 0 || sx >= frame.width() || sy >= frame.height()) {
                        continue;
                    }
                    ++compared;
                    same = same &&
                           (frame.pixel(sx, sy) & 0xFFFFFFu) == (picture.pixel(x, y) & 0xFFFFFFu);
                }
            }
            if (!same) {
                differing +=
                    " " + std::to_string(left / 40 + 1) + "," + std::to_string(top / 40 + 1);
            }
        }
    }
    EXPECT_EQ(differing, "") << "cells that differ from the editor's frame";
    EXPECT_GT(compared, 1024 * 768 / 3) << "the frame shows too little of the level";
}
INSTANTIATE_TEST_SUITE_P(SampleLevels, RenderedLevelTest,
                         ::testing::Values(EditorFrameCase{"Anfang", 1},
                                           EditorFrameCase{"Hoehle", 4},
                                           EditorFrameCase{"Turm", 3}),
                         [](const auto& info) { return std::string(info.param.level); });

TEST_F(LevelToolTest, ScaleAveragesEveryBlockOfTheFullPicture) {
    // 2800 x 800 pixels: the blocks of 3 on the right and at the bottom are cut by the edge.
    const std::string level = (fs::path(TESSARON_GAME_DIR) / "LEVEL" / "Anfang.TXT").string();
    ASSERT_EQ(Tool({"render", level, (dir_ / "full.png").string(), "--no-grid"}).status, 0);
    const ToolRun scaled =
        Tool({"render", "--scale", "3", level, (dir_ / "scaled.png").string(), "--no-grid"});
    ASSERT_EQ(scaled.status, 0) << scaled.err;
    const QImage full(QString::fromStdString((dir_ / "full.png").string()));
    const QImage small(QString::fromStdString((dir_ / "scaled.png").string()));
    ASSERT_EQ(full.size(), QSize(2800, 800));
    ASSERT_EQ(small.size(), QSize(934, 267));
    int wrong = 0;
    for (int y = 0; y < small.height(); ++y) {
        for (int x = 0; x < small.width(); ++x) {
            int sums[3] = {0, 0, 0};
            int count = 0;
            for (int v = 3 * y; v < std::min(3 * y + 3, full.height()); ++v) {
                for (int u = 3 * x; u < std::min(3 * x + 3, full.width()); ++u) {
                    const QRgb p = full.pixel(u, v);
                    sums[0] += qRed(p);
                    sums[1] += qGreen(p);
                    sums[2] += qBlue(p);
                    ++count;
                }
            }
            const QRgb p = small.pixel(x, y);
            wrong += qRed(p) != (sums[0] + count / 2) / count ||
                     qGreen(p) != (sums[1] + count / 2) / count ||
                     qBlue(p) != (sums[2] + count / 2) / count;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(LevelToolTest, NoGridLeavesAnEmptyCellsBackdropBare) {
    // Cell (2, 2) of the first level is empty air.
    const fs::path game(TESSARON_GAME_DIR);
    const std::string level = (game / "LEVEL" / "Anfang.TXT").string();
    ASSERT_EQ(Tool({"render", level, (dir_ / "grid.png").string()}).status, 0);
    ASSERT_EQ(Tool({"render", level, (dir_ / "bare.png").string(), "--no-grid"}).status, 0);
    const QImage air(QString::fromStdString((game / "BMP" / "H_Luft.bmp").string()));
    const QImage grid(QString::fromStdString((dir_ / "grid.png").string()));
    const QImage bare(QString::fromStdString((dir_ / "bare.png").string()));
    ASSERT_EQ(air.size(), QSize(40, 40));
    const auto sameAsAir = [&](const QImage& picture) {
        for (int y = 0; y < 40; ++y) {
            for (int x = 0; x < 40; ++x) {
                if ((picture.pixel(40 + x, 40 + y) & 0xFFFFFFu) != (air.pixel(x, y) & 0xFFFFFFu)) {
                    return false;
                }
            }
        }
        return true;
    };
    EXPECT_TRUE(sameAsAir(bare));
    EXPECT_FALSE(sameAsAir(grid));
}

TEST_F(LevelToolTest, CheckFindsNothingInTheGameFolderLevels) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(TESSARON_GAME_DIR) / "LEVEL")) {
        if (entry.is_regular_file() && entry.path().extension() == ".TXT") {
            ++count;
            const ToolRun check = Tool({"check", entry.path().string()});
            EXPECT_EQ(check.status, 0) << entry.path() << '\n' << check.out << check.err;
            EXPECT_EQ(check.out, "");
        }
    }
    EXPECT_GE(count, 3);
}

TEST_F(LevelToolTest, CheckPrintsALinePerFindingAndExitsWithOne) {
    std::ofstream(dir_ / "bare.json") << R"({"viewX": 0, "viewY": 0, "levelWidth": 1,
        "levelHeight": 1, "elements": [{"background": 100, "homeColumn": 1, "homeRow": 1,
        "kind": 1000, "column": 1, "row": 1, "motion": 0, "link": -1, "travelled": 0,
        "length": 0, "speedX": 0, "speedY": 0, "pauseCount": 0, "pause1": 0, "pause2": 0}]})";
    ASSERT_EQ(Tool({"pack", (dir_ / "bare.json").string(), (dir_ / "bare.TXT").string()}).status,
              0);
    const ToolRun check = Tool({"check", (dir_ / "bare.TXT").string()});
    EXPECT_EQ(check.status, 1);
    EXPECT_EQ(check.out,
              "0 0: the level has no goal (\"Ziel\")\n"
              "1 1: the top border is open at column 1: the ball can leave the level there\n"
              "0 0: the ball starts outside the level, at column 13 row 10 (world point 512 384 "
              "for the start view offset 0 0)\n");
}

struct FailureCase {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    const char* reason;  // a part of the one line on stderr
};
class LevelToolFailureTest : public LevelToolTest,
                             public ::testing::WithParamInterface<FailureCase> {};

TEST_P(LevelToolFailureTest, ExitsWithAReason) {
    std::ofstream(dir_ / "broken.json") << "{\"viewX\": 1,";
    std::ofstream(dir_ / "incomplete.json")
        << R"({"viewX": 0, "viewY": 0, "levelWidth": 1, "levelHeight": 1, "elements": [{}]})";
    std::ofstream(dir_ / "empty.json")
        << R"({"viewX": 0, "viewY": 0, "levelWidth": 0, "levelHeight": 0, "elements": []})";
    std::ofstream(dir_ / "wide.json")
        << R"({"viewX": 0, "viewY": 0, "levelWidth": 301, "levelHeight": 1, "elements": []})";
    // A 2 x 2 level of one element, and one whose two elements are both at home in one cell.
    const std::string cell =
        R"({"background": 100, "homeColumn": 1, "homeRow": 1, "kind": 1001, "column": 1,
            "row": 1, "motion": 0, "link": 0, "travelled": 0, "length": 0, "speedX": 0,
            "speedY": 0, "pauseCount": 0, "pause1": 0, "pause2": 0})";
    const std::string square = R"({"viewX": 0, "viewY": 0, "levelWidth": 2, "levelHeight": 2, )";
    std::ofstream(dir_ / "one.json") << square << R"("elements": [)" << cell << "]}";
    std::ofstream(dir_ / "twice.json") << square << R"("elements": [)" << cell << "," << cell << ","
                                       << cell << "," << cell << "]}";
#if defined(__unix__)
    ::mkfifo((dir_ / "fifo.png").c_str(), 0600);
#endif
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        std::string a = argument;
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"@DIR", dir_.string()},
              {"@DATA", TESSARON_LEVEL_TEST_DATA},
              {"@LEVEL", (fs::path(TESSARON_GAME_DIR) / "LEVEL").string()}}) {
            if (a.starts_with(key)) {
                a = value + a.substr(key.size());
            }
        }
        arguments.push_back(a);
    }
    const ToolRun run = Tool(arguments);
    EXPECT_EQ(run.status, GetParam().status);
    EXPECT_NE(run.err.find(GetParam().reason), std::string::npos) << run.err;
    if (GetParam().status == 2) {
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        EXPECT_FALSE(fs::exists(dir_ / "out.TXT"));
        EXPECT_FALSE(fs::exists(dir_ / "out.png"));
    }
}
INSTANTIATE_TEST_SUITE_P(
    LevelTool, LevelToolFailureTest,
    ::testing::Values(
        FailureCase{"DumpMissing", {"dump", "@DIR/missing.TXT"}, 2, "cannot be opened"},
        FailureCase{"DumpTooWide", {"dump", "@DATA/too_wide.TXT"}, 2, "301 columns"},
        FailureCase{"DumpTooManyCells", {"dump", "@DATA/too_many_cells.TXT"}, 2, "100000"},
        FailureCase{"DumpShort", {"dump", "@DATA/short_header.TXT"}, 2, "too short"},
        FailureCase{
            "PackMissing", {"pack", "@DIR/none.json", "@DIR/out.TXT"}, 2, "cannot be opened"},
        FailureCase{
            "PackMalformed", {"pack", "@DIR/broken.json", "@DIR/out.TXT"}, 2, "malformed JSON"},
        FailureCase{"PackEndless", {"pack", "/dev/zero", "@DIR/out.TXT"}, 2, "longer than"},
        FailureCase{"PackIncomplete",
                    {"pack", "@DIR/incomplete.json", "@DIR/out.TXT"},
                    2,
                    "\"background\""},
        FailureCase{"PackTooWide", {"pack", "@DIR/wide.json", "@DIR/out.TXT"}, 2, "300"},
        FailureCase{"PackTooFewElements",
                    {"pack", "@DIR/one.json", "@DIR/out.TXT"},
                    2,
                    "1 elements for 2 x 2 cells"},
        FailureCase{"PackACellTwice",
                    {"pack", "@DIR/twice.json", "@DIR/out.TXT"},
                    2,
                    "cell (1, 1) is the home of a second element"},
        FailureCase{"PackIntoMissingFolder",
                    {"pack", "@DIR/empty.json", "@DIR/no/out.TXT"},
                    2,
                    "cannot be written"},
        FailureCase{
            "RenderMissing", {"render", "@DIR/missing.TXT", "@DIR/out.png"}, 2, "cannot be opened"},
        FailureCase{"RenderScaleZero",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/out.png", "--scale", "0"},
                    2,
                    "--scale takes"},
        FailureCase{"RenderScaleTooLarge",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/out.png", "--scale", "41"},
                    2,
                    "--scale takes"},
        FailureCase{"RenderValuesFive",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/out.png", "--values", "5"},
                    2,
                    "--values takes"},
        FailureCase{"RenderUnknownOption",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/out.png", "--zoom"},
                    2,
                    "unknown option --zoom"},
        FailureCase{"RenderNoPng", {"render", "@LEVEL/Anfang.TXT"}, 2, "usage"},
        FailureCase{"RenderWithoutPictures",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/out.png", "--dir", "@DIR"},
                    2,
                    "cannot be loaded"},
        FailureCase{"RenderIntoMissingFolder",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/no/out.png"},
                    2,
                    "cannot be created"},
        FailureCase{"RenderOntoAFifo",
                    {"render", "@LEVEL/Anfang.TXT", "@DIR/fifo.png"},
                    2,
                    "fifo.png: cannot be created: keine gewöhnliche Datei"},
        FailureCase{"CheckMissing", {"check", "@DIR/missing.TXT"}, 2, "cannot be opened"},
        FailureCase{"CheckWithoutFile", {"check"}, 2, "usage"},
        FailureCase{"NoCommand", {}, 1, "Usage"},
        FailureCase{"UnknownCommand", {"show", "x"}, 1, "Usage"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
