#include "solver/runs.h"

#include <algorithm>

namespace tessaron::solver {

Runs::Runs() {
    stretches_.push_back(Stretch{});
}

RunId Runs::Extend(RunId run, std::uint8_t keys, std::uint32_t passes) {
    if (passes == 0) {
        return run;
    }
    Stretch stretch;
    stretch.parent = run;
    stretch.passes = passes;
    stretch.keys = keys;
    stretch.length = stretches_[run].length + passes;
    stretches_.push_back(stretch);
    return static_cast<RunId>(stretches_.size() - 1);
}

KeyPlan Runs::Plan(RunId run) const {
    KeyPlan plan(static_cast<std::size_t>(stretches_[run].length));
    // From the last stretch back to the first, each filling its own passes.
    for (RunId at = run; at != kEmpty; at = stretches_[at].parent) {
        const Stretch& stretch = stretches_[at];
        const auto end = plan.begin() + stretch.length;
        std::fill(end - stretch.passes, end, stretch.keys);
    }
    return plan;
}

}  // namespace tessaron::solver
