// Elements that move like clockwork: whatever the ball does, their records after n update
// passes are the same, as long as nothing triggers their link. Such an element has a kind that
// no contact changes (no switch, sensor, torch, pickup or bush) and a path that comes round
// again: its record after n passes is looked up instead of worked out pass by pass, with exactly
// the values the update pass would give. The automatic player advances such elements only where
// the ball can meet them (see UpdateSchedule::UseClockwork).
//
// The elements come in groups. Group 0 holds those whose link no switch or sensor of the level
// can trigger (nor the value of a pass without a trigger): they move like clockwork for ever.
// Each other group holds the elements waiting for one link that a switch or sensor triggers (a
// platform counting its start pause until then): they move like clockwork until the first pass
// that triggers it, and from then on as ordinary elements.
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

    // At most this many groups, group 0 included: elements waiting for further links are left
    // to the update pass.
    static constexpr std::int32_t kMostGroups = 64;

    // Every element that moves like clockwork, in list order; an element's number here is its
    // place in this list.
    const std::vector<std::int32_t>& Elements() const { return elements_; }
    // The element's number here, or -1.
    std::int32_t NumberOf(std::size_t element) const { return numberOf_[element]; }
    // The group of the element of that number.
    std::int32_t GroupOf(std::int32_t number) const {
        return groupOf_[static_cast<std::size_t>(number)];
    }
    // The numbers of the group's elements, ascending.
    const std::vector<std::int32_t>& Group(std::int32_t group) const {
        return groups_[static_cast<std::size_t>(group)].numbers;
    }
    // One bit per group, bit g for group g.
    std::uint64_t AllGroups() const {
        return groups_.size() == kMostGroups ? ~std::uint64_t{0}
                                             : (std::uint64_t{1} << groups_.size()) - 1;
    }
    // The group whose elements a pass with that trigger sets off, or -1.
    std::int32_t GroupTriggeredBy(float trigger) const;
    // True when the element at that position of the list is the clockwork's and its group is
    // among `groups`.
    bool Holds(std::size_t element, std::uint64_t groups) const {
        const std::int32_t n = numberOf_[element];
        return n >= 0 && ((groups >> groupOf_[static_cast<std::size_t>(n)]) & 1) != 0;
    }

    // Writes into `record` (the element's own) what the update pass changes of it, as it stands
    // after `passes` update passes.
    void Put(std::int32_t number, std::int64_t passes, level::Element& record) const;

    // Appends the numbers of the elements whose path touches a cell that may hold a point of the
    // world rectangle (pixels, 40 per cell), each once, in ascending order, whatever their group.
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

    struct GroupOfElements {
        float trigger = -1.0f;  // the trigger that ends the group (none for group 0)
        std::vector<std::int32_t> numbers;
    };

    std::vector<std::int32_t> elements_;
    std::vector<std::int32_t> numberOf_;
    std::vector<std::uint8_t> groupOf_;
    std::vector<GroupOfElements> groups_;
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
