// The program object, one pass of the main loop with its stages, the mode switch, and the paced
// interactive loop.
#include "app/program.h"

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "app/new_level_dialog.h"
#include "app/pause_menu.h"
#include "app/program_internal.h"
#include "app/save_question.h"
#include "app/side_panel.h"
#include "editor/brush_preview.h"
#include "editor/controls.h"
#include "editor/map_tools.h"
#include "editor/painting.h"
#include "editor/panel_commands.h"
#include "game/simulation.h"
#include "level/level_file.h"
#include "play/pass.h"
#include "render/render.h"

namespace tessaron::app {

using runtime::EventCode;
using runtime::Key;

namespace {

constexpr float kScrollStep = 10.0f;
// With Shift held the arrows scroll four times as far.
constexpr float kFastScrollStep = 4.0f * kScrollStep;
// In the editor, a mouse this far right over the play screen takes the keyboard back to the
// main window.
constexpr std::int32_t kActivateMouseX = 768;
// Interactive play: passes start on a steady schedule of this many a second.
constexpr std::int64_t kPassesPerSecond = 60;
constexpr std::chrono::nanoseconds kPassPeriod{1'000'000'000 / kPassesPerSecond};
// A loop further behind its schedule than this many passes (a modal window, a stalled machine)
// starts a new schedule instead of running the missed passes in a burst.
constexpr std::int64_t kMostPassesBehind = 3;

int ExitStatusFor(InputDriver::Status status) {
    return status == InputDriver::Status::NoActionLeft ? 3 : 2;
}

// What the drawing stage reads besides the level.
render::FrameInputs FrameInputsOf(const GameState& state) {
    render::FrameInputs inputs = play::FrameInputsOf(state);
    inputs.kindChoice = state.paint.kindChoice;
    inputs.valueDisplayChoice = state.paint.valueDisplayChoice;
    if (state.loop.mode == level::Mode::Editor) {
        inputs.startMarker = level::LevelStart(state.level);
    }
    return inputs;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Requesters whose answers the observers hear

std::string ObservedRequesters::OpenFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Tell(inner_.OpenFile(title, initialPath, pattern));
}

std::string ObservedRequesters::SaveFile(std::string_view title, std::string_view initialPath,
                                         std::string_view pattern) {
    return Tell(inner_.SaveFile(title, initialPath, pattern));
}

int ObservedRequesters::Ask(std::string_view title, std::string_view question,
                            const std::vector<std::string>& buttons) {
    const int answer = inner_.Ask(title, question, buttons);
    const bool chosen = answer >= 0 && answer < static_cast<int>(buttons.size());
    for (RunObserver* observer : observers_) {
        observer->OnQuestionAnswer(chosen ? buttons[static_cast<std::size_t>(answer)] : "");
    }
    return answer;
}

std::string ObservedRequesters::Tell(std::string answer) {
    for (RunObserver* observer : observers_) {
        observer->OnRequesterAnswer(answer);
    }
    return answer;
}

// ---------------------------------------------------------------------------------------------
// The program's state

Program::Impl::Impl(const Options& givenOptions, ProgramHooks givenHooks)
    : options(givenOptions),
      hooks(std::move(givenHooks)),
      random(givenOptions.seed ? *givenOptions.seed : runtime::SeedFromClock()) {
    UseFolders(ProgramFolder(nullptr));
}

Program::Program(const Options& options, ProgramHooks hooks)
    : impl_(std::make_unique<Impl>(options, std::move(hooks))) {}

Program::~Program() {
    impl_->Shutdown();
}

void Program::Impl::Shutdown() {
    if (ended) {
        return;
    }
    ended = true;
    // Everything that uses the machine layer goes before the layer itself.
    reach.reset();
    requesters.reset();
    ownRequesters.reset();
    sound.reset();
    keys.reset();
    screen.reset();
    windows.reset();
    if (machine) {
        machine->End();
    }
}

void Program::End() {
    impl_->Shutdown();
}

std::int64_t Program::PassCount() const {
    return impl_->passCount;
}
DataFolderReport Program::PrepareDataFolder() {
    return app::PrepareDataFolder(impl_->folders);
}

std::vector<std::string> Program::ReachLines() const {
    return impl_->reach != nullptr ? impl_->reach->Lines() : std::vector<std::string>{};
}

void Program::WaitForSearch() {
    if (impl_->reach != nullptr) {
        impl_->reach->Wait(impl_->state.level);
    }
}
const game::PassEvents& Program::Events() const {
    return impl_->passEvents;
}
int Program::ExitStatus() const {
    return impl_->exitStatus;
}
const std::string& Program::AbortMessage() const {
    return impl_->abortMessage;
}
GameState& Program::State() {
    return impl_->state;
}
runtime::Machine& Program::Machine() {
    return *impl_->machine;
}
runtime::Windows& Program::Windows() {
    return *impl_->windows;
}
runtime::PlayScreen& Program::Screen() {
    return *impl_->screen;
}
runtime::Keyboard& Program::Keys() {
    return *impl_->keys;
}
runtime::Sound& Program::Sounds() {
    return *impl_->sound;
}
runtime::Random& Program::RandomNumbers() {
    return impl_->random;
}
const runtime::CollisionMasks& Program::Masks() const {
    return impl_->masks;
}
const runtime::GameFolder& Program::Folder() const {
    return *impl_->folder;
}

// ---------------------------------------------------------------------------------------------
// Events and the end of a run

void Program::Impl::TellEvent(const runtime::Event& event) {
    for (RunObserver* observer : hooks.observers) {
        observer->OnEvent(passCount, event);
    }
}

bool Program::Impl::StopRequested() {
    if (!machine || machine->StopSignal() == 0) {
        return false;
    }
    // The shell's way of saying that a signal ended the program.
    exitStatus = 128 + machine->StopSignal();
    abortMessage.clear();
    return true;
}

Flow Program::Impl::AbortWith(InputDriver::Status status, std::string message) {
    exitStatus = ExitStatusFor(status);
    abortMessage = std::move(message);
    return Flow::Abort;
}

std::optional<runtime::Event> Program::Impl::ModalEvent(std::string_view window) {
    runtime::Event event;
    if (hooks.driver != nullptr) {
        // Events still queued (an action may give several) are taken first; only when none is
        // left would the window wait, and then the driver's next action brings the input.
        event = windows->Poll();
        if (event.code == EventCode::None) {
            const InputDriver::Status status = hooks.driver->BeforeModalEvent(window);
            if (status != InputDriver::Status::Ok) {
                AbortWith(status, hooks.driver->Message());
                return std::nullopt;
            }
            event = windows->Poll();
        }
    } else if (options.headless) {
        // Nobody can answer a window that nobody sees: the run ends instead of waiting for ever.
        AbortWith(InputDriver::Status::NoActionLeft,
                  "no input for the window \"" + std::string(window) + "\"");
        return std::nullopt;
    } else {
        event = windows->Wait();
        if (StopRequested()) {
            return std::nullopt;
        }
    }
    if (event.code != EventCode::None) {
        TellEvent(event);
    }
    return event;
}

bool Program::Impl::Interactive() const {
    return hooks.driver == nullptr && machine != nullptr && !machine->Headless();
}

void Program::Impl::AnswerPassSounds() {
    if (soundedPass == passCount) {
        return;
    }
    soundedPass = passCount;
    if (Interactive()) {
        soundDesk.AfterPass(*sound, passEvents, state.loop.mode, passCount);
    }
}

PassOutcome Program::Impl::EndPass(Flow flow) {
    // A run stopped by a signal ends its pass as "BEENDEN" does, with the signal's status.
    const bool stopped = flow == Flow::Abort && machine && machine->StopSignal() != 0;
    if (flow == Flow::Abort && !stopped) {
        return PassOutcome::Aborted;
    }
    AnswerPassSounds();
    // Whatever the pass did (a paint, an undo, a mode switch, a level read or a save point
    // restored), the buttons say from now on what the next pass can do.
    ShowHistoryButtons();
    for (RunObserver* observer : hooks.observers) {
        observer->OnPassEnd(passCount, state);
    }
    if (stopped) {
        return PassOutcome::Quit;
    }
    switch (flow) {
        case Flow::Restart:
            return PassOutcome::Restarted;
        case Flow::Quit:
            exitStatus = 0;
            return PassOutcome::Quit;
        default:
            return PassOutcome::Continue;
    }
}

// ---------------------------------------------------------------------------------------------
// Commands

void Program::Impl::ShowHistoryButtons(bool modalOpen) {
    const bool editing = !modalOpen && state.loop.mode == level::Mode::Editor;
    windows->EnableToolbarButton(panel::kUndoButton, editing && state.history.CanUndo(state.level));
    windows->EnableToolbarButton(panel::kRedoButton, editing && state.history.CanRedo(state.level));
}

Flow Program::Impl::NewLevelCommand() {
    EndGesture();
    ResetNavigation();
    ShowHistoryButtons(true);
    // With a level loaded, the dialog may be closed and the level stays as it is.
    const NewLevelResult result = RunNewLevelDialog(
        state.level, *windows, [this] { return ModalEvent(new_level_dialog::kTitle); },
        levelInMemory ? NewLevelExit::MayClose : NewLevelExit::CreateOnly);
    windows->Use(panel::kMainWindow);
    if (result == NewLevelResult::Abandoned) {
        return Flow::Abort;
    }
    if (result == NewLevelResult::Created) {
        levelInMemory = true;
        levelStartPass = passCount;
        state.history.MarkSaved(state.level);
    }
    return Flow::Restart;
}

Flow Program::Impl::LoadLevelCommand() {
    EndGesture();
    ResetNavigation();
    const level::LoadResult result = level::LoadLevel(state.level, *files, *requesters, *folder);
    if (result == level::LoadResult::Loaded) {
        levelInMemory = true;
        levelStartPass = passCount;
        state.history.MarkSaved(state.level);
        return Flow::Restart;
    }
    // A cancelled or unreadable load keeps the level in memory; only without one (at start)
    // must a new level be made.
    if (!levelInMemory) {
        return NewLevelCommand();
    }
    return Flow::Restart;
}

level::SaveResult Program::Impl::SaveLevelCommand() {
    EndGesture();
    std::string problem;
    const level::SaveResult result =
        level::SaveLevel(state.level, *files, *requesters, *folder, &problem);
    if (result == level::SaveResult::Saved) {
        state.history.MarkSaved(state.level);
    }
    if (result == level::SaveResult::Failed) {
        windows->MessageBox("Error", "Das Level konnte nicht gespeichert werden:\n" +
                                         state.level.levelFileName + "\n" + problem);
        windows->Use(panel::kMainWindow);
    }
    return result;
}

bool Program::Impl::MayLeaveLevel() {
    EndGesture();
    if (!state.history.Unsaved()) {
        return true;
    }
    ShowHistoryButtons(true);
    const std::vector<std::string> answers(save_question::kAnswers.begin(),
                                           save_question::kAnswers.end());
    const int answer = requesters->Ask(save_question::kTitle, save_question::kText, answers);
    windows->Use(panel::kMainWindow);
    switch (answer) {
        case save_question::kSave:
            return SaveLevelCommand() == level::SaveResult::Saved;
        case save_question::kCancel:
            return false;
        default:
            // "Verwerfen", or nobody to answer (a script that gives no reply).
            return true;
    }
}

Flow Program::Impl::QuitCommand() {
    return MayLeaveLevel() ? Flow::Quit : Flow::Continue;
}

void Program::Impl::EndGesture() {
    state.tools.Finish(state.level, state.paint, state.history);
}

void Program::Impl::MapCommand(int command) {
    EndGesture();
    editor::MapTools& tools = state.tools;
    switch (command) {
        case editor::map_command::kCopy:
            tools.Copy(state.level);
            break;
        case editor::map_command::kCut:
            tools.Cut(state.level, state.history);
            break;
        case editor::map_command::kDelete:
            tools.Delete(state.level, state.history);
            break;
        case editor::map_command::kPaste:
            tools.Paste(state.level, state.history,
                        editor::BrushCellAt(state.loop.mouseX, state.loop.mouseY, state.level.viewX,
                                            state.level.viewY));
            break;
        default:
            break;
    }
}

void Program::Impl::PickCommand() {
    const editor::BrushCell cell = editor::BrushCellAt(state.loop.mouseX, state.loop.mouseY,
                                                       state.level.viewX, state.level.viewY);
    std::vector<std::int32_t> found;
    editor::ElementsInCells(state.level,
                            editor::CellRect{cell.column, cell.row, cell.column, cell.row}, found);
    if (!found.empty()) {
        editor::PickCommand(*windows,
                            state.level.elements[static_cast<std::size_t>(found.front())]);
    }
}

game::Services Program::Impl::GameServices() {
    game::Services services{masks, *sound, *savePoints, random, state.schedule};
    services.savePointNotStored = [this](const std::string& reason) { savePointProblem = reason; };
    services.events = &passEvents;
    return services;
}

void Program::Impl::ReportSavePoint() {
    if (savePointProblem.empty()) {
        return;
    }
    windows->MessageBox("Error", "Der Speicherpunkt konnte nicht gespeichert werden:\n" +
                                     folder->Resolve(game::kSavePointFile).string() + "\n" +
                                     savePointProblem);
    windows->Use(panel::kMainWindow);
    savePointProblem.clear();
}

void Program::Impl::SwitchMode() {
    EndGesture();
    windows->Use(panel::kMainWindow);
    if (reach != nullptr) {
        reach->EndGhost(state.level);
    }
    if (state.loop.mode == level::Mode::Play) {
        state.loop.mode = level::Mode::Editor;
        windows->ShowControls(true);
    } else {
        state.loop.mode = level::Mode::Play;
        windows->ShowControls(false);
    }
    level::RestoreEditState(state.level);
    levelStartPass = passCount;
    AfterModeSwitch();
}

Flow Program::Impl::PauseMenu() {
    EndGesture();
    ShowHistoryButtons(true);
    const PauseChoice choice =
        RunPauseMenu(*windows, *screen, [this] { return ModalEvent(pause_menu::kTitle); });
    windows->Use(panel::kMainWindow);
    if (choice != PauseChoice::Abandoned && Interactive()) {
        soundDesk.Click(*sound);
    }
    switch (choice) {
        case PauseChoice::Continue:
            return Flow::Continue;
        case PauseChoice::LastSavePoint:
            // Without a readable save point the game goes on as it was.
            savePoints->Restore(state.level, state.player);
            return Flow::Continue;
        case PauseChoice::SwitchMode:
            SwitchMode();
            return Flow::Continue;
        case PauseChoice::Quit:
            return QuitCommand();
        case PauseChoice::Abandoned:
            return Flow::Abort;
    }
    return Flow::Continue;
}

// ---------------------------------------------------------------------------------------------
// Stages of the pass

Flow Program::Impl::EditorStage(const runtime::Event& event) {
    if (event.code == EventCode::Toolbar) {
        EndGesture();
        // What the overview shows may change; the author goes back to the map.
        CloseOverview();
        switch (event.number) {
            case panel::kNewLevelButton:
                // A level with unsaved edits is given up only once the author has answered.
                return MayLeaveLevel() ? NewLevelCommand() : Flow::Restart;
            case panel::kLoadButton:
                return MayLeaveLevel() ? LoadLevelCommand() : Flow::Restart;
            case panel::kSaveButton:
                SaveLevelCommand();
                break;
            case panel::kUndoButton:
                state.history.Undo(state.level);
                break;
            case panel::kRedoButton:
                state.history.Redo(state.level);
                break;
            default:
                break;
        }
    }
    if (event.code == EventCode::Control) {
        editor::RunControlCommand(event.number, *windows,
                                  editor::PresetServices{*files, *listing, *requesters, *folder});
        windows->Use(panel::kMainWindow);
    }
    if (event.code == EventCode::Close) {
        if (const Flow flow = QuitCommand(); flow != Flow::Continue) {
            return flow;
        }
    }
    editor::ReadSidePanel(*windows, state.paint);
    return Flow::Continue;
}

Flow Program::Impl::KeyboardStage(game::PlayerKeys& held) {
    level::Level& level = state.level;
    runtime::Keyboard& keyboard = *keys;

    keyboard.Snapshot();
    for (RunObserver* observer : hooks.observers) {
        observer->OnKeyboardSnapshot(passCount, keyboard);
    }

    // The mode is read afresh at each step: a switch by Tab counts for the steps after it.
    if (state.loop.mode == level::Mode::Editor) {
        // Each key on its own, so that opposite keys cancel.
        const float step = keyboard.Held(Key::Shift) ? kFastScrollStep : kScrollStep;
        if (keyboard.Held(Key::Up)) {
            level.viewY = level.viewY + step;
        }
        if (keyboard.Held(Key::Down)) {
            level.viewY = level.viewY - step;
        }
        if (keyboard.Held(Key::Left)) {
            level.viewX = level.viewX + step;
        }
        if (keyboard.Held(Key::Right)) {
            level.viewX = level.viewX - step;
        }
        if (state.loop.mouseX >= kActivateMouseX) {
            windows->Use(panel::kMainWindow);
            windows->Activate();
        }
    }

    if (keyboard.Released(Key::Tab)) {
        SwitchMode();
    }

    if (keyboard.Released(Key::F11)) {
        windows->Use(panel::kMainWindow);
        windows->SetFullScreen(!windows->FullScreen());
    }

    // An open overview takes Escape for itself; in the editor, Escape then drops the selection;
    // only then does it pause.
    if (keyboard.Released(Key::Escape) && !CloseOverview()) {
        if (state.loop.mode == level::Mode::Editor && state.tools.HasSelection(level)) {
            state.tools.DropSelection();
        } else if (const Flow flow = PauseMenu(); flow != Flow::Continue) {
            return flow;
        }
    }

    if (state.loop.mode == level::Mode::Editor) {
        if (keyboard.Released(Key::F5)) {
            SaveLevelCommand();
        }
        if (keyboard.Released(Key::F6) && MayLeaveLevel()) {
            return LoadLevelCommand();
        }
    }
    if (state.loop.mode == level::Mode::Editor) {
        if (keyboard.Released(Key::R)) {
            if (reach == nullptr) {
                reach = std::make_unique<ReachLayer>(masks, !options.headless);
            }
            reach->Toggle(level);
        }
    }
    if (state.loop.mode == level::Mode::Editor) {
        if (keyboard.Released(Key::G) && reach != nullptr) {
            reach->ShowRun(level);
        }
    }

    // The sound setting, in play mode only: in the editor the letter belongs to the text fields.
    if (state.loop.mode == level::Mode::Play && keyboard.Released(Key::M) && Interactive()) {
        soundDesk.Cycle(*sound, passCount);
    }

    NavigationKeys(keyboard);

    held.up = keyboard.Held(Key::Up);
    held.left = keyboard.Held(Key::Left);
    held.right = keyboard.Held(Key::Right);
    return Flow::Continue;
}

void Program::Impl::DrawingStage() {
    const bool layer = reach != nullptr && state.loop.mode == level::Mode::Editor;
    if (layer) {
        reach->Follow(state.level, passCount, keys->AnyPressed());
    }
    const render::FrameInputs inputs = FrameInputsOf(state);
    if (!drawing) {
        render::AdvanceWithoutDrawing(state.level, inputs, state.render, random);
        return;
    }
    if (state.navigation.overviewOpen) {
        DrawOverviewFrame(inputs);
        return;
    }
    render::DrawMap(state.level, inputs, state.render, *screen, random);
    render::DrawOverlays(state.level, inputs, *screen);
    // The sound setting just chosen, for a moment; never in scripted runs, whose frames stay as
    // they are.
    if (state.loop.mode == level::Mode::Play && Interactive()) {
        if (const std::string notice = soundDesk.Notice(passCount); !notice.empty()) {
            render::DrawScoreLineNotice(state.level, notice, *screen);
        }
    }
    if (state.loop.mode == level::Mode::Editor) {
        editor::DrawMapPreview(state.tools, state.level, state.paint, state.loop.mouseX,
                               state.loop.mouseY, *screen);
    }
    if (layer) {
        reach->Draw(state.level, *screen);
    }
}

void Program::Impl::MouseStage(const runtime::Event& event) {
    windows->Use(panel::kMainWindow);
    state.loop.mouseX = windows->MouseX() - panel::kSidePanelWidth;
    state.loop.mouseY = windows->MouseY();
    state.leftButtonHeld = windows->LeftButtonHeld();
    if (NavigationMouse(event)) {
        return;
    }
    // A press over the side panel (mouse x below 0) never paints or picks.
    const bool overMap = state.loop.mouseX >= 0;
    editor::MouseInput input;
    input.x = state.loop.mouseX;
    input.y = state.loop.mouseY;
    input.leftPressed = event.code == EventCode::LeftButtonDown && overMap;
    input.shift = input.leftPressed && (event.number & runtime::kShiftHeld) != 0;
    input.control = input.leftPressed && (event.number & runtime::kControlHeld) != 0;
    input.leftHeld = state.leftButtonHeld;
    state.tools.Pass(state.level, state.paint, state.history, input);
    if (event.code == EventCode::RightButtonDown && overMap) {
        PickCommand();
    }
    // The map's command keys act here, with the mouse as this pass reads it, as a click does.
    if (event.code == EventCode::Command) {
        MapCommand(event.number);
    }
}

// The program's stages of a pass, around the game's own.
class Program::Impl::PassStages final : public play::Stages {
  public:
    PassStages(Impl& program, const runtime::Event& event) : d_(program), event_(event) {}

    Flow EditorCommands() override { return d_.EditorStage(event_); }
    // Play goes on after the box.
    void AfterFirstStage() override { d_.ReportSavePoint(); }
    Flow Keyboard(game::PlayerKeys& keys) override { return d_.KeyboardStage(keys); }
    void BeginFrame() override {
        // What the previous pass drew becomes visible; this pass draws the next frame.
        d_.drawing = d_.FrameWanted(d_.passCount);
        if (d_.drawing) {
            d_.screen->Show();
            d_.screen->Clear(runtime::Rgb{0, 0, 0});
            d_.screen->BeginScene();
        }
    }
    void Draw() override { d_.DrawingStage(); }
    void EditorMouse() override { d_.MouseStage(event_); }

  private:
    Impl& d_;
    const runtime::Event& event_;
};

PassOutcome Program::RunPass() {
    Impl& d = *impl_;
    const std::int64_t pass = ++d.passCount;
    d.passEvents.Clear();

    if (d.hooks.driver != nullptr) {
        const InputDriver::Status status = d.hooks.driver->BeforePoll(pass);
        if (status != InputDriver::Status::Ok) {
            d.AbortWith(status, d.hooks.driver->Message());
            return PassOutcome::Aborted;
        }
    }

    // One event per pass; repaint requests do not count.
    d.windows->Use(panel::kMainWindow);
    runtime::Event event = d.windows->Poll();
    while (event.code == EventCode::Repaint) {
        event = d.windows->Poll();
    }
    d.state.passEvent = event;
    if (event.code != EventCode::None) {
        d.TellEvent(event);
    }

    // In play mode the event is dropped, but for a close request, which quits as in the editor.
    if (d.state.loop.mode == level::Mode::Play && event.code == EventCode::Close) {
        if (const Flow flow = d.QuitCommand(); flow != Flow::Continue) {
            return d.EndPass(flow);
        }
    }
    Impl::PassStages stages(d, event);
    Flow flow = play::RunPass(d.state, d.GameServices(), stages);
    if (flow == Flow::Continue) {
        flow = d.GoalStage();
    }
    return d.EndPass(flow);
}

int Program::RunLoop() {
    using Clock = std::chrono::steady_clock;
    Impl& d = *impl_;
    // When the next pass is due. Each deadline follows the previous one by a period, so that
    // the time a pass takes never adds up into a drift.
    Clock::time_point due = Clock::now();
    for (;;) {
        if (d.StopRequested()) {
            End();
            return d.exitStatus;
        }
        if (!d.options.headless) {
            const Clock::time_point now = Clock::now();
            if (now - due > kMostPassesBehind * kPassPeriod) {
                due = now;
            } else {
                std::this_thread::sleep_until(due);
            }
            due += kPassPeriod;
        }

        const PassOutcome outcome = RunPass();
        if (outcome == PassOutcome::Quit || outcome == PassOutcome::Aborted) {
            End();
            return d.exitStatus;
        }
        if (d.options.passes > 0 && d.passCount >= d.options.passes) {
            End();
            return 0;
        }
    }
}

}  // namespace tessaron::app
