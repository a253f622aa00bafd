#include "solver/shorten.h"

#include <algorithm>
#include <utility>

namespace tessaron::solver {

namespace {

constexpr std::uint8_t kKeys[] = {kUp, kLeft, kRight};

void SetKey(KeyPlan& plan, std::uint8_t key, std::int64_t first, std::int64_t end, bool held) {
    for (std::int64_t i = first; i < end; ++i) {
        auto& keys = plan[static_cast<std::size_t>(i)];
        keys =
            held ? static_cast<std::uint8_t>(keys | key) : static_cast<std::uint8_t>(keys & ~key);
    }
}

}  // namespace

std::vector<Press> PressesOf(const KeyPlan& plan) {
    std::vector<Press> presses;
    const auto length = static_cast<std::int64_t>(plan.size());
    for (std::uint8_t key : kKeys) {
        for (std::int64_t i = 0; i < length;) {
            if ((plan[static_cast<std::size_t>(i)] & key) == 0) {
                ++i;
                continue;
            }
            Press press{key, i, i};
            while (press.end < length && (plan[static_cast<std::size_t>(press.end)] & key) != 0) {
                ++press.end;
            }
            presses.push_back(press);
            i = press.end;
        }
    }
    std::stable_sort(presses.begin(), presses.end(),
                     [](const Press& a, const Press& b) { return a.first < b.first; });
    return presses;
}

std::int64_t KeyChanges(const KeyPlan& plan) {
    std::int64_t changes = 0;
    for (const Press& press : PressesOf(plan)) {
        // Down, and up again unless the key is still held when the plan ends.
        changes += press.end < static_cast<std::int64_t>(plan.size()) ? 2 : 1;
    }
    return changes;
}

Shortener::Shortener(const World& start, const Machines& machines, KeyPlan plan)
    : machines_(machines),
      world_(PreparedForSearch(start)),
      base_(SettledElements(world_, machines)),
      goals_(start.state.level.elements),
      plan_(std::move(plan)) {
    world_.savePoint.UseBase(base_.Base());
    checkpoints_.push_back(base_.Take(world_));
    // The checkpoints of the plan as it is; it wins, so TryFrom keeps it as it is.
    TryFrom(plan_, 0);
}

std::int64_t Shortener::GoalPass(const KeyPlan& candidate) {
    base_.Restore(checkpoints_.front(), world_);
    for (std::size_t i = 0; i < candidate.size(); ++i) {
        RunPass(world_, candidate[i], machines_);
        if (goals_.Taken(world_.state.level.elements)) {
            return static_cast<std::int64_t>(i) + 1;
        }
    }
    return 0;
}

bool Shortener::TryFrom(KeyPlan candidate, std::int64_t from) {
    const std::int64_t checkpoint = std::min<std::int64_t>(
        from / kCheckpointSpacing, static_cast<std::int64_t>(checkpoints_.size()) - 1);
    base_.Restore(checkpoints_[static_cast<std::size_t>(checkpoint)], world_);
    const auto limit = static_cast<std::int64_t>(std::min(candidate.size(), plan_.size()));
    // Past the last pass where the candidate differs from the plan, a game that is the plan's
    // own again goes on as the plan does, to the same win.
    std::int64_t changedUntil = limit;
    while (changedUntil > 0 && candidate[static_cast<std::size_t>(changedUntil - 1)] ==
                                   plan_[static_cast<std::size_t>(changedUntil - 1)]) {
        --changedUntil;
    }
    std::vector<Snapshot> fresh;
    const auto adopt = [&](std::int64_t end, bool keepLaterCheckpoints) {
        const std::size_t kept = checkpoints_.size();
        std::vector<Snapshot> later;
        if (keepLaterCheckpoints) {
            const std::size_t first = static_cast<std::size_t>(checkpoint) + 1 + fresh.size();
            for (std::size_t i = first; i < kept; ++i) {
                later.push_back(std::move(checkpoints_[i]));
            }
        }
        candidate.resize(static_cast<std::size_t>(end));
        plan_ = std::move(candidate);
        checkpoints_.resize(static_cast<std::size_t>(checkpoint) + 1);
        for (Snapshot& snapshot : fresh) {
            checkpoints_.push_back(std::move(snapshot));
        }
        for (Snapshot& snapshot : later) {
            checkpoints_.push_back(std::move(snapshot));
        }
    };
    for (std::int64_t pass = checkpoint * kCheckpointSpacing; pass < limit; ++pass) {
        RunPass(world_, candidate[static_cast<std::size_t>(pass)], machines_);
        if (goals_.Taken(world_.state.level.elements)) {
            score_ = world_.state.level.score;
            adopt(pass + 1, false);
            return true;
        }
        if ((pass + 1) % kCheckpointSpacing == 0) {
            const auto number = static_cast<std::size_t>((pass + 1) / kCheckpointSpacing);
            fresh.push_back(base_.Take(world_));
            if (pass + 1 >= changedUntil && number < checkpoints_.size() &&
                base_.SameGame(fresh.back(), checkpoints_[number],
                               world_.state.schedule.TheClockwork())) {
                fresh.pop_back();
                adopt(static_cast<std::int64_t>(plan_.size()), true);
                return true;
            }
        }
    }
    return false;
}

void Shortener::Run(const std::function<bool()>& timeUp) {
    // Each press once, from the last to the first: a change late in the run replays only its
    // end. (A second round over what is left was measured to find next to nothing, at the cost
    // of the first.)
    const std::vector<Press> presses = PressesOf(plan_);
    for (auto press = presses.rbegin(); press != presses.rend() && !timeUp(); ++press) {
        if (press->first >= static_cast<std::int64_t>(plan_.size())) {
            continue;  // cut off by a change that won sooner
        }
        const std::int64_t end = std::min<std::int64_t>(press->end, plan_.size());
        KeyPlan without = plan_;
        SetKey(without, press->key, press->first, end, false);
        if (TryFrom(std::move(without), press->first)) {
            continue;
        }
        // Held on through the gap to its next press instead of let go and pressed again.
        const auto next = std::find_if(press.base(), presses.end(), [&](const Press& p) {
            return p.key == press->key && p.first >= end;
        });
        if (next != presses.end() && next->first < static_cast<std::int64_t>(plan_.size())) {
            KeyPlan joined = plan_;
            SetKey(joined, press->key, end, next->first, true);
            TryFrom(std::move(joined), end);
        }
    }
}

}  // namespace tessaron::solver
