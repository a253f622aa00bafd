// Makes a winning run plainer: key presses that the win does not need are dropped, presses of a
// key with a gap between them become one press where that changes nothing, and the run ends with
// the pass that takes the goal. A change is kept only when the goal is still taken, no later than
// before.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "solver/runs.h"
#include "solver/search.h"
#include "solver/world.h"

namespace tessaron::solver {

// One key held over passes [first, end) of a plan, counted from 0.
struct Press {
    std::uint8_t key = 0;
    std::int64_t first = 0;
    std::int64_t end = 0;
    bool operator==(const Press&) const = default;
};

// The presses of a plan: per key, every unbroken stretch of passes that holds it, ordered by
// their first pass (then by key).
std::vector<Press> PressesOf(const KeyPlan& plan);

// How many times a key goes down or up in a plan.
std::int64_t KeyChanges(const KeyPlan& plan);

class Shortener {
  public:
    // `start` is the game as the plan starts from; `plan` takes the goal in its last pass.
    Shortener(const World& start, const Machines& machines, KeyPlan plan);

    // Tries each press once, from the last to the first: without it, and else held on to the
    // next press of its key; stops early when `timeUp` says so. The plan is always a winning one.
    void Run(const std::function<bool()>& timeUp);
    const KeyPlan& Plan() const { return plan_; }
    // The points at the end of the plan.
    std::int32_t Score() const { return score_; }

    // The pass (counted from 1) in which `candidate` takes the goal, played from the start, or
    // 0 when it does not take it within its length.
    std::int64_t GoalPass(const KeyPlan& candidate);

  private:
    // Plays `candidate` from the last checkpoint at or before pass index `from` (counted from
    // 0). On a win no later than the current plan's end, the candidate becomes the plan, cut
    // after the winning pass, and the checkpoints after `from` are those of the new plan.
    bool TryFrom(KeyPlan candidate, std::int64_t from);

    // The game after every kCheckpointSpacing-th pass of the plan; the first is the start.
    static constexpr std::int64_t kCheckpointSpacing = 16;

    const Machines machines_;
    World world_;
    SnapshotBase base_;
    Goals goals_;
    KeyPlan plan_;
    std::vector<Snapshot> checkpoints_;
    std::int32_t score_ = 0;
};

}  // namespace tessaron::solver
