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

#include <cstdint>
#include <unordered_map>
#include <vector>

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

  private:
    static constexpr std::uint8_t kAwake = 1;
    static constexpr std::uint8_t kWaiting = 2;
    static std::uint32_t LinkKey(float link);
    void Rebuild(std::size_t elements);
    // The record changed in place: its link may be another now, and the update pass visits it.
    void Changed(std::int32_t element);

    // The index build the schedule belongs to.
    std::uint64_t builtFor_ = 0;
    std::vector<std::uint8_t> flags_;
    std::vector<std::int32_t> awake_;
    std::vector<std::int32_t> woken_;
    std::vector<std::int32_t> merged_;
    std::unordered_map<std::uint32_t, std::vector<std::int32_t>> waiting_;
    std::vector<std::int32_t> triggered_;
    std::vector<std::int32_t> stillAwake_;
};

}  // namespace tessaron::game
