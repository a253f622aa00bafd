// The game as the automatic player plays it: everything a play pass reads and changes, passes
// run exactly as the main loop runs them, and compact snapshots of the whole game to come back
// to.
#pragma once

#include <cstdint>
#include <vector>

#include "game/save_points.h"
#include "game/simulation.h"
#include "level/level.h"
#include "play/game.h"
#include "runtime/collision_masks.h"
#include "runtime/random.h"

namespace tessaron::solver {

// The keys the player can hold in a pass, as bits.
enum KeyBits : std::uint8_t {
    kNoKeys = 0,
    kUp = 1,
    kLeft = 2,
    kRight = 4,
};

game::PlayerKeys PlayerKeysOf(std::uint8_t keys);

// What a pass needs of the machine besides the state: the pictures' collision masks. The
// searchers share them and read them only. Pickups found while searching make no sound.
struct Machines {
    const runtime::CollisionMasks& masks;
};

// Everything that one play pass reads or changes. The save point lives in memory: the search
// never touches the game folder.
struct World {
    play::Game state;
    runtime::Random random;
    game::SavePointMemory savePoint;
};

// One pass of the main loop in play mode with `keys` held.
void RunPass(World& world, std::uint8_t keys, const Machines& machines);

// A whole game at one moment. The element list is kept as the records that differ from a base
// list (usually the level as loaded), so that a place in a large level costs little memory.
struct Snapshot {
    play::Moment moment;
    runtime::Random random;
    game::SavePointMemory savePoint;
    std::vector<std::uint32_t> changedIndices;
    std::vector<level::Element> changed;
};

// True when the two snapshots hold the same game bit for bit: from there on, the same keys give
// the same passes.
bool SameGame(const Snapshot& a, const Snapshot& b);

// The base list and the work of taking and restoring snapshots against it. The base must have
// as many records as every list the snapshots are taken of; a play pass never changes that.
class SnapshotBase {
  public:
    explicit SnapshotBase(level::ElementList base);

    Snapshot Take(const World& world) const;
    // Puts the world into the snapshot's state. The level's name, which a play pass never
    // changes, stays as it is.
    void Restore(const Snapshot& snapshot, World& world) const;

  private:
    level::ElementList base_;
};

// The element list after one pass without keys, as the base of a search's snapshots. In that
// pass every element whose link matches no trigger yet (the link of every cell of a new level)
// takes its motion, and keeps it; snapshots against this list keep only what really moves.
level::ElementList SettledElements(const World& start, const Machines& machines);

// Where the ball is: the cell whose centre is nearest the ball's centre.
struct Cell {
    std::int32_t column = 0;
    std::int32_t row = 0;
    bool operator==(const Cell&) const = default;
};
Cell BallCell(const level::Level& level);

}  // namespace tessaron::solver
