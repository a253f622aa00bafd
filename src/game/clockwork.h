// Elements that move like clockwork: whatever the ball does, their records after n update
// passes are the same. Such an element has a link that no switch or sensor of the level can
// trigger (nor the value of a pass without a trigger), a kind that no contact changes (no
// switch, sensor, torch, pickup or bush) and a path that comes round again: its record after n
// passes is looked up instead of worked out pass by pass, with exactly the values the update
// pass would give. The automatic player advances such elements only where the ball can meet
// them (see UpdateSchedule::UseClockwork).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "level/level.h"

namespace tessaron::game {

class Clockwork {
  public:
    // The elements of the level's list that move like clockwork from the records they hold
    // now (after 0 update passes). Null when there are none.
    static std::shared_ptr<const Clockwork> Of(const level::Level& level);

    // Every element that moves like clockwork, in list order; an element's number here is its
    // place in this list.
    const std::vector<std::int32_t>& Elements() const { return elements_; }
    // The element's number here, or -1.
    std::int32_t NumberOf(std::size_t element) const { return numberOf_[element]; }

    // Writes into `record` (the element's own) what the update pass changes of it, as it stands
    // after `passes` update passes.
    void Put(std::int32_t number, std::int64_t passes, level::Element& record) const;

    // Appends the numbers of the elements whose path touches a cell that may hold a point of the
    // world rectangle (pixels, 40 per cell), each once, in ascending order.
    void Near(double left, double top, double right, double bottom,
              std::vector<std::int32_t>& out) const;

  private:
    // What the update pass changes of such an element's record.
    struct Motion {
        float column;
        float row;
        float motion;
        float travelled;
        float pauseCount;
    };
    struct Path {
        std::uint32_t first = 0;   // its first record in motions_
        std::uint32_t lead = 0;    // records before the round begins
        std::uint32_t period = 0;  // records of one round
    };

    std::vector<std::int32_t> elements_;
    std::vector<std::int32_t> numberOf_;
    std::vector<Path> paths_;
    std::vector<Motion> motions_;
    // The cells the paths pass through: for each cell of the grid, the numbers of the elements
    // whose path touches it (from cellStart_[cell] to cellStart_[cell + 1] in cellElements_).
    std::int64_t firstColumn_ = 0;
    std::int64_t firstRow_ = 0;
    std::int64_t columns_ = 0;
    std::int64_t rows_ = 0;
    std::vector<std::uint32_t> cellStart_;
    std::vector<std::int32_t> cellElements_;
};

}  // namespace tessaron::game
