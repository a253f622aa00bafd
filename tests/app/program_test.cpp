// Start-up, the pass, the modes and their keys, the toolbar commands and the observers, driven
// through the real widgets under the offscreen platform.
#include <chrono>
#include <cstdio>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "app/side_panel.h"
#include "app_test_support.h"
#include "busy_level.h"
#include "level/level_file.h"

namespace tessaron::app::testing {
namespace {

using runtime::Event;
using runtime::EventCode;
using runtime::Key;

// --- pacing -------------------------------------------------------------------------------

// The interactive loop, timed over a second of play on a small and on a large busy level: it
// runs 60 passes a second whatever the level's size. The bounds are wide, for a shared and busy
// machine; the pacing of ceil(30000 / cells) ms that this replaced took 4.5 s for the small
// level, which a machine too busy to start passes on time may not tell apart from a stall.
class Pacing : public ProgramTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(Pacing, InteractiveLoopRunsSixtyPassesASecond) {
    const auto [width, height] = GetParam();
    level::Level busy = busy_level::MakeBusyLevel(width, height, 1);
    runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    const std::string path = (root_ / "LEVEL" / "Voll.TXT").string();
    ASSERT_EQ(level::WriteLevelFile(busy, files, path), level::SaveResult::Saved);
    requesters_.Answer(path);

    Options options;
    options.gameDir = root_;
    options.seed = 1;
    options.passes = 61;
    ProgramHooks hooks;
    hooks.requesters = &requesters_;
    program_ = std::make_unique<Program>(options, hooks);
    static char name[] = "tessaron-test";
    static char* argv[] = {name, nullptr};
    static int argc = 1;
    ASSERT_EQ(program_->StartUp(argc, argv), 0);
    ASSERT_EQ(program_->State().level.levelWidth, width);

    // Sixty periods lie between the first pass and the sixty-first.
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(program_->RunLoop(), 0);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    RecordProperty("seconds", std::to_string(seconds));
    EXPECT_EQ(program_->PassCount(), 61);
    EXPECT_GT(seconds, 0.95);
    EXPECT_LT(seconds, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Sizes, Pacing, ::testing::Values(std::pair{20, 20}, std::pair{299, 100}),
                         [](const auto& info) {
                             return std::to_string(info.param.first) + "x" +
                                    std::to_string(info.param.second);
                         });

// --- start-up -------------------------------------------------------------------------------

using StartUp = ProgramTest;

TEST_F(StartUp, CancelledLoadLeadsToNewLevelInPlayMode) {
    StartWithNewLevel(20, 20);
    ASSERT_EQ(requesters_.Requests().size(), 1u);
    EXPECT_EQ(requesters_.Requests()[0].title, "Spiel laden");
    EXPECT_FALSE(requesters_.Requests()[0].save);
    EXPECT_EQ(driver_.modalWindows.front(), "Einstellungen");

    runtime::Windows& windows = program_->Windows();
    ASSERT_TRUE(windows.IsOpen(2));
    EXPECT_EQ(MainWindowX(), -256);
    EXPECT_EQ(windows.Y(), 0);

    const GameState& state = program_->State();
    EXPECT_EQ(state.loop.mode, level::Mode::Play);
    EXPECT_EQ(state.level.viewX, -10.0f);
    EXPECT_EQ(state.level.viewY, -100.0f);
    EXPECT_EQ(state.level.startX, level::kNoStartOffset);
    EXPECT_EQ(state.level.triggeredLink, -1);
    EXPECT_EQ(state.level.score, 0);
    EXPECT_EQ(state.paint.kindChoice, 1000);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
}

TEST_F(StartUp, SidePanelControlsHaveTheirTextsAndStates) {
    StartWithNewLevel();
    runtime::Windows& windows = program_->Windows();
    struct Text {
        int control;
        const char* text;
    };
    for (const Text& t :
         std::initializer_list<Text>{{20, "Verschiebungsgeschw. (in_Pixel_;_!nicht_schräg!)"},
                                     {30, "Verschiebungslänge (in_Kästchen)"},
                                     {40, "1.Pause nach Versch. (in_Schleifen_;_0=unendlich)"},
                                     {42, "2.Pause nach Versch. (in_Schleifen_;_0=unendlich)"},
                                     {10, "Verbindungsnummer (0=ohne_Schalter)"},
                                     {51, "Werte speichern"},
                                     {50, "Gesp.Einst.:"},
                                     {100, "Luft"},
                                     {200, "Wasser"},
                                     {2000, "ALLE"},
                                     {28, "0"},
                                     {24, "0"},
                                     {26, "0"},
                                     {22, "0"},
                                     {31, "0"},
                                     {41, "0"},
                                     {43, "0"},
                                     {11, "0"},
                                     {62, "1"}}) {
        SCOPED_TRACE(t.control);
        EXPECT_EQ(windows.WindowOf(t.control), 2);
        EXPECT_EQ(windows.Text(t.control), t.text);
    }
    struct State {
        int control, state;
    };
    for (const State& s : std::initializer_list<State>{{90, 0},
                                                       {1000, 0},
                                                       {100, 1},
                                                       {200, 0},
                                                       {61, 1},
                                                       {2000, 0},
                                                       {2001, 1},
                                                       {2002, 1},
                                                       {2003, 1},
                                                       {2004, 1},
                                                       {2005, 1},
                                                       {2006, 1},
                                                       {2007, 1}}) {
        SCOPED_TRACE(s.control);
        EXPECT_EQ(windows.State(s.control), s.state);
    }
    EXPECT_EQ(windows.RowText(90, 4), "1.Pause & 2.Pause");
    EXPECT_EQ(windows.RowText(1000, 5), "Gestrüp");
    EXPECT_EQ(windows.RowText(1000, 13), "1 €");
    EXPECT_EQ(windows.RowText(1000, 19), "Ziel");
    EXPECT_EQ(windows.RowText(1000, 20), "");
    // Files only, named without their last four characters, whatever those are.
    EXPECT_EQ(windows.RowText(52, 0), "Lift");
    EXPECT_EQ(windows.RowText(52, 1), "Schnell");
    EXPECT_EQ(windows.RowText(52, 2), "");
}

TEST_F(StartUp, LoadsPicturesAndBlendedSprites) {
    StartWithNewLevel();
    runtime::PlayScreen& screen = program_->Screen();
    for (int sprite : {0, 4, 10, 11, 5001, 5090, 100, 200, 1000, 1025, 2032, 3012, 4000, 4050}) {
        EXPECT_TRUE(screen.HasSprite(sprite)) << sprite;
    }
    EXPECT_EQ(screen.SpriteWidth(200), 46);
    // A blended sprite starts one pixel larger than its picture.
    EXPECT_EQ(screen.BlendedWidth(11), 41);
    EXPECT_EQ(screen.BlendedWidth(10), 59);
    EXPECT_EQ(screen.BlendedHeight(4090), 41);
}

TEST_F(StartUp, ReadsTheChosenLevelWithoutTheDialog) {
    level::Level saved;
    saved.levelWidth = 30;
    saved.levelHeight = 25;
    level::BuildFreshGrid(saved.elements, 30, 25);
    saved.viewX = 120.0f;
    saved.viewY = -340.0f;
    runtime::GameFolder folder(root_);
    runtime::Files files(folder);
    const std::string path = (root_ / "LEVEL" / "eins.TXT").string();
    ASSERT_EQ(level::WriteLevelFile(saved, files, path), level::SaveResult::Saved);

    requesters_.Answer(path);
    ASSERT_EQ(Start(), 0);
    EXPECT_TRUE(driver_.modalWindows.empty());
    const level::Level& level = program_->State().level;
    EXPECT_EQ(level.levelWidth, 30);
    EXPECT_EQ(level.startX, 120);
    EXPECT_EQ(level.viewY, -340.0f);
    EXPECT_EQ(level.elements.size(), 750u);
}

TEST_F(StartUp, EndsWithStatusThreeWhenTheDialogGetsNoInput) {
    EXPECT_EQ(Start(), 3);
    EXPECT_EQ(program_->AbortMessage(), "test driver");
}

TEST_F(StartUp, WithoutDisplayReportsErrorAndNonZeroStatus) {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                std::string(TESSARON_GAME_DIR) + "/tessaron' --dir '" +
                                root_.string() + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string output;
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        output += buffer;
    }
    const int status = pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_NE(output.find("Can't open DirectX 7 Or later"), std::string::npos) << output;
}

// --- modes and keys -------------------------------------------------------------------------

using Modes = ProgramTest;

TEST_F(Modes, TabSwitchesAndRestoresTheEditableLevel) {
    StartWithNewLevel();
    GameState& state = program_->State();
    state.level.score = 7;
    state.level.elements[0].kind = 5001.0f;  // a taken coin
    state.level.elements[1].kind = 1010.0f;  // a worn bush

    // Into the editor: the ball falls in play mode until the switch, so only the restore and
    // the window are checked here.
    ToEditor();
    EXPECT_EQ(MainWindowX(), 0);
    EXPECT_EQ(program_->Windows().Y(), 0);
    EXPECT_EQ(state.level.score, 0);
    EXPECT_EQ(state.level.elements[0].kind, 4001.0f);
    EXPECT_EQ(state.level.elements[1].kind, 1025.0f);

    // Back to play: nothing moves in the editor, so the view after the switch is the view
    // before it, far from any element that could push the ball.
    state.level.score = 7;
    state.level.elements[0].kind = 5090.0f;  // a taken goal
    state.level.viewX = 33.0f;
    state.level.viewY = -71.0f;
    Tap(Key::Tab);
    EXPECT_EQ(state.loop.mode, level::Mode::Play);
    EXPECT_EQ(MainWindowX(), -256);
    EXPECT_EQ(state.level.score, 0);
    EXPECT_EQ(state.level.elements[0].kind, 4090.0f);
    EXPECT_EQ(state.level.viewX, 33.0f);
    EXPECT_EQ(state.level.viewY, -71.0f);
}

TEST_F(Modes, HeldTabSwitchesOnceOnRelease) {
    StartWithNewLevel();
    program_->Keys().SetKey(Key::Tab, true);
    for (int i = 0; i < 20; ++i) {
        Pass();
    }
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Play);
    program_->Keys().SetKey(Key::Tab, false);
    Pass();
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Editor);
    Pass();
    Pass();
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Editor);
}

TEST_F(Modes, EditorArrowsScrollTenPixelsAndOppositeKeysCancel) {
    StartWithNewLevel();
    ToEditor();
    level::Level& level = program_->State().level;
    runtime::Keyboard& keys = program_->Keys();
    keys.SetKey(Key::Up, true);
    keys.SetKey(Key::Down, true);
    keys.SetKey(Key::Left, true);
    // The ball fell in play mode before the switch; the editor scrolls from where it stopped.
    const float startX = level.viewX;
    const float startY = level.viewY;
    Pass();
    Pass();
    EXPECT_EQ(level.viewY, startY);
    EXPECT_EQ(level.viewX, startX + 10.0f + 10.0f);
    keys.SetKey(Key::Up, false);
    keys.SetKey(Key::Left, false);
    keys.SetKey(Key::Right, true);
    Pass();
    EXPECT_EQ(level.viewY, startY - 10.0f);
    EXPECT_EQ(level.viewX, startX + 10.0f);
}

TEST_F(Modes, PlayModeDropsEvents) {
    StartWithNewLevel();
    const std::size_t modalRequests = driver_.modalWindows.size();
    runtime::Windows& windows = program_->Windows();
    windows.PressToolbarButton(1);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    windows.PressToolbarButton(2);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    // Neither the dialog nor the requester came up again.
    EXPECT_EQ(driver_.modalWindows.size(), modalRequests);
    EXPECT_EQ(requesters_.Requests().size(), 1u);
    // The editor's keys are not read in play mode: Up does not scroll, and the falling ball
    // (it cannot jump in mid-air) moves by gravity alone.
    GameState& state = program_->State();
    const float viewY = state.level.viewY;
    const float velocityY = state.player.velocityY - 0.6f;
    program_->Keys().SetKey(Key::Up, true);
    Pass();
    EXPECT_EQ(state.level.viewY, viewY + velocityY);
}

TEST_F(Modes, CloseRequestQuitsInEitherMode) {
    StartWithNewLevel();
    program_->Windows().Queue(Event{EventCode::Close, 0, 2});
    EXPECT_EQ(Pass(), PassOutcome::Quit);
    EXPECT_EQ(program_->ExitStatus(), 0);
    program_.reset();
    StartWithNewLevel();
    ToEditor();
    program_->Windows().Queue(Event{EventCode::Close, 0, 2});
    EXPECT_EQ(Pass(), PassOutcome::Quit);
    EXPECT_EQ(program_->ExitStatus(), 0);
}

TEST_F(Modes, TickWrapsAndTriggeredLinkResetsEveryPass) {
    StartWithNewLevel();
    program_->State().loop.tick = 3598;
    program_->State().level.triggeredLink = 4;
    Pass();
    EXPECT_EQ(program_->State().loop.tick, 3599);
    EXPECT_EQ(program_->State().level.triggeredLink, -1);
    Pass();
    EXPECT_EQ(program_->State().loop.tick, 0);
}

TEST_F(Modes, MouseIsReadInPlayScreenPixelsAndSidePanelClicksPaintNothing) {
    StartWithNewLevel();
    ToEditor();
    const level::ElementList before = program_->State().level.elements;
    program_->Windows().Use(2);
    program_->Windows().SetMousePosition(100, 300);
    program_->Windows().Queue(Event{EventCode::LeftButtonDown, 0, 2});
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    EXPECT_EQ(program_->State().loop.mouseX, -156);
    EXPECT_EQ(program_->State().loop.mouseY, 300);
    EXPECT_EQ(program_->State().level.elements, before);
}

// --- the editor's commands ------------------------------------------------------------------

using EditorCommands = ProgramTest;

TEST_F(EditorCommands, ToolbarSaveWritesTheLevelAndGoesOn) {
    StartWithNewLevel(20, 20);
    ToEditor();
    requesters_.Answer((root_ / "LEVEL" / "neu").string());
    program_->Windows().PressToolbarButton(3);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    const fs::path file = root_ / "LEVEL" / "neu.TXT";
    ASSERT_TRUE(fs::exists(file));
    EXPECT_EQ(fs::file_size(file), std::uintmax_t(level::level_file::FileLength(20, 20)));
    EXPECT_EQ(requesters_.Requests().back().title, "Spiel speichern");
}

TEST_F(EditorCommands, FailedSaveSaysSoNamingTheFile) {
    StartWithNewLevel();
    ToEditor();
    const std::string path = (root_ / "fehlt" / "neu").string();
    requesters_.Answer(path);
    program_->Windows().PressToolbarButton(3);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(Pass(), PassOutcome::Continue);
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("Error"), std::string::npos) << message;
    EXPECT_NE(message.find("Das Level konnte nicht gespeichert werden"), std::string::npos);
    EXPECT_NE(message.find(path + ".TXT"), std::string::npos) << message;
    EXPECT_EQ(program_->State().level.elements.size(), 400u);
}

TEST_F(EditorCommands, RequestersOfARelativeGameFolderOpenInItsFolders) {
    const fs::path previous = fs::current_path();
    fs::current_path(root_.parent_path());
    gameDir_ = root_.filename();
    AnswerNewLevel("20", "20");
    const int status = Start();
    // The game folder was resolved at start-up: the working directory no longer matters.
    fs::current_path(previous);
    ASSERT_EQ(status, 0);
    ToEditor();
    Tap(Key::F5);
    program_->Windows().Press(panel::kSavePresetButton);
    Pass();
    const auto& requests = requesters_.Requests();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].title, "Spiel laden");
    EXPECT_EQ(requests[0].initialPath, (root_ / "LEVEL" / "").string());
    EXPECT_EQ(requests[1].title, "Spiel speichern");
    EXPECT_EQ(requests[1].initialPath, (root_ / "LEVEL" / "").string());
    EXPECT_EQ(requests[2].title, "Werte speichern");
    EXPECT_EQ(requests[2].initialPath, (root_ / "LEVEL" / "Werte" / "").string());
}

TEST_F(EditorCommands, F5SavesAndF6LoadsWithARestart) {
    StartWithNewLevel(20, 20);
    ToEditor();
    const std::string path = (root_ / "LEVEL" / "taste.TXT").string();
    requesters_.Answer(path);
    EXPECT_EQ(Tap(Key::F5), PassOutcome::Continue);
    ASSERT_TRUE(fs::exists(path));

    program_->State().level.elements.clear();
    requesters_.Answer(path);
    EXPECT_EQ(Tap(Key::F6), PassOutcome::Restarted);
    EXPECT_EQ(program_->State().level.elements.size(), 400u);
    EXPECT_EQ(program_->State().loop.mode, level::Mode::Editor);
}

TEST_F(EditorCommands, CancelledLoadKeepsTheLevelWithoutTheDialog) {
    StartWithNewLevel(20, 30);
    const std::size_t modalRequests = driver_.modalWindows.size();
    ToEditor();
    EXPECT_EQ(Tap(Key::F6), PassOutcome::Restarted);
    program_->Windows().PressToolbarButton(2);
    EXPECT_EQ(Pass(), PassOutcome::Restarted);
    EXPECT_EQ(requesters_.Requests().size(), 3u);
    EXPECT_EQ(driver_.modalWindows.size(), modalRequests);
    EXPECT_EQ(program_->State().level.levelHeight, 30);
    EXPECT_EQ(program_->State().level.elements.size(), 600u);
}

TEST_F(EditorCommands, ToolbarNewLevelOpensTheDialogAndRestarts) {
    StartWithNewLevel(20, 20);
    ToEditor();
    program_->State().level.viewX = 55.0f;
    AnswerNewLevel("25", "30");
    program_->Windows().PressToolbarButton(1);
    EXPECT_EQ(Pass(), PassOutcome::Restarted);
    const GameState& state = program_->State();
    EXPECT_EQ(state.level.elements.size(), 750u);
    EXPECT_EQ(state.level.viewX, 55.0f);
    EXPECT_EQ(state.loop.mode, level::Mode::Editor);
    EXPECT_EQ(Pass(), PassOutcome::Continue);
}

TEST_F(EditorCommands, SidePanelIsReadIntoThePaintSettings) {
    StartWithNewLevel();
    ToEditor();
    runtime::Windows& windows = program_->Windows();
    windows.Select(panel::kElementList, 13);
    windows.Select(panel::kValueDisplay, 3);
    windows.TypeText(panel::kSpeedRight, "2");
    windows.TypeText(panel::kSpeedLeft, "5");
    windows.TypeText(panel::kSpeedUp, "4");
    windows.Press(panel::kApplyLength);
    windows.SetState(panel::kWater, 1);
    for (int i = 0; i < 10; ++i) {
        Pass();
    }
    const editor::PaintSettings& paint = program_->State().paint;
    EXPECT_EQ(paint.kindChoice, 4001);
    EXPECT_EQ(paint.valueDisplayChoice, 3);
    EXPECT_EQ(paint.speedXValue, -3);
    EXPECT_EQ(paint.speedYValue, -4);
    EXPECT_EQ(paint.applyLength, 0);
    EXPECT_EQ(paint.applySpeed, 1);
    EXPECT_EQ(paint.backgroundChoice, 200);
    EXPECT_EQ(paint.brushSize, 1);
}

// --- observers and the driver ---------------------------------------------------------------

using Observers = ProgramTest;

TEST_F(Observers, HearEveryPassEventSnapshotAndAnswer) {
    StartWithNewLevel();
    ASSERT_EQ(observer_.answers, std::vector<std::string>{""});
    const std::size_t eventsAtStart = observer_.events.size();
    EXPECT_GE(eventsAtStart, 3u);  // the dialog's field changes and its button

    ToEditor();
    AnswerNewLevel("20", "20");
    program_->Windows().PressToolbarButton(1);
    EXPECT_EQ(Pass(), PassOutcome::Restarted);
    // Two passes of Tab and the restarted one; the restarted pass took no snapshot.
    EXPECT_EQ(observer_.passEnds, (std::vector<std::int64_t>{1, 2, 3}));
    EXPECT_EQ(observer_.snapshots, 2);
    EXPECT_GT(observer_.events.size(), eventsAtStart + 3);
}

TEST_F(Observers, DriverErrorAbortsThePass) {
    StartWithNewLevel();
    driver_.pollStatus = InputDriver::Status::ScriptError;
    EXPECT_EQ(Pass(), PassOutcome::Aborted);
    EXPECT_EQ(program_->ExitStatus(), 2);
    EXPECT_EQ(program_->AbortMessage(), "test driver");
}

}  // namespace
}  // namespace tessaron::app::testing
