// The places the search has reached, each with the shortest run found to it and the game as it
// stood there, and the choice of the place to explore from next.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <unordered_map>
#include <vector>

#include "runtime/random.h"
#include "solver/runs.h"
#include "solver/weight_tree.h"
#include "solver/world.h"

namespace tessaron::solver {

// What makes a place: the ball's cell, whether it is in water, and the progress made: the links
// set off, the save points taken and the bushes worn away. Two moments with the same key are the
// same place to the search, whatever else differs (the ball's speed, where the lifts are, the
// clock, the coins taken). Few places, each explored often, find a way sooner than many: a key
// with the ball's coarse speed in it made the search of the tower take more passes. The points
// are left out on purpose: coins open no way, and spikes bring back the coins taken after the
// last save point but keep the points, so points could grow without end on a loop that gets
// nowhere.
struct PlaceKey {
    Cell cell;
    std::int8_t inWater = 0;
    std::uint64_t progress = 0;
    bool operator==(const PlaceKey&) const = default;
};

// Stirs the bits of a number, for hashes built by folding values in one after another.
std::uint64_t MixBits(std::uint64_t value);

struct PlaceKeyHash {
    std::size_t operator()(const PlaceKey& key) const;
};

// The positions of places by their keys: open addressing in one array of small slots, so that a
// look-up (one in every pass the search runs) costs about one visit to memory besides the place
// it finds. The keys stay with the places; `keyAt` gives the key of a position.
class PlaceIndex {
  public:
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
    // The position stored for the key, or kNone.
    template <typename KeyAt>
    std::uint32_t Find(const PlaceKey& key, const KeyAt& keyAt) const {
        if (slots_.empty()) {
            return kNone;
        }
        const std::uint64_t hash = PlaceKeyHash{}(key);
        const std::uint32_t tag = Tag(hash);
        for (std::size_t slot = hash & (slots_.size() - 1);;
             slot = (slot + 1) & (slots_.size() - 1)) {
            const Slot& at = slots_[slot];
            if (at.position == kNone || (at.tag == tag && keyAt(at.position) == key)) {
                return at.position;
            }
        }
    }
    // Adds the next position (0, 1, 2, ...); its key must not be in the index yet.
    template <typename KeyAt>
    void Add(const PlaceKey& key, const KeyAt& keyAt) {
        // At most half full, so that a look-up finds its key or an empty slot after a few steps.
        if (2 * (size_ + 1) > slots_.size()) {
            slots_.assign(std::max<std::size_t>(1024, 2 * slots_.size()), Slot{});
            for (std::uint32_t position = 0; position < size_; ++position) {
                Put(PlaceKeyHash{}(keyAt(position)), position);
            }
        }
        Put(PlaceKeyHash{}(key), size_++);
    }

  private:
    struct Slot {
        std::uint32_t tag = 0;  // high bits of the key's hash
        std::uint32_t position = kNone;
    };
    static std::uint32_t Tag(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
    void Put(std::uint64_t hash, std::uint32_t position);
    std::vector<Slot> slots_;
    std::uint32_t size_ = 0;
};

struct Place {
    PlaceKey key;
    // Links set off, save points taken and bushes worn away: the places of the most steps are
    // the search's frontier.
    std::int32_t steps = 0;
    std::int32_t score = 0;
    Snapshot snapshot;
    std::vector<std::int32_t> links;  // the links set off on the way there, in ascending order
    RunId run = Runs::kEmpty;
    std::int64_t passes = 0;    // the length of that run
    float goalDistance = 0.0f;  // cells from the ball to the nearest goal
    std::uint32_t chosen = 0;   // explorations started here
    std::uint64_t disks = 0;    // the disks taken there (Search's own numbering)
    // False once the archive has let go of the snapshot to stay within its memory: the place is
    // never explored again, but still stands for the shortest run to it.
    bool explorable = true;
};

// The memory of a place's snapshot's records that differ (beyond its fields and the save point
// it shares with others).
std::size_t SnapshotBytes(const Snapshot& snapshot);
// The memory a place takes whatever becomes of its snapshot: its fields, its links and its entry
// in the archive's index.
std::size_t PlaceBytes(const Place& place);

// How the choice weighs a place: novelty (a place explored often is chosen less), progress (a
// place of the most steps more) and nearness to the goal.
struct ChoiceWeights {
    double mostSteps = 10.0;  // extra weight of a place of the most steps taken
    double nearGoal = 6.0;    // extra weight of a place at the goal, falling to 0 far from it
};

class Archive {
  public:
    // The archive keeps within `snapshotBudget` bytes: its places with their index, their
    // snapshots (records, and each save point they hold counted once however many share it),
    // and what its owner adds (SetOtherBytes: the run tree). Beyond it, the archive lets go of
    // the snapshots of the places least likely to be chosen until a quarter of the budget is
    // free: on a large level full of moving elements a search of a minute would otherwise take
    // gigabytes. With the program itself this keeps the automatic player within 1 GB.
    static constexpr std::size_t kDefaultBudget = std::size_t{640} << 20;
    explicit Archive(float farDistance, ChoiceWeights weights = {},
                     std::size_t snapshotBudget = kDefaultBudget);

    // The place of that key, or null.
    Place* Find(const PlaceKey& key);
    const Place* Find(const PlaceKey& key) const;
    Place& Add(Place place);
    // A shorter run to a known place: the place now stands for the game as that run leaves it,
    // and keeps the count of its choices.
    void Replace(Place& known, Place place);
    std::size_t Size() const { return places_.size(); }
    const Place& At(std::size_t index) const { return places_[index]; }

    // A place to explore from, drawn by weight; counts the choice. Needs an explorable place.
    Place& Choose(runtime::Random& random);
    double Weight(const Place& place) const;
    std::size_t SnapshotBytesKept() const { return snapshotBytes_; }
    // Everything counted against the budget.
    std::size_t BytesKept() const { return snapshotBytes_ + placeBytes_ + otherBytes_; }
    // Memory outside the archive that counts against its budget.
    void SetOtherBytes(std::size_t bytes) { otherBytes_ = bytes; }
    // False once the places alone (without any snapshot) fill the budget: no more should join.
    bool Room() const { return placeBytes_ + otherBytes_ < budget_; }

    // The place nearest the goal, of the most points among those.
    const Place& Best() const;
    std::int32_t MostSteps() const { return mostSteps_; }
    std::int32_t MostPoints() const { return mostPoints_; }

  private:
    auto KeyAt() const {
        return [this](std::uint32_t position) -> const PlaceKey& { return places_[position].key; };
    }
    // Counts the memory of a snapshot the archive takes, or lets go of.
    void Hold(const Snapshot& snapshot);
    void Release(const Snapshot& snapshot);
    void KeepWithinBudget();

    float farDistance_;
    ChoiceWeights choice_;
    std::size_t budget_;
    std::size_t snapshotBytes_ = 0;
    std::size_t placeBytes_ = 0;
    std::size_t otherBytes_ = 0;
    // How many places hold each save point.
    std::unordered_map<const void*, std::size_t> savePointHolders_;
    // A deque: places never move, so a place found stays valid while others are added.
    std::deque<Place> places_;
    PlaceIndex index_;
    std::int32_t mostSteps_ = 0;
    std::int32_t mostPoints_ = 0;
    WeightTree weights_;
};

}  // namespace tessaron::solver
