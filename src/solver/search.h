// The search for a run that takes the goal: an archive of the places reached, each kept with
// the shortest run to it and the whole game as it stood there. Again and again a place is
// chosen, its game restored, and keys are tried from there; every place not seen before joins
// the archive. The same start and seed give the same search.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "runtime/random.h"
#include "solver/archive.h"
#include "solver/runs.h"
#include "solver/world.h"

namespace tessaron::solver {

// The goals of a level, and whether one has been taken.
class Goals {
  public:
    explicit Goals(const level::ElementList& elements);
    bool Any() const { return !indices_.empty(); }
    bool Taken(const level::ElementList& elements) const;
    // Cells from `cell` to the nearest goal's home cell.
    float Distance(const Cell& cell) const;

  private:
    std::vector<std::size_t> indices_;
    std::vector<Cell> cells_;
};

// The cells of the level the ball has been in.
class Reach {
  public:
    Reach(std::int32_t levelWidth, std::int32_t levelHeight);
    // False for a cell outside the level and its rim: the ball has left the level there.
    bool Inside(const Cell& cell) const;
    void Mark(const Cell& cell);
    bool Reached(const Cell& cell) const;

  private:
    std::size_t Index(const Cell& cell) const;
    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> reached_;
};

struct SearchSettings {
    double seconds = 60.0;
    // Ends the search after this many passes as well (0: no limit), for results that do not
    // depend on the machine's speed.
    std::int64_t passLimit = 0;
    std::uint32_t seed = 1;
    // Passes tried from a chosen place before the next choice.
    std::int32_t explorePasses = 80;
    // Explorations chosen together and run side by side, then taken into the archive in the
    // order they were chosen: the result does not depend on how many threads run them.
    std::int32_t batch = 8;
    std::int32_t threads = 1;
    // After the first win the search goes on for this share of the passes it took, keeping any
    // shorter win it finds.
    double shorterShare = 1.0;
    ChoiceWeights weights;
    std::size_t snapshotBudget = Archive::kDefaultBudget;
    // A run (of an earlier search of the level before it was changed) played first: the places
    // it passes join the archive as the search's own, and a win it still takes is found at once.
    KeyPlan hint;
    // Ends the search early when it becomes true (read between explorations).
    const std::atomic<bool>* stop = nullptr;
};

struct SearchProgress {
    double seconds = 0.0;
    std::int64_t passes = 0;  // simulated so far
    std::size_t places = 0;
    std::int32_t bestScore = 0;
};

struct SearchResult {
    bool found = false;
    // The winning run, ending with the pass that takes the goal; without one, the run to the
    // place nearest the goal (of the most points among those).
    KeyPlan plan;
    std::int32_t score = 0;  // at the end of plan
    // Of all cells the ball reached, the one nearest a goal, and how far from it.
    Cell nearest;
    float nearestDistance = 0.0f;
    SearchProgress totals;
    // The search ended before its time, by SearchSettings::stop.
    bool stopped = false;
    // The first cell of the level found from which the ball fell out of it.
    std::optional<Cell> leftFrom;
    // The disks (home cells) after whose taking the search found no way to the goal, though
    // it explored every place it found after them a number of times.
    std::vector<Cell> deadEnds;
};

class Search {
  public:
    // `start` is the game as a player finds it after loading the level.
    Search(const World& start, const Machines& machines, const SearchSettings& settings);

    SearchResult Run(const std::function<void(const SearchProgress&)>& progress);
    const Reach& Reached() const { return reach_; }

  private:
    struct Exploration;
    PlaceKey KeyOf(const World& world, const std::vector<std::int32_t>& links) const;
    std::int32_t LandmarksPassed(const level::ElementList& elements) const;
    Place MakePlace(const World& world, std::vector<std::int32_t> links) const;
    // Explores from a place in `world` until its run would be as long as `shorterThan`. Reads
    // the archive but changes nothing outside `world` and `exploration`, so explorations can run
    // side by side.
    void Explore(Exploration& exploration, World& world, std::int64_t shorterThan) const;
    // The disks taken in the world, as bits of disks_.
    std::uint64_t DisksTaken(const level::ElementList& elements) const;
    std::vector<Cell> DeadEnds() const;
    void RunBatch(std::vector<Exploration>& batch, std::int64_t shorterThan);
    // Takes what an exploration found into the archive; a win is returned as its run.
    std::optional<RunId> TakeIn(Exploration& exploration);
    void NoteNearest(const Cell& cell);

    const Machines machines_;
    const SearchSettings settings_;
    World start_;
    SnapshotBase base_;
    std::vector<World> worlds_;  // one for each thread
    Goals goals_;
    Reach reach_;
    std::vector<std::size_t> landmarks_;
    std::vector<std::size_t> disks_;  // the first 64 disks of the list
    std::optional<Cell> leftFrom_;
    std::uint64_t winDisks_ = 0;  // the disks taken on any run to the goal found
    Runs runs_;
    Archive archive_;
    runtime::Random random_;
    std::int64_t passes_ = 0;
    Cell nearest_;
    float nearestDistance_ = std::numeric_limits<float>::max();
};

}  // namespace tessaron::solver
