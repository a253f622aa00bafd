// Moving elements, links and switches.
//
// Everything here is done in 32-bit floats in the order written below, because a level's motion
// must come out the same on every machine: an element's travelled distance reaches its length or
// 0 only up to rounding, and the comparisons are made on the stored values exactly as they stand.
#include "game/motion.h"
#include "runtime/numbers.h"
#include "runtime/random.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <vector>

#include "game/geometry.h"

namespace tessaron::game {
namespace {

constexpr float kSwitchCode = level::Code(level::ElementKind::Switch);
constexpr float kSensorCode = level::Code(level::ElementKind::Sensor);
constexpr float kTorchCode = level::Code(level::ElementKind::Torch);
constexpr float kTorchFlickerCode = level::Code(level::ElementKind::TorchFlicker);

// A switch sinks (and rises) this many cells per pass, down to half a cell.
constexpr float kSwitchStep = 0.02f;
constexpr float kSwitchDepth = 0.5f;

// The link a contact triggers: the nearest whole number, halves to even, clamped to 32 bits.
std::int32_t LinkNumber(float link) {
    return runtime::RoundToInt(static_cast<double>(link));
}

// The wait at one end of the path: counts the pass (up to `pause`) and turns the element once the
// count reaches it. A pause of 0 or below waits for ever, which the caller's test already rules
// out.
void CountPause(level::Element& element, float pause) {
    if (pause > element.pauseCount) {
        element.pauseCount = element.pauseCount + 1.0f;
    }
    if (element.pauseCount >= pause) {
        element.motion = -element.motion;
        element.pauseCount = 0.0f;
    }
}

// What an element's update did besides changing the record: whether the link start set it off,
// and the motion it had just before the link start was looked at.
struct UpdateOutcome {
    bool linkStarted = false;
    float motionBeforeLinkStart = 0.0f;
};

[[gnu::always_inline]] inline UpdateOutcome UpdateRecord(level::Element& e, float triggered,
                                                         runtime::Random& random) {
    UpdateOutcome outcome;
    // Unlinked start: an element without a link sets off by itself.
    if (e.link == 0.0f && e.motion == 0.0f) {
        e.motion = 1.0f;
    }
    // A sensor never waits for its own link: it moves like an unlinked element.
    if (e.kind == kSensorCode && e.motion == 0.0f) {
        e.motion = 1.0f;
    }
    // The switch's own press travel: it stops at half a cell, sinks while pressed and rises
    // again once it has stopped.
    if (e.kind == kSwitchCode && e.travelled >= kSwitchDepth) {
        e.motion = 0.0f;
    }
    if (e.kind == kSwitchCode && e.travelled < kSwitchDepth) {
        e.travelled = e.travelled + e.motion * kSwitchStep;
        e.row = e.row + e.motion * kSwitchStep;
    }
    if (e.kind == kSwitchCode && e.travelled > 0.0f && e.motion == 0.0f) {
        e.travelled = e.travelled - kSwitchStep;
        e.row = e.row - kSwitchStep;
    }
    // Link start. With nothing triggered the value is -1, which is also the link of every cell of
    // a new level: such elements are sent out in every pass without a trigger.
    outcome.motionBeforeLinkStart = e.motion;
    if (e.link == triggered && e.kind != kSensorCode) {
        outcome.linkStarted = e.motion != 1.0f;
        e.motion = 1.0f;
    }
    // Going out and coming back, along the path given by both speeds.
    if (e.motion == 1.0f && e.length > e.travelled) {
        e.travelled = e.travelled + std::fabs(e.speedX / kSpeedUnitsPerCell) +
                      std::fabs(e.speedY / kSpeedUnitsPerCell);
        e.column = e.column + e.speedX / kSpeedUnitsPerCell;
        e.row = e.row + e.speedY / kSpeedUnitsPerCell;
    }
    if (e.motion == -1.0f && e.travelled > 0.0f) {
        e.travelled = e.travelled - std::fabs(e.speedX / kSpeedUnitsPerCell) -
                      std::fabs(e.speedY / kSpeedUnitsPerCell);
        e.column = e.column - e.speedX / kSpeedUnitsPerCell;
        e.row = e.row - e.speedY / kSpeedUnitsPerCell;
    }
    // The pauses at the far end and at the start share one counter.
    if (e.travelled >= e.length && e.pause1 > 0.0f) {
        CountPause(e, e.pause1);
    }
    if (e.travelled <= 0.0f && e.pause2 > 0.0f) {
        CountPause(e, e.pause2);
    }
    if (e.kind == kTorchCode || e.kind == kTorchFlickerCode) {
        TorchStep(e, random);
    }
    return outcome;
}

// The fields an update may change (the torch's kind, the position and the motion), kept as bits
// in registers: the update pass compares them after the update instead of copying the whole
// record, which the processor would have to read back through its store buffer.
struct ChangingFields {
    std::uint32_t kind;
    std::uint32_t column;
    std::uint32_t row;
    std::uint32_t motion;
    std::uint32_t travelled;
    std::uint32_t pauseCount;

    static ChangingFields Of(const level::Element& e) {
        return {
            std::bit_cast<std::uint32_t>(e.kind),      std::bit_cast<std::uint32_t>(e.column),
            std::bit_cast<std::uint32_t>(e.row),       std::bit_cast<std::uint32_t>(e.motion),
            std::bit_cast<std::uint32_t>(e.travelled), std::bit_cast<std::uint32_t>(e.pauseCount)};
    }
    float Motion() const { return std::bit_cast<float>(motion); }
    float Travelled() const { return std::bit_cast<float>(travelled); }
    float Kind() const { return std::bit_cast<float>(kind); }
    // No bit of the record differs from these (the other fields no update writes).
    bool Same(const ChangingFields& o) const {
        return ((kind ^ o.kind) | (column ^ o.column) | (row ^ o.row) | (motion ^ o.motion) |
                (travelled ^ o.travelled) | (pauseCount ^ o.pauseCount)) == 0;
    }
    bool SamePosition(const ChangingFields& o) const {
        return ((column ^ o.column) | (row ^ o.row)) == 0;
    }
};

// An element that sets off on its path in this update: it moves out, from its start or after
// coming back part of the way. A switch's own press travel is no setting off.
bool SetsOff(const ChangingFields& before, const level::Element& after) {
    return after.kind != kSwitchCode && after.travelled > before.Travelled() &&
           (before.Travelled() <= 0.0f || before.Motion() != 1.0f);
}

// The element's picture lies on the play screen, at least in part.
bool OnScreen(const level::Element& e, const level::Level& level) {
    return std::fabs(kCellSize * e.column + level.viewX - kCentreX) < kCentreX + kCellSize &&
           std::fabs(kCellSize * e.row + level.viewY - kCentreY) < kCentreY + kCellSize;
}

// Notes an element on the screen that sets off; the record is only read.
void NoteSettingOff(const ChangingFields& before, const level::Element& after,
                    const level::Level& level, PassEvents* events) {
    if (events != nullptr && SetsOff(before, after) && OnScreen(after, level)) {
        events->Note(GameEvent::MoverStarted);
    }
}

bool IsTorch(float kind) {
    return kind == kTorchCode || kind == kTorchFlickerCode;
}

// How many elements ahead the update pass asks for records.
constexpr std::size_t kLookAhead = 8;

// Asks for both cache lines a record may span.
void Prefetch(const level::Element* record) {
    __builtin_prefetch(record, 1);
    __builtin_prefetch(reinterpret_cast<const char*>(record) + sizeof(level::Element) - 1, 1);
}

}  // namespace

void SensorTrigger(const level::Element& element, level::Level& level) {
    if (element.kind == kSensorCode) {
        level.triggeredLink = LinkNumber(element.link);
    }
}

void SwitchPress(level::Element& element, level::Level& level) {
    if (element.kind == kSwitchCode) {
        element.motion = 1.0f;
        level.triggeredLink = LinkNumber(element.link);
    }
}

void UpdateElements(level::Level& level, UpdateSchedule& schedule, runtime::Random& random,
                    PassEvents* events) {
    // The trigger is read once: nothing in the pass changes it, and the float it is compared
    // with is the same for every element.
    const float triggered = static_cast<float>(level.triggeredLink);

    // The pass visits only the elements awake and those woken by the trigger (see
    // update_schedule.h), in list order, so the torches take their random numbers as they
    // always did.
    schedule.Refresh(level);
    level::ElementIndex& index = level::IndexOf(level);
    // Elements that moved like clockwork while waiting for this trigger are updated from here on.
    schedule.Trigger(level, triggered);
    schedule.AdmitWoken();
    std::vector<std::int32_t>& triggeredNow = schedule.TriggeredList();
    schedule.TakeWaitingFor(triggered, triggeredNow);
    std::sort(triggeredNow.begin(), triggeredNow.end());
    std::vector<std::int32_t>& awake = schedule.Awake();
    std::vector<std::int32_t>& stillAwake = schedule.StillAwakeList();
    stillAwake.clear();

    std::size_t a = 0;
    std::size_t t = 0;
    while (a < awake.size() || t < triggeredNow.size()) {
        const bool fromAwake =
            t == triggeredNow.size() || (a < awake.size() && awake[a] < triggeredNow[t]);
        const std::int32_t i = fromAwake ? awake[a++] : triggeredNow[t++];
        if (a + kLookAhead < awake.size()) {
            // The awake elements lie scattered over a large level's list: their records are
            // asked for from memory some elements ahead, so that a pass does not wait for each.
            const std::int32_t ahead = awake[a + kLookAhead];
            Prefetch(&level.elements[static_cast<std::size_t>(ahead)]);
            index.PrefetchPlace(ahead);
        }
        level::Element& element = level.elements[static_cast<std::size_t>(i)];
        const ChangingFields before = ChangingFields::Of(element);
        const UpdateOutcome outcome = UpdateRecord(element, triggered, random);
        const ChangingFields after = ChangingFields::Of(element);
        const bool unchanged = after.Same(before);
        NoteSettingOff(before, element, level, events);
        if (!unchanged) {
            // A record that kept its position (a pause counted, a turn) stays under its cell.
            if (after.SamePosition(before)) {
                index.NoteChange(i);
            } else {
                index.Moved(i, element);
            }
        }
        if (unchanged && !outcome.linkStarted && !IsTorch(before.Kind())) {
            // A trigger of its link would change it only where the link start finds it not
            // under way already.
            schedule.Sleep(i, element.link,
                           element.kind != kSensorCode && outcome.motionBeforeLinkStart != 1.0f);
        } else {
            schedule.KeepAwake(i);
            stillAwake.push_back(i);
        }
    }
    awake.swap(stillAwake);
    schedule.CountPass();
}

void UpdateElement(level::Element& element, float triggered, runtime::Random& random) {
    UpdateRecord(element, triggered, random);
}

void TorchStep(level::Element& element, runtime::Random& random) {
    // A steady torch may flicker; a flickering one (including one that just began to) may
    // steady again, each with a fresh draw of 0..5.
    if (element.kind == kTorchCode && random.Next(5) == 0) {
        element.kind = kTorchFlickerCode;
    }
    if (element.kind == kTorchFlickerCode && random.Next(5) == 0) {
        element.kind = kTorchCode;
    }
}

}  // namespace tessaron::game
