// The editor's reach layer (key R): the automatic player searches the level as edited in the
// background, and the map shows every cell the ball has reached, whether the goal was taken, and
// one line of how the search stands. When the author changes the level (painting, undo, a level
// read), the search starts again once the level has stayed as it is for a moment, first playing
// the run it found before. G ("Zeigen") plays the found run as a ghost ball from the start, at
// game speed; any key stops it. Nothing of it touches the author's level, history or files.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "game/save_points.h"
#include "level/level.h"
#include "play/game.h"
#include "runtime/collision_masks.h"
#include "runtime/files.h"
#include "runtime/screen.h"
#include "solver/background_search.h"

namespace tessaron::app {

class ReachLayer {
  public:
    // `interactive`: a search may also end by time (60 s); a scripted run ends it by passes
    // only, so that it finds the same whatever the machine.
    ReachLayer(const runtime::CollisionMasks& masks, bool interactive);
    ~ReachLayer();

    bool On() const { return on_; }
    // R released in the editor: on (the search starts) or off (it stops, the ghost too).
    void Toggle(level::Level& level);
    // Each editor pass while on: follows the level's changes and moves the ghost on.
    // `anyKeyPressed` (a key gone down this pass) stops the ghost.
    void Follow(level::Level& level, std::int64_t pass, bool anyKeyPressed);
    // G released in the editor: the ghost plays the run found, if there is one.
    void ShowRun(level::Level& level);
    // While the ghost plays, the editor's view follows it; when it ends (any key, its run done,
    // the mode switched) the view goes back to where it was.
    void EndGhost(level::Level& level);
    // Draws the layer over the map of the editor.
    void Draw(const level::Level& level, runtime::PlayScreen& screen) const;
    // Waits until the search (also one about to restart) has ended.
    void Wait(const level::Level& level);

    // The layer's lines, as they stand: how the search stands, then what it found wrong. None
    // while off.
    std::vector<std::string> Lines() const;

  private:
    struct Ghost;
    void Start(const level::Level& level);
    void Stop();

    const runtime::CollisionMasks& masks_;
    bool interactive_;
    bool on_ = false;
    std::unique_ptr<solver::BackgroundSearch> search_;
    // The level the search runs on, and a change waiting for the level to stay as it is.
    level::Level searched_;
    std::optional<level::Level> pending_;
    std::int64_t pendingSince_ = 0;
    // The run of the last search that ended, played first by the next.
    solver::KeyPlan hint_;
    bool hasGoal_ = false;
    std::unique_ptr<Ghost> ghost_;
};

}  // namespace tessaron::app
