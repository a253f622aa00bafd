// The runs the search has found: which keys were held in which pass, from the start of the
// level. Runs branch from one another, so they are kept as a tree of stretches of passes with
// the same keys held; a run is the path from one stretch back to the root.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessaron::solver {

using RunId = std::uint32_t;

// The keys held in each pass of a run, pass 1 first.
using KeyPlan = std::vector<std::uint8_t>;

class Runs {
  public:
    // The run of no passes at all.
    static constexpr RunId kEmpty = 0;

    Runs();

    // The run that continues `run` with `passes` passes holding `keys`.
    RunId Extend(RunId run, std::uint8_t keys, std::uint32_t passes);
    std::int64_t Length(RunId run) const { return stretches_[run].length; }
    KeyPlan Plan(RunId run) const;
    // The memory the tree takes.
    std::size_t Bytes() const { return stretches_.capacity() * sizeof(Stretch); }

  private:
    struct Stretch {
        RunId parent = kEmpty;
        std::uint32_t passes = 0;
        std::uint8_t keys = 0;
        std::int64_t length = 0;  // passes from the start of the level to the end of this stretch
    };
    std::vector<Stretch> stretches_;
};

}  // namespace tessaron::solver
