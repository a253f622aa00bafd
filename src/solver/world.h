// The game as the automatic player plays it: everything a play pass reads and changes, passes
// run exactly as the main loop runs them, and compact snapshots of the whole game to come back
// to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "game/player.h"
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

// The list that snapshots and save points are kept against (usually the level after its first
// pass), with the positions whose record a save point's rounding changes.
struct BaseList {
    explicit BaseList(level::ElementList list);
    level::ElementList elements;
    std::vector<std::uint32_t> roundingChanges;
};

// A save point held in memory as the search needs it: the records that differ from the base
// list, each as a save point rounds it. Taking one on a large level costs what differs from the
// base, not the whole level, and going back to one writes back in place only the records that
// differ, keeping the level's indexes. It brings back exactly the game a save-point file taken
// at the same moment brings back: every value rounded to a whole number. Copies share what was
// kept, as game::SavePointMemory's do.
class SearchSavePoint final : public game::SavePointStore {
  public:
    SearchSavePoint() = default;
    // Later save points are kept against this base; without one, each keeps every record.
    void UseBase(std::shared_ptr<const BaseList> base) { base_ = std::move(base); }

    // Never fails.
    bool Store(const level::Level& level, const game::Player& player) override;
    // Brings back the save point of the same level, as every save point the search takes is.
    bool Restore(level::Level& level, game::Player& player) override;
    std::string Problem() const override { return {}; }
    bool Holds() const { return kept_ != nullptr; }
    // The schedule of the world whose save point this is: its clockwork's elements are kept as
    // they stand, and become ordinary elements when the save point is brought back.
    void Bind(game::UpdateSchedule* schedule) { schedule_ = schedule; }
    // True when both hold the same save point (or none), value for value.
    bool SameAs(const SearchSavePoint& other) const;
    // What copies share (null when it holds nothing), and the bytes that takes.
    const void* Shared() const { return kept_.get(); }
    std::size_t SharedBytes() const;

  private:
    struct Kept;
    std::shared_ptr<const BaseList> base_;
    std::shared_ptr<const Kept> kept_;
    game::UpdateSchedule* schedule_ = nullptr;
};

// Everything that one play pass reads or changes. The save point lives in memory: the search
// never touches the game folder.
struct World {
    play::Game state;
    runtime::Random random;
    SearchSavePoint savePoint;
    // The passes leave out the random numbers: every torch stands still (PreparedForSearch), so
    // nothing they draw can change the ball's way.
    bool lean = false;
};

// Makes the passes of a world cheaper where that cannot change the ball's way: a torch that
// never moves and carries nothing has no effect on the ball, but flickers at random in every
// pass. Where every torch is such, they become empty cells, and the random numbers (which only
// the torches and the sensors' drawing use) are no longer drawn. The same keys then move the
// ball exactly as in the game as loaded; the game's own pictures and the random state differ.
// Elements that move like clockwork (game::Clockwork) are left to it: they are brought to where
// they are only where the ball may meet them, with the same values.
World PreparedForSearch(World world);

// One pass of the main loop in play mode with `keys` held.
void RunPass(World& world, std::uint8_t keys, const Machines& machines);

// A whole game at one moment. The element list is kept as the records that differ from a base
// list (usually the level as loaded), so that a place in a large level costs little memory.
struct Snapshot {
    play::Moment moment;
    runtime::Random random;
    SearchSavePoint savePoint;
    // The update passes run, and the clockwork's groups left to it (UpdateSchedule's
    // AttachedGroups): their elements' records are not among the changed ones; they stand as
    // after that many passes.
    std::int64_t passes = 0;
    std::uint64_t clockwork = 0;
    std::vector<std::uint32_t> changedIndices;
    std::vector<level::Element> changed;
};

// The base list and the work of taking and restoring snapshots against it. The base must have
// as many records as every list the snapshots are taken of; a play pass never changes that.
//
// Both compare only the records the level's index has noted as changed since the world was last
// put into a snapshot's state (its journal), and the whole list only when there is no such note
// (the first time, or after the list was replaced).
class SnapshotBase {
  public:
    explicit SnapshotBase(level::ElementList base);

    Snapshot Take(const World& world) const;
    // Puts the world into the snapshot's state. The level's name, which a play pass never
    // changes, stays as it is.
    void Restore(const Snapshot& snapshot, World& world) const;
    // For the save points of the worlds this base restores.
    const std::shared_ptr<const BaseList>& Base() const { return base_; }
    // True when the two snapshots hold the same game bit for bit: from there on, the same keys
    // give the same passes. `clockwork` is that of the worlds they were taken of, or null.
    bool SameGame(const Snapshot& a, const Snapshot& b, const game::Clockwork* clockwork) const;

  private:
    std::shared_ptr<const BaseList> base_;
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
