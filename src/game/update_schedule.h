// Which elements the element update pass visits. An element's update depends on nothing but its
// own record, the pass's trigger and, for a torch, the random numbers; so an element whose
// update changed nothing and set nothing off by its link (and that is no torch) stays as it is
// in every later pass, until its link is triggered (when that would change its motion) or
// something else changes its record. Such an element sleeps: the pass visits only the awake
// ones and those woken by the trigger, in list order.
//
// The schedule belongs to one level's element list and is kept beside it. It starts again with
// every element awake whenever the level's index was built anew (a list replaced, the level put
// back into its editable state), and wakes every element whose record was changed in place
// outside the simulation (painting, undo, a snapshot put back), as the index reports them.
#pragma once

#include <bit>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "game/clockwork.h"
#include "level/level.h"

namespace tessaron::game {

class UpdateSchedule {
  public:
    // Brings the schedule up to date with the level: afresh for an index built anew, else with
    // the records changed since it was last brought up to date woken.
    void Refresh(level::Level& level);

    // The elements the update pass visits, in list order.
    std::vector<std::int32_t>& Awake() { return awake_; }
    // The update pass visits the element from the next pass on.
    void Wake(std::int32_t element);
    // The element stays in (or joins) the awake list that the update pass is building.
    void KeepAwake(std::int32_t element) { flags_[element] |= kAwake; }
    // Moves elements woken since the last update pass into the awake list.
    void AdmitWoken();
    // The element sleeps; when a trigger of `link` would change it, the element is kept under
    // that link for the update pass of such a trigger.
    void Sleep(std::int32_t element, float link, bool wakesOnTrigger);
    // Takes the sleeping elements kept under the link (unsorted; elements woken since are
    // skipped), leaving none kept there.
    void TakeWaitingFor(float link, std::vector<std::int32_t>& out);

    // The update pass's own lists, kept so that a pass allocates nothing once they have grown.
    std::vector<std::int32_t>& TriggeredList() { return triggered_; }
    std::vector<std::int32_t>& StillAwakeList() { return stillAwake_; }

    // Update passes run since the clockwork's records were taken (counted always).
    std::int64_t Passes() const { return passes_; }
    void CountPass() { ++passes_; }

    // Clockwork (the automatic player's passes): the elements of `clockwork`, taken from the
    // level as it is now, after 0 update passes, are left out of the update pass and of the
    // index of positions; their records are written only where the ball may meet them
    // (ClockworkNear), as they stand after the passes run. A pass that triggers the link a group
    // of them waits for, a save point brought back or a game put back that was not kept so
    // (Detach) makes them ordinary elements again.
    void UseClockwork(level::Level& level, std::shared_ptr<const Clockwork> clockwork);
    // True while some of the clockwork's elements are left to it.
    bool Clockworking() const { return attached_ != 0; }
    // The clockwork's groups left to it, one bit each (Clockwork::Group).
    std::uint64_t AttachedGroups() const { return attached_; }
    // The clockwork's element at that position of the list, while its group is left to it.
    bool LeftToClockwork(std::size_t element) const {
        return attached_ != 0 && clockwork_->Holds(element, attached_);
    }
    // The update pass is about to run with this trigger: the group waiting for it, if still left
    // to the clockwork, becomes ordinary elements as they stand now, which the pass updates.
    void Trigger(level::Level& level, float trigger) {
        if (attached_ != 0 && trigger != kNoTrigger) {
            EndGroupTriggeredBy(level, trigger);
        }
    }
    const Clockwork* TheClockwork() const { return clockwork_.get(); }
    // Appends, in list order, the clockwork's elements that may lie in the world rectangle
    // (pixels), their records written as they stand now.
    void ClockworkNear(level::Level& level, double left, double top, double right, double bottom,
                       std::vector<std::int32_t>& out);
    // Writes the element's record as it stands now, if it is left to the clockwork.
    void BringUp(level::Level& level, std::int32_t element);
    // The clockwork's elements of the groups (all by default) become ordinary elements, as they
    // stand now: in the index of positions, visited by the update pass, noted in the index's
    // journal.
    void Detach(level::Level& level, std::uint64_t groups = ~std::uint64_t{0});
    // The clockwork's elements of the groups are left to it (again), all of them as they stand
    // after `passes` update passes; what the records of those newly left to it hold until then
    // does not count. Groups left to it already stay so.
    void Attach(level::Level& level, std::int64_t passes, std::uint64_t groups);
    // Sets the count of update passes run (a game put back).
    void SetPasses(std::int64_t passes) { passes_ = passes; }

  private:
    static constexpr float kNoTrigger = -1.0f;
    static constexpr std::uint8_t kAwake = 1;
    static constexpr std::uint8_t kWaiting = 2;
    static std::uint32_t LinkKey(float link);
    void Rebuild(std::size_t elements);
    // Takes the clockwork's elements of the groups out of the index of positions and the update
    // pass; their records are written anew before they are next looked at.
    void LeaveToClockwork(level::Level& level, std::uint64_t groups);
    void EndGroupTriggeredBy(level::Level& level, float trigger);
    // The clockwork's element of number n is left to it.
    bool Attached(std::int32_t n) const { return ((attached_ >> clockwork_->GroupOf(n)) & 1) != 0; }
    // Writes the record of the clockwork's element of number n as it stands now, unless it does.
    void Show(level::Level& level, std::int32_t n) {
        if (shownAfter_[static_cast<std::size_t>(n)] != passes_) {
            const std::int32_t element = clockwork_->Elements()[static_cast<std::size_t>(n)];
            clockwork_->Put(n, passes_, level.elements[static_cast<std::size_t>(element)]);
            shownAfter_[static_cast<std::size_t>(n)] = passes_;
        }
    }
    // Calls `visit` with the number of every element of the clockwork's groups.
    template <typename Visit>
    void ForEachNumber(std::uint64_t groups, Visit visit) const {
        for (std::uint64_t rest = groups; rest != 0; rest &= rest - 1) {
            for (const std::int32_t n : clockwork_->Group(std::countr_zero(rest))) {
                visit(n);
            }
        }
    }
    // The record changed in place: its link may be another now, and the update pass visits it.
    void Changed(std::int32_t element);

    // The index build the schedule belongs to.
    std::uint64_t builtFor_ = 0;
    std::vector<std::uint8_t> flags_;
    std::vector<std::int32_t> awake_;
    std::vector<std::int32_t> woken_;
    std::vector<std::int32_t> sortedWoken_;
    std::vector<std::int32_t> merged_;
    std::unordered_map<std::uint32_t, std::vector<std::int32_t>> waiting_;
    std::vector<std::int32_t> triggered_;
    std::vector<std::int32_t> stillAwake_;

    std::int64_t passes_ = 0;
    std::shared_ptr<const Clockwork> clockwork_;
    std::uint64_t attached_ = 0;
    // Per clockwork element: the passes its record in the list stands after, or -1.
    std::vector<std::int64_t> shownAfter_;
    std::vector<std::int32_t> near_;
};

}  // namespace tessaron::game
