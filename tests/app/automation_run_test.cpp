// Scripted and recorded runs of the real program, driven through the machine layer's widgets
// under the offscreen platform.
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <span>
#include <sstream>
#include <string>

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "app/automation/recorder.h"
#include "app/automation/script.h"
#include "app/automation/script_driver.h"
#include "app/automation/trace.h"
#include "app/goal_screen.h"
#include "app/program.h"
#include "level/level_file.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::app {
namespace {

namespace fs = std::filesystem;
using runtime::Key;
using ::testing::HasSubstr;
using ::testing::Not;

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A game folder with the build's pictures, sound and sample levels.
fs::path MakeGameFolder(const std::string& name) {
    const fs::path root = fs::temp_directory_path() / ("tessaron-automation-" + name + "-" +
                                                       std::to_string(std::random_device{}()));
    fs::remove_all(root);
    fs::create_directories(root);
    for (const char* folder : {"BMP", "WAV", "LEVEL"}) {
        fs::copy(fs::path(TESSARON_GAME_DIR) / folder, root / folder, fs::copy_options::recursive);
    }
    return root;
}

// Answers the modal windows of a hand-driven run with the test's own calls; the pass's input
// comes from the test between passes, as a user's would.
class ModalHands : public InputDriver {
  public:
    std::deque<std::function<void()>> modal;
    Status BeforePoll(std::int64_t) override { return Status::Ok; }
    Status BeforeModalEvent(std::string_view) override {
        if (modal.empty()) {
            return Status::NoActionLeft;
        }
        auto action = std::move(modal.front());
        modal.pop_front();
        action();
        return Status::Ok;
    }
    std::string Message() const override { return "no hands left"; }
    // A player answers the goal screen whenever it shows: here, when the test has hands left.
    bool WillPress(std::span<const int>) const override { return !modal.empty(); }
};

char kName[] = "tessaron-test";
char* kArgv[] = {kName, nullptr};
int kArgc = 1;

class AutomationRun : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = MakeGameFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { fs::remove_all(root_); }

    Options HeadlessOptions() const {
        Options options;
        options.gameDir = root_;
        options.headless = true;
        options.seed = 77;
        return options;
    }

    // Replays a script text for a number of passes; the trace's text and the last outcome.
    std::string Replay(const std::string& scriptText, std::int64_t passes,
                       PassOutcome* last = nullptr, std::string* message = nullptr) {
        ScriptResult read = ParseScript(scriptText);
        EXPECT_TRUE(read.ok) << read.error;
        runtime::ScriptedRequesters requesters;
        for (const std::string& answer : read.script.answers) {
            requesters.Answer(answer);
        }
        Options options = HeadlessOptions();
        options.seed = read.script.seed.value_or(1);
        const fs::path traceFile = root_ / "replay.csv";
        TraceWriter trace(traceFile);
        Program* program = nullptr;
        ScriptDriver driver(
            read.script, [&program]() -> runtime::Windows& { return program->Windows(); },
            [&program]() -> runtime::Keyboard& { return program->Keys(); });
        Program run(options, ProgramHooks{&driver, {&trace}, &requesters});
        program = &run;
        PassOutcome outcome = PassOutcome::Continue;
        if (run.StartUp(kArgc, kArgv) != 0) {
            outcome = PassOutcome::Aborted;
        }
        for (std::int64_t pass = 0;
             pass < passes && outcome != PassOutcome::Aborted && outcome != PassOutcome::Quit;
             ++pass) {
            outcome = run.RunPass();
        }
        if (last != nullptr) {
            *last = outcome;
        }
        if (message != nullptr) {
            *message = run.AbortMessage();
        }
        run.End();
        trace.Close();
        return ReadText(traceFile);
    }

    // A recorder of seed 77 that writes its lines into `recording` and reaches the program it
    // records through `program`.
    static Recorder RecorderInto(std::string& recording, Program*& program) {
        Recorder recorder([&recording](std::string_view line) { (recording += line) += '\n'; },
                          [&program]() -> runtime::Windows& { return program->Windows(); },
                          [&program]() { return program->Folder().Root(); });
        recorder.RecordSeed(77);
        return recorder;
    }

    fs::path root_;
};

TEST_F(AutomationRun, RecordedRunReplaysToTheSameTrace) {
    std::string recording;
    Program* program = nullptr;
    Recorder recorder = RecorderInto(recording, program);

    // The load at start-up is cancelled: the new-level dialog takes typed sizes; a save later
    // takes the second answer.
    runtime::ScriptedRequesters requesters;
    requesters.Answer("");
    requesters.Answer((root_ / "LEVEL" / "Neu.TXT").string());
    ModalHands hands;
    hands.modal.push_back([&] { program->Windows().TypeText(1, "25"); });
    hands.modal.push_back([&] { program->Windows().TypeText(2, "30"); });
    hands.modal.push_back([&] { program->Windows().Press(5); });

    const fs::path traceFile = root_ / "recorded.csv";
    TraceWriter trace(traceFile);
    Program run(HeadlessOptions(), ProgramHooks{&hands, {&recorder, &trace}, &requesters});
    program = &run;
    ASSERT_EQ(run.StartUp(kArgc, kArgv), 0);
    ASSERT_EQ(run.State().level.levelWidth, 25);

    runtime::Windows& windows = run.Windows();
    runtime::Keyboard& keys = run.Keys();
    auto pass = [&run] { return run.RunPass(); };
    auto tap = [&](Key key) {
        keys.SetKey(key, true);
        pass();
        keys.SetKey(key, false);
        pass();
    };

    tap(Key::Tab);  // to the editor
    ASSERT_EQ(run.State().loop.mode, level::Mode::Editor);
    windows.Select(1000, 3);  // "Erde"
    windows.TypeText(11, "7");
    pass();
    pass();
    keys.SetKey(Key::Down, true);
    keys.SetKey(Key::Left, true);
    pass();
    pass();
    keys.SetKey(Key::Left, false);
    pass();
    keys.SetKey(Key::Down, false);
    windows.Use(2);
    windows.SetMousePosition(700, 400);
    pass();
    windows.SetMousePosition(500, 300);
    windows.Queue({runtime::EventCode::LeftButtonDown, 0, 2});
    pass();
    windows.Press(2003);  // a check box
    pass();
    // Ctrl+Z typed on the main window undoes the paint before the save, Ctrl+Y redoes it after.
    QWidget* mainWindow = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == "Tessaron") {
            mainWindow = widget;
        }
    }
    ASSERT_NE(mainWindow, nullptr);
    QTest::keyClick(mainWindow, Qt::Key_Z, Qt::ControlModifier);
    pass();
    tap(Key::F5);  // save: the requester's answer is recorded
    const std::string saved = ReadText(root_ / "LEVEL" / "Neu.TXT");
    QTest::keyClick(mainWindow, Qt::Key_Y, Qt::ControlModifier);
    pass();
    // Escape opens the pause menu; its switch button goes back to play.
    hands.modal.push_back([&] { program->Windows().Press(3); });
    tap(Key::Escape);
    ASSERT_EQ(run.State().loop.mode, level::Mode::Play);
    keys.SetKey(Key::Right, true);
    pass();
    pass();
    keys.SetKey(Key::Right, false);
    pass();
    const std::int64_t passes = run.PassCount();
    run.End();
    trace.Close();

    EXPECT_TRUE(fs::exists(root_ / "LEVEL" / "Neu.TXT"));
    EXPECT_THAT(recording, HasSubstr("seed 77\n"));
    EXPECT_THAT(recording, HasSubstr("answer\n"));
    EXPECT_THAT(recording, HasSubstr("answer LEVEL/Neu.TXT\n"));
    EXPECT_THAT(recording, HasSubstr("@1 text 1 25\n@1 text 2 30\n"));
    EXPECT_THAT(recording, HasSubstr("@1 press 5\n"));
    // The product field is the program's own writing, never the user's.
    EXPECT_THAT(recording, Not(HasSubstr("text 3 ")));
    EXPECT_THAT(recording, HasSubstr(" select 1000 3\n"));
    EXPECT_THAT(recording, HasSubstr(" text 11 7\n"));
    EXPECT_THAT(recording, HasSubstr(" click 500 300\n"));
    EXPECT_THAT(recording, HasSubstr(" press 2003\n"));
    EXPECT_THAT(recording, HasSubstr(" toolbar 4\n"));
    EXPECT_THAT(recording, HasSubstr(" toolbar 5\n"));
    EXPECT_THAT(recording, HasSubstr(" down Down\n"));

    const std::string recorded = ReadText(traceFile);
    fs::remove(root_ / "LEVEL" / "Neu.TXT");
    const std::string replayed = Replay(recording, passes);
    EXPECT_EQ(replayed, recorded) << recording;
    // The replay undid the paint before its save too.
    EXPECT_EQ(ReadText(root_ / "LEVEL" / "Neu.TXT"), saved);
    // The run moved: the trace is not a row of equal lines.
    EXPECT_THAT(recorded, HasSubstr(",1,"));
    EXPECT_THAT(recorded, HasSubstr(",0,"));
}

TEST_F(AutomationRun, ReplayIsTheSameEveryTime) {
    const std::string script =
        "answer LEVEL/Anfang.TXT\n"
        "@1 down Tab\n@2 up Tab\n"
        "@3 down Up\n@3 down Left\n@6 up Up\n@9 up Left\n"
        "@10 mouse 400 200\n@10 click 400 200\n"
        "@12 down Escape\n@13 up Escape\n@14 press 1\n";
    const std::string first = Replay(script, 20);
    const std::string second = Replay(script, 20);
    EXPECT_EQ(first, second);
    EXPECT_EQ(std::count(first.begin(), first.end(), '\n'), 21);
}

TEST_F(AutomationRun, ControlOfNoOpenWindowIsAScriptErrorNamingTheLine) {
    PassOutcome outcome;
    std::string message;
    // Control 5 is the new-level dialog's button: no window has it during a pass.
    Replay("answer LEVEL/Anfang.TXT\n@1 down Tab\n\n@3 press 5\n", 5, &outcome, &message);
    EXPECT_EQ(outcome, PassOutcome::Aborted);
    EXPECT_EQ(message, "line 4: no open window has control 5");
}

TEST_F(AutomationRun, ModalWindowWithoutActionsLeftEndsTheRun) {
    PassOutcome outcome;
    std::string message;
    Replay("answer LEVEL/Anfang.TXT\n@2 down Escape\n@3 up Escape\n", 5, &outcome, &message);
    EXPECT_EQ(outcome, PassOutcome::Aborted);
    EXPECT_THAT(message, HasSubstr("\"PAUSE\""));
}

// A goal screen answered in a recorded run is answered the same way in its replay: the goal of
// a level whose ball starts on it is taken in the first pass, and "NÄCHSTES LEVEL" goes on to
// the next level by name, Anfang.
TEST_F(AutomationRun, GoalScreenAnswerIsRecordedAndReplayed) {
    level::Level made;
    made.levelWidth = 20;
    made.levelHeight = 20;
    level::BuildFreshGrid(made.elements, 20, 20);
    made.elements[9 * 20 + 9].kind = level::Code(level::ElementKind::Goal);
    made.viewX = 112.0f;
    made.viewY = -16.0f;
    runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    ASSERT_EQ(level::WriteLevelFile(made, files, (root_ / "LEVEL" / "Aaa.TXT").string()),
              level::SaveResult::Saved);

    std::string recording;
    Program* program = nullptr;
    Recorder recorder = RecorderInto(recording, program);
    runtime::ScriptedRequesters requesters;
    requesters.Answer((root_ / "LEVEL" / "Aaa.TXT").string());
    ModalHands hands;
    hands.modal.push_back([&] { program->Windows().Press(goal_screen::kNextLevelButton); });
    const fs::path traceFile = root_ / "recorded.csv";
    TraceWriter trace(traceFile);
    Program run(HeadlessOptions(), ProgramHooks{&hands, {&recorder, &trace}, &requesters});
    program = &run;
    ASSERT_EQ(run.StartUp(kArgc, kArgv), 0);
    EXPECT_EQ(run.RunPass(), PassOutcome::Restarted);
    EXPECT_EQ(run.State().level.levelFileName, (root_ / "LEVEL" / "Anfang.TXT").string());
    run.Keys().SetKey(Key::Right, true);
    for (int pass = 0; pass < 20; ++pass) {
        run.RunPass();
    }
    const std::int64_t passes = run.PassCount();
    run.End();
    trace.Close();

    EXPECT_THAT(recording, HasSubstr("@2 press 71\n"));
    EXPECT_EQ(Replay(recording, passes), ReadText(traceFile)) << recording;
}

}  // namespace
}  // namespace tessaron::app
