// The program: start-up, one pass of the main loop, the mode switch, the pause menu and quitting.
// A pass takes its input from the machine layer (and an optional input driver) and its pacing
// from outside, so that the interactive loop, scripted runs and tests drive passes one at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/automation.h"
#include "app/game_folders.h"
#include "app/options.h"
#include "app/state.h"
#include "game/save_points.h"
#include "game/simulation.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "runtime/requesters.h"
#include "runtime/screen.h"

namespace tessaron::app {

// What the caller of a pass learns from it.
enum class PassOutcome {
    Continue,   // the pass ran to its end
    Restarted,  // a load or a new level ended the pass early; the next pass starts afresh
    Quit,       // the program ends with exit status 0 (close request, "BEENDEN")
    Aborted,    // the input driver ended the run: ExitStatus() and AbortMessage() say why
};

struct ProgramHooks {
    // Feeds the run with actions (scripted runs); null in an interactive run.
    InputDriver* driver = nullptr;
    // Watch the run (trace, recording).
    std::vector<RunObserver*> observers;
    // Answers the file requesters; null means the toolkit's dialogs.
    runtime::Requesters* requesters = nullptr;
    // Keeps the save point; null means the save-point file of the game folder.
    game::SavePointStore* savePoints = nullptr;
};

class Program {
  public:
    Program(const Options& options, ProgramHooks hooks);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Everything from the program's start to the first pass: the machine layer's checks (an
    // "Error" box and a non-zero status on failure), the main window with its toolbar and side
    // panel, the play screen, pictures, sound and font, the start values, the first level.
    // 0 when the main loop may start, else the exit status.
    int StartUp(int& argc, char** argv);
    // Makes an installed copy's data folder ready, as start-up does, for those that read its
    // levels before starting up.
    DataFolderReport PrepareDataFolder();

    // One pass of the main loop, without its pacing.
    PassOutcome RunPass();
    // Passes run so far (the number of the pass that RunPass runs next, minus one).
    std::int64_t PassCount() const;
    // What the player could notice in the last pass: pickups, the goal, jumps, being sent back.
    const game::PassEvents& Events() const;

    // Waits until the editor's reach search has ended (nothing when the layer is off).
    void WaitForSearch();
    // The lines the editor's reach layer shows; none while it is off.
    std::vector<std::string> ReachLines() const;

    // The main loop until the program ends (or, with Options::passes, until that many passes
    // have run). An interactive run starts 60 passes a second on a steady schedule, whatever
    // the level's size; a headless run is not paced. The exit status.
    int RunLoop();

    int ExitStatus() const;
    const std::string& AbortMessage() const;

    GameState& State();
    runtime::Machine& Machine();
    runtime::Windows& Windows();
    runtime::PlayScreen& Screen();
    runtime::Keyboard& Keys();
    runtime::Sound& Sounds();
    runtime::Random& RandomNumbers();
    // The pictures' collision masks that the game tests its contacts on.
    const runtime::CollisionMasks& Masks() const;
    const runtime::GameFolder& Folder() const;

    // Shuts the machine layer down.
    void End();

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace tessaron::app
