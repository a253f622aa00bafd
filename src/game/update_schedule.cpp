#include "game/update_schedule.h"

#include <algorithm>
#include <bit>
#include <iterator>
#include <numeric>

#include "level/element_index.h"

namespace tessaron::game {

void UpdateSchedule::Refresh(level::Level& level) {
    level::ElementIndex& index = level::IndexOf(level);
    if (index.Build() != builtFor_) {
        builtFor_ = index.Build();
        Rebuild(level.elements.size());
        index.ForgetChanged();
        if (attached_ != 0) {
            // The index was built anew (or copied): the clockwork's elements stay left to it.
            LeaveToClockwork(level, attached_);
        }
        return;
    }
    if (!index.Changed().empty()) {
        for (const std::int32_t element : index.Changed()) {
            Changed(element);
        }
        index.ForgetChanged();
    }
}

void UpdateSchedule::Rebuild(std::size_t elements) {
    // Every element is visited by the first update pass, which finds out who may sleep.
    flags_.assign(elements, kAwake);
    awake_.resize(elements);
    std::iota(awake_.begin(), awake_.end(), 0);
    woken_.clear();
    // The update pass's lists never hold more than every element: room for that at once, so
    // that no pass has to grow them.
    woken_.reserve(elements);
    sortedWoken_.reserve(elements);
    merged_.reserve(elements);
    triggered_.reserve(elements);
    stillAwake_.reserve(elements);
    for (auto& [link, waiting] : waiting_) {
        waiting.clear();
    }
}

void UpdateSchedule::Changed(std::int32_t element) {
    if ((flags_[element] & kWaiting) != 0) {
        // Its link may have changed: it must not stay kept under the old one.
        for (auto& [link, waiting] : waiting_) {
            std::erase(waiting, element);
        }
        flags_[element] &= static_cast<std::uint8_t>(~kWaiting);
    }
    Wake(element);
}

void UpdateSchedule::Wake(std::int32_t element) {
    if (LeftToClockwork(static_cast<std::size_t>(element))) {
        return;  // the clockwork moves it; no contact changes it
    }
    if ((flags_[element] & kAwake) == 0) {
        flags_[element] |= kAwake;
        woken_.push_back(element);
    }
}

void UpdateSchedule::AdmitWoken() {
    if (woken_.empty()) {
        return;
    }
    // A game put back wakes the records it writes in list order, after the few elements woken
    // by the contacts of the pass before: only those few are sorted, then merged with the rest.
    auto tail = woken_.end() - 1;
    while (tail != woken_.begin() && *(tail - 1) <= *tail) {
        --tail;
    }
    if (tail != woken_.begin()) {
        std::sort(woken_.begin(), tail);
        sortedWoken_.clear();
        std::merge(woken_.begin(), tail, tail, woken_.end(), std::back_inserter(sortedWoken_));
        woken_.swap(sortedWoken_);
    }
    merged_.clear();
    std::merge(awake_.begin(), awake_.end(), woken_.begin(), woken_.end(),
               std::back_inserter(merged_));
    awake_.swap(merged_);
    woken_.clear();
}

std::uint32_t UpdateSchedule::LinkKey(float link) {
    // -0 and +0 are the same link.
    return std::bit_cast<std::uint32_t>(link == 0.0f ? 0.0f : link);
}

void UpdateSchedule::Sleep(std::int32_t element, float link, bool wakesOnTrigger) {
    flags_[element] &= static_cast<std::uint8_t>(~kAwake);
    // A link that is not a number equals no trigger.
    if (wakesOnTrigger && link == link && (flags_[element] & kWaiting) == 0) {
        flags_[element] |= kWaiting;
        waiting_[LinkKey(link)].push_back(element);
    }
}

void UpdateSchedule::TakeWaitingFor(float link, std::vector<std::int32_t>& out) {
    out.clear();
    const auto group = waiting_.find(LinkKey(link));
    if (group == waiting_.end()) {
        return;
    }
    for (std::int32_t element : group->second) {
        flags_[element] &= static_cast<std::uint8_t>(~kWaiting);
        if ((flags_[element] & kAwake) == 0) {
            out.push_back(element);
        }
    }
    group->second.clear();
}

}  // namespace tessaron::game

namespace tessaron::game {

void UpdateSchedule::UseClockwork(level::Level& level, std::shared_ptr<const Clockwork> clockwork) {
    Detach(level);
    clockwork_ = std::move(clockwork);
    if (clockwork_ != nullptr) {
        Attach(level, 0, clockwork_->AllGroups());
    }
}

void UpdateSchedule::Attach(level::Level& level, std::int64_t passes, std::uint64_t groups) {
    passes_ = passes;
    if (clockwork_ == nullptr) {
        return;
    }
    // Records of groups left to the clockwork already are brought to these passes when next
    // looked at.
    const std::uint64_t joining = groups & clockwork_->AllGroups() & ~attached_;
    if (joining == 0) {
        return;
    }
    Refresh(level);
    attached_ |= joining;
    LeaveToClockwork(level, joining);
}

void UpdateSchedule::LeaveToClockwork(level::Level& level, std::uint64_t groups) {
    level::ElementIndex& index = level::IndexOf(level);
    shownAfter_.resize(clockwork_->Elements().size(), -1);
    const std::vector<std::int32_t>& elements = clockwork_->Elements();
    ForEachNumber(groups, [&](std::int32_t n) {
        const std::int32_t element = elements[static_cast<std::size_t>(n)];
        index.Withdraw(element);
        flags_[static_cast<std::size_t>(element)] &= static_cast<std::uint8_t>(~kAwake);
        shownAfter_[static_cast<std::size_t>(n)] = -1;
    });
    const auto left = [this, groups](std::int32_t element) {
        return clockwork_->Holds(static_cast<std::size_t>(element), groups);
    };
    std::erase_if(awake_, left);
    std::erase_if(woken_, left);
}

void UpdateSchedule::Detach(level::Level& level, std::uint64_t groups) {
    const std::uint64_t leaving = attached_ & groups;
    if (leaving == 0) {
        return;
    }
    level::ElementIndex& index = level::IndexOf(level);
    const std::vector<std::int32_t>& elements = clockwork_->Elements();
    ForEachNumber(leaving, [&](std::int32_t n) {
        Show(level, n);
        const std::int32_t element = elements[static_cast<std::size_t>(n)];
        index.Moved(element, level.elements[static_cast<std::size_t>(element)]);
    });
    attached_ &= ~leaving;
    ForEachNumber(leaving, [&](std::int32_t n) { Wake(elements[static_cast<std::size_t>(n)]); });
}

void UpdateSchedule::EndGroupTriggeredBy(level::Level& level, float trigger) {
    const std::int32_t group = clockwork_->GroupTriggeredBy(trigger);
    if (group > 0) {
        Detach(level, std::uint64_t{1} << group);
    }
}

void UpdateSchedule::BringUp(level::Level& level, std::int32_t element) {
    if (attached_ == 0) {
        return;
    }
    const std::int32_t n = clockwork_->NumberOf(static_cast<std::size_t>(element));
    if (n >= 0 && Attached(n)) {
        Show(level, n);
    }
}

void UpdateSchedule::ClockworkNear(level::Level& level, double left, double top, double right,
                                   double bottom, std::vector<std::int32_t>& out) {
    if (attached_ == 0) {
        return;
    }
    near_.clear();
    clockwork_->Near(left, top, right, bottom, near_);
    const std::vector<std::int32_t>& elements = clockwork_->Elements();
    for (const std::int32_t n : near_) {
        if (Attached(n)) {  // else an ordinary element now, found by the index of positions
            Show(level, n);
            out.push_back(elements[static_cast<std::size_t>(n)]);
        }
    }
}

}  // namespace tessaron::game
