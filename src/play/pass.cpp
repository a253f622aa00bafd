#include "play/pass.h"
#include "runtime/random.h"

namespace tessaron::play {

namespace {

constexpr std::int32_t kTicksPerCycle = 3600;

using level::Mode;

// The stages of a pass that holds the ball's keys and draws no frame.
class KeysOnly final : public Stages {
  public:
    KeysOnly(Game& game, const game::PlayerKeys& keys, runtime::Random& random)
        : game_(game), keys_(keys), random_(random) {}

    Flow Keyboard(game::PlayerKeys& keys) override {
        keys = keys_;
        return Flow::Continue;
    }
    void Draw() override {
        render::AdvanceWithoutDrawing(game_.level, FrameInputsOf(game_), game_.render, random_);
    }

  private:
    Game& game_;
    const game::PlayerKeys& keys_;
    runtime::Random& random_;
};

}  // namespace

void AdvanceTick(Game& game) {
    game.loop.tick = game.loop.tick + 1;
    if (game.loop.tick >= kTicksPerCycle) {
        game.loop.tick = 0;
    }
    game.level.triggeredLink = -1;
}

render::FrameInputs FrameInputsOf(const Game& game) {
    render::FrameInputs inputs;
    inputs.mode = game.loop.mode;
    inputs.tick = game.loop.tick;
    inputs.velocityX = game.player.velocityX;
    inputs.mouseX = game.loop.mouseX;
    inputs.mouseY = game.loop.mouseY;
    return inputs;
}

Flow RunPass(Game& game, const game::Services& services, Stages& stages) {
    // In play mode the event is dropped; a close request does not end the program there.
    if (game.loop.mode == Mode::Editor) {
        if (const Flow flow = stages.EditorCommands(); flow != Flow::Continue) {
            return flow;
        }
    }

    AdvanceTick(game);

    if (game.loop.mode == Mode::Play) {
        game::RunFirstStage(game.level, game.player, services);
        stages.AfterFirstStage();
    }

    game::PlayerKeys keys;
    if (const Flow flow = stages.Keyboard(keys); flow != Flow::Continue) {
        return flow;
    }
    if (game.loop.mode == Mode::Play) {
        game::ApplyPlayerKeys(game.level, game.player, keys, services);
    }

    stages.BeginFrame();

    if (game.loop.mode == Mode::Play) {
        game::RunSecondStage(game.level, game.player, services);
    }

    stages.Draw();

    if (game.loop.mode == Mode::Editor) {
        stages.EditorMouse();
    }
    return Flow::Continue;
}

void RunPlayPass(Game& game, const game::PlayerKeys& keys, const game::Services& services) {
    KeysOnly stages(game, keys, services.random);
    RunPass(game, services, stages);
}

}  // namespace tessaron::play
