// The game in play: the level, the ball, the main loop's own values and what the drawing keeps
// from frame to frame. Every pass reads and changes this state; the program holds one with the
// editor's state beside it, the automatic player one for each of its searchers.
#pragma once

#include <cstdint>

#include "game/player.h"
#include "game/update_schedule.h"
#include "level/level.h"
#include "render/frame.h"

namespace tessaron::play {

// The main loop's own values.
struct LoopState {
    level::Mode mode = level::Mode::Play;
    std::int32_t tick = 0;  // 0..3599
    // Play-screen pixels: window mouse x - 256, window mouse y; refreshed at the end of every
    // editor pass.
    std::int32_t mouseX = 0;
    std::int32_t mouseY = 0;
};

// What a pass changes besides the level: plain values, copied and compared as one.
struct GameValues {
    LoopState loop;
    game::Player player;
    render::RenderState render;
};

struct Game : GameValues {
    level::Level level;
    // Which elements of the level's list the update pass visits.
    game::UpdateSchedule schedule;
};

// Everything a pass changes besides the element list, as one plain value: the level's numbers
// and the game's.
struct Moment {
    level::LevelValues level;
    GameValues game;
};

Moment MomentOf(const Game& game);
// Puts the moment's values into the game; the element list stays as it is.
void PutMoment(const Moment& moment, Game& game);
// True when the two moments are the same bit for bit: 0 and -0 differ in what later arithmetic
// gives, and NaN never equals itself.
bool SameMoment(const Moment& a, const Moment& b);

}  // namespace tessaron::play
