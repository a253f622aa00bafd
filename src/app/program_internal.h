// The program's private state, shared by the files that implement Program (start-up, the pass,
// the loop). Not part of the program's interface.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/automation.h"
#include "app/game_folders.h"
#include "app/options.h"
#include "app/program.h"
#include "app/reach_layer.h"
#include "app/sound_effects.h"
#include "app/state.h"
#include "editor/painting.h"
#include "game/simulation.h"
#include "level/level_file.h"
#include "play/pass.h"
#include "runtime/collision_masks.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "runtime/requesters.h"
#include "runtime/screen.h"

namespace tessaron::app {

using runtime::ProgramFolder;

// Passes every requester answer on to the run's observers.
class ObservedRequesters : public runtime::Requesters {
  public:
    ObservedRequesters(runtime::Requesters& inner, const std::vector<RunObserver*>& observers)
        : inner_(inner), observers_(observers) {}
    std::string OpenFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    std::string SaveFile(std::string_view title, std::string_view initialPath,
                         std::string_view pattern) override;
    int Ask(std::string_view title, std::string_view question,
            const std::vector<std::string>& buttons) override;

  private:
    std::string Tell(std::string answer);
    runtime::Requesters& inner_;
    const std::vector<RunObserver*>& observers_;
};

using play::Flow;

struct Program::Impl {
    Impl(const Options& options, ProgramHooks hooks);

    Options options;
    ProgramHooks hooks;

    // Where levels, saves, pictures and sound are, and the game folder made from that. The
    // game folder outlives the machine layer, which keeps a reference to it.
    FolderChoice folders;
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::Windows> windows;
    std::unique_ptr<runtime::PlayScreen> screen;
    std::unique_ptr<runtime::Keyboard> keys;
    std::unique_ptr<runtime::Sound> sound;
    std::unique_ptr<runtime::Files> files;
    std::unique_ptr<runtime::DirectoryListing> listing;
    runtime::Random random;
    // The pictures' collision masks, made once as the pictures are loaded.
    runtime::CollisionMasks masks;
    // The editor's reach layer, made when first turned on.
    std::unique_ptr<ReachLayer> reach;
    // The requesters the program made itself, when the hooks bring none.
    std::unique_ptr<runtime::Requesters> ownRequesters;
    std::unique_ptr<ObservedRequesters> requesters;
    // The save point: the hooks' store, else the game folder's file.
    std::unique_ptr<game::SavePointFile> savePointFile;
    game::SavePointStore* savePoints = nullptr;

    GameState state;
    std::int64_t passCount = 0;
    int exitStatus = 0;
    std::string abortMessage;
    // False until the first level has been read or created: only then may a failed load lead
    // into the new-level dialog.
    bool levelInMemory = false;
    // Why the save point of a disk taken in this pass could not be stored; empty when it was.
    std::string savePointProblem;
    // What the player could notice in this pass (cleared when a pass starts).
    game::PassEvents passEvents;
    // The pass in which the level was last read or made, or play began: the goal screen's time
    // counts the passes since.
    std::int64_t levelStartPass = 0;
    // The effects and music that answer the player, in interactive runs, and the last pass
    // they answered.
    sounds::Desk soundDesk;
    std::int64_t soundedPass = 0;
    bool started = false;
    bool ended = false;
    // This pass draws its frame (set where the frame begins).
    bool drawing = false;

    // Start-up (startup.cpp).
    // Chooses the folders for the program at programFolder and opens files and listings there.
    void UseFolders(const std::filesystem::path& programFolder);
    int StartMachine(int& argc, char** argv);
    // Loads the pictures; each that cannot be loaded is noted in unloaded.
    void LoadPictures(std::vector<std::string>& unloaded);
    // Notes a picture or sound that could not be loaded, with why, once per file.
    void NoteUnloaded(std::vector<std::string>& unloaded, std::string_view path,
                      const std::string& problem) const;
    int Fail(std::string_view text, bool boxPossible);

    // A run a player plays and hears: no script drives it and it has a display.
    bool Interactive() const;

    // Stages of the pass (program.cpp), which PassStages hands to the game's pass.
    class PassStages;
    Flow EditorStage(const runtime::Event& event);
    // The keyboard's commands; the ball's keys go to `held`.
    Flow KeyboardStage(game::PlayerKeys& held);
    void DrawingStage();
    void MouseStage(const runtime::Event& event);
    // Whether pass `pass` draws its frame (kept_frames.cpp).
    bool FrameWanted(std::int64_t pass) const;
    Flow LoadLevelCommand();
    Flow NewLevelCommand();
    level::SaveResult SaveLevelCommand();
    // The map's commands (copy, cut, paste, delete) and the picker, at the cell under the mouse.
    void MapCommand(int command);
    void PickCommand();
    // A stroke or rectangle under way becomes its step before anything else changes the level.
    void EndGesture();
    // Whether the level in memory may be given up: at once without unsaved edits; else as the
    // author answers "Änderungen speichern?" (a save that does not happen keeps the level).
    bool MayLeaveLevel();
    // Quitting (a close request, "BEENDEN") once the level may be left.
    Flow QuitCommand();
    Flow PauseMenu();
    void SwitchMode();

    // The goal screen (goal.cpp), after a play pass in which the ball took a goal.
    Flow GoalStage();
    // The level file after this one in its folder, by name; empty after the last.
    std::string NextLevelFile();
    // Whether the level in memory, in its editable state, is what its file holds.
    bool LevelIsAsItsFile();
    // Reads a level file afresh and starts it as the game's start does: the ball at rest at the
    // file's start offset. A file that cannot be read keeps the level as it was, with a message.
    Flow StartLevelFile(const std::string& path);
    // The simulation's machine services; a save point that cannot be stored is remembered.
    game::Services GameServices();
    // Shows the "Error" box for a save point that could not be stored, once.
    void ReportSavePoint();
    // Greys "Rückgängig" and "Wiederholen" (and so their keys) unless the editor is on and has
    // a step to undo or redo; `modalOpen` greys both while a window waits for its answer.
    void ShowHistoryButtons(bool modalOpen = false);

    // Finding one's way in the editor (navigation.cpp): the overview, the start, play from a
    // cell, the wheel and the middle button's drag.
    void NavigationKeys(runtime::Keyboard& keyboard);
    // True when the event was the overview's (a click in it never paints).
    bool NavigationMouse(const runtime::Event& event);
    void DrawOverviewFrame(const render::FrameInputs& inputs);
    // Closes the overview; true when it was open.
    bool CloseOverview();
    // The level was replaced: no overview, no drag, no test from a cell to come back from.
    void ResetNavigation();
    // After each mode switch: the overview and a drag end, and a test from a cell gives the
    // editor back its view.
    void AfterModeSwitch();
    // Play starts with the ball on the cell; the file's start stays as it is.
    void PlayFromHere(const editor::BrushCell& cell);

    // The next event for a modal window: from the driver's next action in scripted runs, else
    // by waiting. Empty when the run must end (the driver says so, or no input can come).
    std::optional<runtime::Event> ModalEvent(std::string_view window);
    Flow AbortWith(InputDriver::Status status, std::string message);
    // Whether a stop signal came (an interactive run): the exit status is then 128 + signal.
    bool StopRequested();
    void TellEvent(const runtime::Event& event);
    // The sounds of this pass's events, once per pass: as it ends, or before the goal screen.
    void AnswerPassSounds();
    PassOutcome EndPass(Flow flow);
    void Shutdown();
};

}  // namespace tessaron::app
