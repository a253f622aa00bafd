// The script reader and writer, the command line, trace lines and the state file.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/automation/command_line.h"
#include "app/automation/script.h"
#include "app/automation/state_writer.h"
#include "app/automation/trace.h"
#include "level/level.h"

namespace tessaron::app {
namespace {

using runtime::Key;
using ::testing::HasSubstr;
using ::testing::StartsWith;

Action Make(std::int64_t pass, ActionKind kind) {
    Action action;
    action.pass = pass;
    action.kind = kind;
    return action;
}

struct ActionCase {
    std::string line;
    Action expected;
};

class ScriptAction : public ::testing::TestWithParam<ActionCase> {};

TEST_P(ScriptAction, ReadsAndWritesBackTheSameAction) {
    const ActionCase& c = GetParam();
    ScriptResult read = ParseScript(c.line);
    ASSERT_TRUE(read.ok) << read.error;
    ASSERT_EQ(read.script.actions.size(), 1u);
    Action expected = c.expected;
    expected.line = 1;
    EXPECT_EQ(read.script.actions[0], expected);

    // What the recorder writes reads back as the same action.
    ScriptResult again = ParseScript(FormatAction(read.script.actions[0]));
    ASSERT_TRUE(again.ok) << again.error;
    EXPECT_EQ(again.script.actions[0], expected);
}

Action Key(std::int64_t pass, ActionKind kind, runtime::Key key) {
    Action action = Make(pass, kind);
    action.key = key;
    return action;
}
Action Point(std::int64_t pass, ActionKind kind, int x, int y) {
    Action action = Make(pass, kind);
    action.x = x;
    action.y = y;
    return action;
}
// A press at (300, 200) with its modifiers.
Action Pressed(std::int64_t pass, ActionKind kind, int modifiers) {
    Action action = Point(pass, kind, 300, 200);
    action.modifiers = modifiers;
    return action;
}
Action Control(std::int64_t pass, ActionKind kind, int control, int value = 0,
               std::string text = "") {
    Action action = Make(pass, kind);
    action.control = control;
    action.value = value;
    action.text = std::move(text);
    return action;
}

INSTANTIATE_TEST_SUITE_P(
    EveryAction, ScriptAction,
    ::testing::Values(
        ActionCase{"@1 down Up", Key(1, ActionKind::KeyDown, Key::Up)},
        ActionCase{"@2 up Down", Key(2, ActionKind::KeyUp, Key::Down)},
        ActionCase{"@3 down Left", Key(3, ActionKind::KeyDown, Key::Left)},
        ActionCase{"@3 down Right", Key(3, ActionKind::KeyDown, Key::Right)},
        ActionCase{"@4 down Tab", Key(4, ActionKind::KeyDown, Key::Tab)},
        ActionCase{"@4 up Escape", Key(4, ActionKind::KeyUp, Key::Escape)},
        ActionCase{"@5 down F5", Key(5, ActionKind::KeyDown, Key::F5)},
        ActionCase{"@5 up F6", Key(5, ActionKind::KeyUp, Key::F6)},
        ActionCase{"@5 down M", Key(5, ActionKind::KeyDown, Key::M)},
        ActionCase{"@6 mouse 300 200", Point(6, ActionKind::Mouse, 300, 200)},
        ActionCase{"@6 mouse -20 900", Point(6, ActionKind::Mouse, -20, 900)},
        ActionCase{"@7 click 256 0", Point(7, ActionKind::Click, 256, 0)},
        ActionCase{"@8 text 22 12", Control(8, ActionKind::Text, 22, 0, "12")},
        ActionCase{"@8 text 22", Control(8, ActionKind::Text, 22)},
        ActionCase{"@8 text 3 zwei Wörter", Control(8, ActionKind::Text, 3, 0, "zwei Wörter")},
        ActionCase{"@9 select 1000 4", Control(9, ActionKind::Select, 1000, 4)},
        ActionCase{"@9 select 52 -1", Control(9, ActionKind::Select, 52, -1)},
        ActionCase{"@10 press 2001", Control(10, ActionKind::Press, 2001)},
        ActionCase{"@11 toolbar 3", Control(11, ActionKind::Toolbar, 3)},
        ActionCase{"@12 close", Make(12, ActionKind::Close)},
        ActionCase{"  @12   close   # the window in front", Make(12, ActionKind::Close)},
        ActionCase{"@9000000000 close", Make(9000000000, ActionKind::Close)},
        ActionCase{"@13 click 300 200 Shift", Pressed(13, ActionKind::Click, runtime::kShiftHeld)},
        ActionCase{"@13 drag 300 200", Pressed(13, ActionKind::Drag, 0)},
        ActionCase{"@13 drag 300 200 Shift+Ctrl",
                   Pressed(13, ActionKind::Drag, runtime::kShiftHeld | runtime::kControlHeld)},
        ActionCase{"@14 drop 300 200", Point(14, ActionKind::Drop, 300, 200)},
        ActionCase{"@14 rightclick 300 200 Ctrl",
                   Pressed(14, ActionKind::RightClick, runtime::kControlHeld)},
        ActionCase{"@15 key Ctrl+V", Control(15, ActionKind::Command, 3)},
        ActionCase{"@15 key Delete", Control(15, ActionKind::Command, 4)},
        ActionCase{"@13 down Shift", Key(13, ActionKind::KeyDown, Key::Shift)},
        ActionCase{"@13 up Home", Key(13, ActionKind::KeyUp, Key::Home)},
        ActionCase{"@13 down O", Key(13, ActionKind::KeyDown, Key::O)},
        ActionCase{"@13 down S", Key(13, ActionKind::KeyDown, Key::S)},
        ActionCase{"@13 up P", Key(13, ActionKind::KeyUp, Key::P)},
        ActionCase{"@14 mdown 300 200", Point(14, ActionKind::MiddleDown, 300, 200)},
        ActionCase{"@14 mup 310 -5", Point(14, ActionKind::MiddleUp, 310, -5)},
        ActionCase{"@15 wheel -120", Control(15, ActionKind::Wheel, 0, -120)},
        ActionCase{"@15 hwheel 240", Control(15, ActionKind::SidewaysWheel, 0, 240)}));

TEST(Script, ReadsSeedAnswersCommentsAndBlankLinesInOrder) {
    ScriptResult read = ParseScript(
        "# a level check\r\n"
        "seed 4294967295 # largest\r\n"
        "\r\n"
        "answer LEVEL/Erste Welt.TXT\r\n"
        "answer    # cancelled\r\n"
        "answer /tmp/a#b.TXT # a hash inside a word is kept\r\n"
        "   \t\n"
        "@1 down Tab\n"
        "@1 text 1   # a comment: the text is empty\n"
        "@3 up Tab");
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.script.seed, 4294967295u);
    EXPECT_THAT(read.script.answers,
                ::testing::ElementsAre("LEVEL/Erste Welt.TXT", "", "/tmp/a#b.TXT"));
    ASSERT_EQ(read.script.actions.size(), 3u);
    EXPECT_EQ(read.script.actions[0].line, 8);
    EXPECT_EQ(read.script.actions[1].text, "");
    EXPECT_EQ(read.script.actions[2].line, 10);
    EXPECT_EQ(read.script.actions[2].pass, 3);
}

TEST(Script, EmptyTextHasNoSeedAndNoActions) {
    ScriptResult read = ParseScript("");
    ASSERT_TRUE(read.ok);
    EXPECT_FALSE(read.script.seed);
    EXPECT_TRUE(read.script.actions.empty());
}

struct BadLine {
    std::string text;
    std::string error;  // the start of the message, with its line number
};

class ScriptBadLine : public ::testing::TestWithParam<BadLine> {};

TEST_P(ScriptBadLine, IsRefusedNamingItsLine) {
    ScriptResult read = ParseScript(GetParam().text);
    EXPECT_FALSE(read.ok);
    EXPECT_THAT(read.error, StartsWith(GetParam().error));
    EXPECT_TRUE(read.script.actions.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ScriptBadLine,
    ::testing::Values(
        BadLine{"@1 down Tab\n@2 down Space", "line 2: unknown key \"Space\""},
        BadLine{"@1 down tab", "line 1: unknown key"}, BadLine{"@1 down", "line 1: missing key"},
        BadLine{"\n\n@0 close", "line 3: bad pass number"},
        BadLine{"@-1 close", "line 1: bad pass number"},
        BadLine{"@x close", "line 1: bad pass number"},
        BadLine{"@ close", "line 1: bad pass number"}, BadLine{"@1", "line 1: missing action"},
        BadLine{"@1 jump", "line 1: unknown action \"jump\""},
        BadLine{"@1 mouse 10", "line 1: missing y"},
        BadLine{"@1 click 10 2O", "line 1: bad y \"2O\""},
        BadLine{"@1 mouse 99999999999 0", "line 1: bad x"},
        BadLine{"@1 select 90", "line 1: missing value"},
        BadLine{"@1 select -5 1", "line 1: bad control"},
        BadLine{"@1 press", "line 1: missing control"},
        BadLine{"@1 toolbar 0", "line 1: bad toolbar button"},
        BadLine{"@1 close now", "line 1: unexpected \"now\""},
        BadLine{"@1 press 5 6", "line 1: unexpected \"6\""},
        BadLine{"@5 close\n@4 close", "line 2: pass 4 comes after pass 5"},
        BadLine{"seed", "line 1: missing seed"}, BadLine{"seed -1", "line 1: bad seed"},
        BadLine{"seed 4294967296", "line 1: bad seed"},
        BadLine{"seed 1\nseed 2", "line 2: a second seed"},
        BadLine{"seed 1 2", "line 1: unexpected \"2\""},
        BadLine{"down Tab", "line 1: unknown line"}, BadLine{"answers x", "line 1: unknown line"},
        BadLine{"@1 drag 10 20 Alt", "line 1: unknown modifiers \"Alt\""},
        BadLine{"@1 drop 10 20 Shift", "line 1: unexpected \"Shift\""},
        BadLine{"@1 key Ctrl+Z", "line 1: unknown keys \"Ctrl+Z\""},
        BadLine{"reply Ja", "line 1: unknown reply \"Ja\""}));

TEST(Script, MissingFileIsAnError) {
    ScriptResult read = ReadScript("/nonexistent/tessaron/script.txt");
    EXPECT_FALSE(read.ok);
    EXPECT_THAT(read.error, HasSubstr("cannot read the script"));
}

TEST(Script, EndlessFileIsRefusedAtItsBound) {
    if (!std::filesystem::exists("/dev/zero")) {
        GTEST_SKIP() << "no endless file here";
    }
    ScriptResult read = ReadScript("/dev/zero");
    EXPECT_FALSE(read.ok);
    EXPECT_THAT(read.error, HasSubstr("the script is longer than 64 MiB"));
}

// ---------------------------------------------------------------------------------------------

CommandLine Parse(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "tessaron");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    return ParseCommandLine(static_cast<int>(arguments.size()), argv.data());
}

TEST(CommandLine, ReadsAHeadlessRun) {
    CommandLine line = Parse({"--headless", "--script", "run.txt", "--dir", "/tmp/game", "--passes",
                              "120", "--seed=7", "--trace", "t.csv", "--state", "s.json",
                              "--screenshot", "f.png", "--window-shot", "w.png"});
    ASSERT_TRUE(line.ok) << line.error;
    const Options& o = line.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.script, "run.txt");
    EXPECT_EQ(o.gameDir, "/tmp/game");
    EXPECT_EQ(o.passes, 120);
    EXPECT_EQ(o.seed, 7u);
    EXPECT_EQ(o.trace, "t.csv");
    EXPECT_EQ(o.state, "s.json");
    EXPECT_EQ(o.screenshot, "f.png");
    EXPECT_EQ(o.windowShot, "w.png");
}

TEST(CommandLine, ReadsAnInteractiveRun) {
    CommandLine plain = Parse({});
    ASSERT_TRUE(plain.ok);
    EXPECT_FALSE(plain.options.headless);
    EXPECT_EQ(plain.options.passes, 0);
    EXPECT_FALSE(plain.options.seed);

    CommandLine recorded = Parse({"--dir", "g", "--record", "run.txt", "--trace", "t.csv"});
    ASSERT_TRUE(recorded.ok) << recorded.error;
    EXPECT_EQ(recorded.options.record, "run.txt");
    EXPECT_EQ(recorded.options.gameDir, "g");

    // Asking for help wins over everything else on the line.
    for (const char* help : {"--help", "-h"}) {
        EXPECT_TRUE(Parse({"--fast", help}).help) << help;
    }
}

struct BadCommandLine {
    std::vector<std::string> arguments;
    std::string error;
};

class CommandLineError : public ::testing::TestWithParam<BadCommandLine> {};

TEST_P(CommandLineError, IsRefusedWithAReason) {
    CommandLine line = Parse(GetParam().arguments);
    EXPECT_FALSE(line.ok);
    EXPECT_THAT(line.error, HasSubstr(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    Errors, CommandLineError,
    ::testing::Values(
        BadCommandLine{{"--fast"}, "unknown option: --fast"},
        BadCommandLine{{"level.TXT"}, "unknown option: level.TXT"},
        BadCommandLine{{"--dir"}, "--dir needs a value"},
        BadCommandLine{{"--dir="}, "--dir needs a value"},
        BadCommandLine{{"--headless", "--script"}, "--script needs a value"},
        BadCommandLine{{"--script", "s.txt"}, "--script needs --headless"},
        BadCommandLine{{"--passes", "5"}, "--passes needs --headless"},
        BadCommandLine{{"--headless"}, "--headless needs --script"},
        BadCommandLine{{"--headless", "--script", "s", "--passes", "-1"}, "--passes needs"},
        BadCommandLine{{"--headless", "--script", "s", "--passes", "1e3"}, "--passes needs"},
        BadCommandLine{{"--headless", "--script", "s", "--passes", "99999999999999999999"},
                       "--passes needs"},
        BadCommandLine{{"--headless", "--script", "s", "--seed", "4294967296"}, "--seed needs"},
        BadCommandLine{{"--headless", "--script", "s", "--seed", "x"}, "--seed needs"},
        BadCommandLine{{"--headless", "--script", "s", "--record", "r"}, "--record is for"},
        BadCommandLine{{"--headless=1", "--script", "s"}, "--headless takes no value"},
        BadCommandLine{{"--dir", "a", "--dir", "b"}, "--dir is given twice"}));

// ---------------------------------------------------------------------------------------------

TEST(FloatText, ReadsBackAsTheSameFloat) {
    for (float value : {0.0f, -0.0f, 0.1f, 0.6f, -10.0f, 1.0f / 3.0f, 16777217.0f, 1e-45f,
                        3.4028235e38f, -123.456f, 1000000.0f, 0.0174532924f}) {
        const std::string text = FloatText(value);
        const float back = std::strtof(text.c_str(), nullptr);
        EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
    }
    EXPECT_EQ(FloatText(0.6f), "0.6");
    EXPECT_EQ(FloatText(-100.0f), "-100");
}

TEST(Trace, LineHoldsThePassValuesInHeaderOrder) {
    GameState state;
    state.loop.mode = level::Mode::Editor;
    state.level.viewX = -10.0f;
    state.level.viewY = 0.1f + 0.2f;
    state.player.velocityX = 1.0f / 3.0f;
    state.player.velocityY = -0.6f;
    state.level.score = 57;
    state.level.triggeredLink = -1;
    state.player.crushCount = 2;
    EXPECT_STREQ(kTraceHeader,
                 "pass,mode,viewX,viewY,velocityX,velocityY,score,triggeredLink,crushCount");
    EXPECT_EQ(TraceLine(12, state), "12,1,-10,0.3,0.33333334,-0.6,57,-1,2");
}

TEST(State, HoldsEveryValueAndItsFloatsReadBackExactly) {
    GameState state;
    state.loop.mode = level::Mode::Play;
    state.loop.tick = 3599;
    state.level.viewX = 0.1f + 0.2f;
    state.level.viewY = -1234.5677f;
    state.player.velocityX = 1.0f / 3.0f;
    state.player.velocityY = -7.1e-7f;
    state.level.levelWidth = 20;
    state.level.levelHeight = 21;
    state.level.startX = 1000000;
    state.level.score = 90;
    state.render.ballAngle = -725;
    state.level.levelFileName = "LEVEL/Welt ü.TXT";
    level::AddCell(state.level.elements, 100, 1, 1, 1001, 1, 1, 0, -1, 0, 0, 0, 0, 0, 0, 0);
    state.level.elements[0].column = 0.1f * 3.0f;

    const nlohmann::ordered_json json = StateToJson(state);
    std::vector<std::string> keys;
    for (const auto& item : json.items()) {
        keys.push_back(item.key());
    }
    EXPECT_THAT(keys, ::testing::ElementsAre("mode", "score", "viewX", "viewY", "velocityX",
                                             "velocityY", "startX", "startY", "levelWidth",
                                             "levelHeight", "triggeredLink", "crushCount", "tick",
                                             "ballAngle", "levelFileName", "elements"));

    // Through text, as a reader of the file sees it.
    const nlohmann::json back = nlohmann::json::parse(json.dump());
    auto asFloat = [](const nlohmann::json& value) {
        return static_cast<float>(value.get<double>());
    };
    EXPECT_EQ(asFloat(back["viewX"]), state.level.viewX);
    EXPECT_EQ(asFloat(back["viewY"]), state.level.viewY);
    EXPECT_EQ(asFloat(back["velocityX"]), state.player.velocityX);
    EXPECT_EQ(asFloat(back["velocityY"]), state.player.velocityY);
    EXPECT_EQ(back["tick"], 3599);
    EXPECT_EQ(back["ballAngle"], -725);
    EXPECT_EQ(back["levelFileName"], "LEVEL/Welt ü.TXT");
    ASSERT_EQ(back["elements"].size(), 1u);
    EXPECT_EQ(asFloat(back["elements"][0]["column"]), state.level.elements[0].column);
    EXPECT_EQ(back["elements"][0]["kind"], 1001);
    EXPECT_EQ(back["elements"][0].size(), 15u);
}

}  // namespace
}  // namespace tessaron::app
