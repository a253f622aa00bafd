// One pass of the main loop: its stages in their order. The game's own stages (the tick, the
// two simulation stages, the ball's keys) run here; the caller brings the rest: the program its
// commands, keyboard, frame and mouse, the automatic player only the keys it holds.
#pragma once

#include "game/simulation.h"
#include "play/game.h"
#include "render/frame.h"

namespace tessaron::play {

// How a stage lets the pass go on.
enum class Flow {
    Continue,
    Restart,  // a load or a new level ended the pass early; the next pass starts afresh
    Quit,     // the program ends
    Abort,    // the run's input ended the run
};

// The stages a pass takes from its caller, each called at its place in the pass.
class Stages {
  public:
    virtual ~Stages() = default;
    // Editor mode, first: the command of the pass's event, then the side panel read into the
    // paint settings.
    virtual Flow EditorCommands() { return Flow::Continue; }
    // Play mode, after the first simulation stage.
    virtual void AfterFirstStage() {}
    // The keyboard stage: the keys' commands (scrolling, Tab, Escape, F5, F6). `keys` takes the
    // ball's keys, which count when the game is in play mode after the commands.
    virtual Flow Keyboard(game::PlayerKeys& keys) = 0;
    // What the previous pass drew becomes visible, and the next frame begins.
    virtual void BeginFrame() {}
    // The drawing stage, or what it changes in a pass that draws nothing.
    virtual void Draw() = 0;
    // Editor mode, last: the mouse is read and a click paints.
    virtual void EditorMouse() {}
};

// One pass, without taking its event and without its pacing, in this order:
//   - editor mode: the commands;
//   - the tick counter moves on and no link is triggered yet;
//   - play mode: the first simulation stage (touch pass, gravity and vertical pass, friction
//     and horizontal pass);
//   - the keyboard stage, then in play mode the ball's keys (jump or swim, run);
//   - the frame begins;
//   - play mode: the second simulation stage (the element update, the push-out and the crush);
//   - the drawing stage;
//   - editor mode: the mouse.
// The mode is read afresh at each step: a switch by Tab counts for the steps after it. A stage
// that does not continue ends the pass at once.
Flow RunPass(Game& game, const game::Services& services, Stages& stages);

// The tick counter moves on (0 after 3599) and no link is triggered yet.
void AdvanceTick(Game& game);

// What the drawing reads from the game; the editor's choices keep their defaults.
render::FrameInputs FrameInputsOf(const Game& game);

// A pass in play mode with `keys` held and no frame drawn, as the main loop runs it when only
// the ball's keys are held: the automatic player plays its passes this way.
void RunPlayPass(Game& game, const game::PlayerKeys& keys, const game::Services& services);

}  // namespace tessaron::play
