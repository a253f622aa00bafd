// Scripted and recorded runs of the real program, driven through the machine layer's widgets
// under the offscreen platform.
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <span>
#include <sstream>
#include <string>
#include <vector>

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

    // Records the run it watches into recording_. The load at start-up is cancelled and the
    // new-level dialog takes a 25 x 30 level; a save later takes LEVEL/Neu.TXT.
    void PrepareRecording() {
        recorder_ = std::make_unique<Recorder>(RecorderInto(recording_, program_));
        requesters_.Answer("");
        requesters_.Answer((root_ / "LEVEL" / "Neu.TXT").string());
        hands_.modal.push_back([this] { program_->Windows().TypeText(1, "25"); });
        hands_.modal.push_back([this] { program_->Windows().TypeText(2, "30"); });
        hands_.modal.push_back([this] { program_->Windows().Press(5); });
    }

    Options HeadlessOptions() const {
        Options options;
        options.gameDir = root_;
        options.headless = true;
        options.seed = 77;
        return options;
    }

    // Replays a script text for a number of passes; the trace's text and the last outcome.
    // With `frame` the run draws frames, every one or (keptOnly) only those it may keep, and
    // `frame` receives the back buffer it ends with.
    std::string Replay(const std::string& scriptText, std::int64_t passes,
                       PassOutcome* last = nullptr, std::string* message = nullptr,
                       std::vector<std::uint32_t>* frame = nullptr, bool keptOnly = false) {
        ScriptResult read = ParseScript(scriptText);
        EXPECT_TRUE(read.ok) << read.error;
        runtime::ScriptedRequesters requesters;
        for (const std::string& answer : read.script.answers) {
            requesters.Answer(answer);
        }
        for (const std::string& reply : read.script.replies) {
            requesters.Reply(reply);
        }
        Options options = HeadlessOptions();
        options.seed = read.script.seed.value_or(1);
        options.drawFrames = frame != nullptr;
        options.drawOnlyKeptFrames = keptOnly;
        options.passes = passes;
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
        if (frame != nullptr) {
            run.Screen().CopyBackBuffer(*frame);
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
    std::string recording_;
    Program* program_ = nullptr;
    std::unique_ptr<Recorder> recorder_;
    runtime::ScriptedRequesters requesters_;
    ModalHands hands_;
};

TEST_F(AutomationRun, RecordedRunReplaysToTheSameTrace) {
    PrepareRecording();

    const fs::path traceFile = root_ / "recorded.csv";
    TraceWriter trace(traceFile);
    Program run(HeadlessOptions(), ProgramHooks{&hands_, {recorder_.get(), &trace}, &requesters_});
    program_ = &run;
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
    hands_.modal.push_back([&] { program_->Windows().Press(3); });
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
    EXPECT_THAT(recording_, HasSubstr("seed 77\n"));
    EXPECT_THAT(recording_, HasSubstr("answer\n"));
    EXPECT_THAT(recording_, HasSubstr("answer LEVEL/Neu.TXT\n"));
    EXPECT_THAT(recording_, HasSubstr("@1 text 1 25\n@1 text 2 30\n"));
    EXPECT_THAT(recording_, HasSubstr("@1 press 5\n"));
    // The product field is the program's own writing, never the user's.
    EXPECT_THAT(recording_, Not(HasSubstr("text 3 ")));
    EXPECT_THAT(recording_, HasSubstr(" select 1000 3\n"));
    EXPECT_THAT(recording_, HasSubstr(" text 11 7\n"));
    EXPECT_THAT(recording_, HasSubstr(" click 500 300\n"));
    EXPECT_THAT(recording_, HasSubstr(" press 2003\n"));
    EXPECT_THAT(recording_, HasSubstr(" toolbar 4\n"));
    EXPECT_THAT(recording_, HasSubstr(" toolbar 5\n"));
    EXPECT_THAT(recording_, HasSubstr(" down Down\n"));

    const std::string recorded = ReadText(traceFile);
    fs::remove(root_ / "LEVEL" / "Neu.TXT");
    const std::string replayed = Replay(recording_, passes);
    EXPECT_EQ(replayed, recorded) << recording_;
    // The replay undid the paint before its save too.
    EXPECT_EQ(ReadText(root_ / "LEVEL" / "Neu.TXT"), saved);
    // The run moved: the trace is not a row of equal lines.
    EXPECT_THAT(recorded, HasSubstr(",1,"));
    EXPECT_THAT(recorded, HasSubstr(",0,"));
}

// The editor's gestures made with the toolkit's own mouse and key events: a stroke, a Shift
// rectangle, a Ctrl selection copied and pasted with Ctrl+C and Ctrl+V, a right-click pick,
// Delete, and the save question answered. The recording_ replays to the same trace and saves the
// same level, byte for byte.
TEST_F(AutomationRun, RecordedGesturesReplayToTheSameTraceAndLevel) {
    PrepareRecording();
    requesters_.Reply("Abbrechen");

    const fs::path traceFile = root_ / "recorded.csv";
    TraceWriter trace(traceFile);
    Program run(HeadlessOptions(), ProgramHooks{&hands_, {recorder_.get(), &trace}, &requesters_});
    program_ = &run;
    ASSERT_EQ(run.StartUp(kArgc, kArgv), 0);
    runtime::Keyboard& keys = run.Keys();
    auto passes = [&run](int count) {
        for (int i = 0; i < count; ++i) {
            run.RunPass();
        }
    };
    keys.SetKey(Key::Tab, true);
    passes(1);
    keys.SetKey(Key::Tab, false);
    passes(1);
    ASSERT_EQ(run.State().loop.mode, level::Mode::Editor);
    run.Windows().Select(1000, 2);  // "Beton"
    passes(2);

    QWidget* main = nullptr;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->windowTitle() == "Tessaron") {
            main = widget;
        }
    }
    ASSERT_NE(main, nullptr);
    QWidget* map = main->childAt(600, 300);
    ASSERT_NE(map, nullptr);
    const auto drag = [&](Qt::KeyboardModifiers modifiers, QPoint from, QPoint over, QPoint to) {
        QTest::mousePress(map, Qt::LeftButton, modifiers, from);
        passes(2);
        QTest::mouseMove(map, over);
        passes(1);
        QTest::mouseMove(map, to);
        passes(2);
        QTest::mouseRelease(map, Qt::LeftButton, modifiers, to);
        passes(2);
    };
    drag({}, QPoint(60, 300), QPoint(300, 340), QPoint(420, 200));
    drag(Qt::ShiftModifier, QPoint(100, 500), QPoint(200, 520), QPoint(300, 560));
    drag(Qt::ControlModifier, QPoint(80, 290), QPoint(150, 350), QPoint(200, 330));
    QTest::keyClick(map, Qt::Key_C, Qt::ControlModifier);
    passes(2);
    QTest::mouseMove(map, QPoint(600, 120));
    passes(2);
    QTest::keyClick(map, Qt::Key_V, Qt::ControlModifier);
    passes(2);
    QTest::mouseClick(map, Qt::RightButton, {}, QPoint(20, 20));
    passes(8);
    QTest::mouseClick(map, Qt::LeftButton, {}, QPoint(700, 400));
    passes(2);
    QTest::keyClick(map, Qt::Key_Delete);
    passes(2);
    // The close asks; the answer keeps the program running, and F5 saves.
    run.Windows().Queue({runtime::EventCode::Close, 0, 2});
    passes(2);
    keys.SetKey(Key::F5, true);
    passes(1);
    keys.SetKey(Key::F5, false);
    passes(2);
    const std::int64_t count = run.PassCount();
    const std::string saved = ReadText(root_ / "LEVEL" / "Neu.TXT");
    run.End();
    trace.Close();

    for (const char* line : {" drag 316 300\n", " drag 356 500 Shift\n", " drag 336 290 Ctrl\n",
                             " drop 676 200\n", " key Ctrl+C\n", " key Ctrl+V\n",
                             " rightclick 276 20\n", " key Delete\n", "reply Abbrechen\n"}) {
        EXPECT_THAT(recording_, HasSubstr(line));
    }
    ASSERT_FALSE(saved.empty());
    const std::string recorded = ReadText(traceFile);
    fs::remove(root_ / "LEVEL" / "Neu.TXT");
    EXPECT_EQ(Replay(recording_, count), recorded) << recording_;
    EXPECT_EQ(ReadText(root_ / "LEVEL" / "Neu.TXT"), saved);
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

// A scripted run that keeps only its last frame draws only the passes whose frame it may keep,
// and ends on the frame of a run that draws every pass: after the last pass, and when the run
// ends or restarts early in a pass that draws nothing (the pause menu left without an answer or
// quitting, a load in the editor, the new-level dialog without an answer).
TEST_F(AutomationRun, DrawingOnlyTheKeptFramesEndsOnTheSameFrame) {
    const std::string start = "answer LEVEL/Anfang.TXT\nanswer LEVEL/Anfang.TXT\n";
    const std::string editor = "@1 down Tab\n@2 up Tab\n@3 down Up\n@5 mouse 500 300\n";
    const std::string scripts[] = {
        start + editor + "@6 down Left\n@9 up Up\n@11 mouse 700 200\n",
        start + "@4 down Right\n@10 down Escape\n@11 up Escape\n",
        start + "@4 down Right\n@10 down Escape\n@11 up Escape\n@12 press 4\n",
        start + editor + "@18 down F6\n@20 up F6\n",
        start + editor + "@12 toolbar 1\n",
    };
    for (const std::string& script : scripts) {
        SCOPED_TRACE(script);
        std::vector<std::uint32_t> every;
        std::vector<std::uint32_t> kept;
        const std::string everyTrace = Replay(script, 20, nullptr, nullptr, &every, false);
        const std::string keptTrace = Replay(script, 20, nullptr, nullptr, &kept, true);
        EXPECT_EQ(everyTrace, keptTrace);
        ASSERT_EQ(every.size(), kept.size());
        EXPECT_TRUE(every == kept) << "the frames differ";
    }
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
