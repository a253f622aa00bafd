// The tessaron-level program, run as level authors and scripts run it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#if defined(__unix__)
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
        std::string command = "\"" + (fs::path(TESSARON_GAME_DIR) / "tessaron-level").string() + "\"";
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
        const ToolRun pack = Tool({"pack", (dir_ / "level.json").string(), (dir_ / "x.TXT").string()});
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
    std::vector<std::string> arguments;
    for (const std::string& argument : GetParam().arguments) {
        std::string a = argument;
        for (const auto& [key, value] :
             {std::pair<std::string, std::string>{"@DIR", dir_.string()},
              {"@DATA", TESSARON_LEVEL_TEST_DATA}}) {
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
    }
}
INSTANTIATE_TEST_SUITE_P(
    LevelTool, LevelToolFailureTest,
    ::testing::Values(
        FailureCase{"DumpMissing", {"dump", "@DIR/missing.TXT"}, 2, "cannot be opened"},
        FailureCase{"DumpTooWide", {"dump", "@DATA/too_wide.TXT"}, 2, "301 columns"},
        FailureCase{"DumpTooManyCells", {"dump", "@DATA/too_many_cells.TXT"}, 2, "100000"},
        FailureCase{"DumpShort", {"dump", "@DATA/short_header.TXT"}, 2, "too short"},
        FailureCase{"PackMissing", {"pack", "@DIR/none.json", "@DIR/out.TXT"}, 2,
                    "cannot be opened"},
        FailureCase{"PackMalformed", {"pack", "@DIR/broken.json", "@DIR/out.TXT"}, 2,
                    "malformed JSON"},
        FailureCase{"PackEndless", {"pack", "/dev/zero", "@DIR/out.TXT"}, 2, "longer than"},
        FailureCase{"PackIncomplete", {"pack", "@DIR/incomplete.json", "@DIR/out.TXT"}, 2,
                    "\"background\""},
        FailureCase{"PackTooWide", {"pack", "@DIR/wide.json", "@DIR/out.TXT"}, 2, "300"},
        FailureCase{"PackIntoMissingFolder", {"pack", "@DIR/empty.json", "@DIR/no/out.TXT"}, 2,
                    "cannot be written"},
        FailureCase{"NoCommand", {}, 1, "Usage"},
        FailureCase{"UnknownCommand", {"show", "x"}, 1, "Usage"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
