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
    if ((flags_[element] & kAwake) == 0) {
        flags_[element] |= kAwake;
        woken_.push_back(element);
    }
}

void UpdateSchedule::AdmitWoken() {
    if (woken_.empty()) {
        return;
    }
    std::sort(woken_.begin(), woken_.end());
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
