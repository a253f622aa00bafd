#include "play/game.h"

#include <cstring>

namespace tessaron::play {

// Every field is four bytes wide: a moment holds no padding, so its bytes are its values.
static_assert(sizeof(level::LevelValues) == 8 * 4);
static_assert(sizeof(GameValues) == (4 + 8 + 1) * 4);
static_assert(sizeof(Moment) == sizeof(level::LevelValues) + sizeof(GameValues));

Moment MomentOf(const Game& game) {
    return Moment{game.level, game};
}

void PutMoment(const Moment& moment, Game& game) {
    static_cast<level::LevelValues&>(game.level) = moment.level;
    static_cast<GameValues&>(game) = moment.game;
}

bool SameMoment(const Moment& a, const Moment& b) {
    return std::memcmp(&a, &b, sizeof(Moment)) == 0;
}

}  // namespace tessaron::play
