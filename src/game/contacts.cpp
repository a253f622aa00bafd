#include "game/contacts.h"

#include <cstdint>
#include <limits>

#include "game/geometry.h"

namespace tessaron::game {

namespace {

using level::Code;
using level::ElementKind;

// Codes above this are pickups; the pickup's points are its code minus this.
constexpr float kPickupBase = 4000.0f;
constexpr float kDiskPoints = 99.0f;
constexpr float kTakenOffset = static_cast<float>(level::kTakenOffset);
constexpr float kTakenDisk = Code(ElementKind::Disk) + kTakenOffset;
// Bush stages lie above 1009 and below 1026; each contact takes 5 off.
constexpr float kBushLowest = 1009.0f;
constexpr float kBushHighest = 1026.0f;
constexpr float kBushStage = 5.0f;

std::int32_t AddPoints(std::int32_t score, std::int32_t points) {
    // A corrupt level could bring absurd codes; the score stops at the 32-bit limits instead of
    // wrapping around.
    const std::int64_t sum = static_cast<std::int64_t>(score) + points;
    if (sum > std::numeric_limits<std::int32_t>::max()) {
        return std::numeric_limits<std::int32_t>::max();
    }
    if (sum < std::numeric_limits<std::int32_t>::min()) {
        return std::numeric_limits<std::int32_t>::min();
    }
    return static_cast<std::int32_t>(sum);
}

}  // namespace

void PickupEffect(level::Element& element, level::Level& level, const Player& player,
                  const Services& services) {
    if (element.kind > kPickupBase) {
        services.sound.Play(kPickupSound);
        if (element.kind == Code(ElementKind::Goal)) {
            services.Note(GameEvent::GoalTaken);
        } else if (element.kind == Code(ElementKind::Disk)) {
            services.Note(GameEvent::DiskTaken);
        } else {
            services.Note(GameEvent::CoinTaken);
        }
        if (element.kind - kPickupBase != kDiskPoints) {
            level.score = AddPoints(level.score, RoundToPixel(element.kind - kPickupBase));
        }
        element.kind = element.kind + kTakenOffset;
    }
    if (element.kind == kTakenDisk) {
        level.startX = RoundToPixel(level.viewX);
        level.startY = RoundToPixel(level.viewY);
        if (!services.savePoints.Store(level, player) && services.savePointNotStored) {
            services.savePointNotStored(services.savePoints.Problem());
        }
    }
}

bool SpikeEffect(const level::Element& element, level::Level& level, Player& player,
                 SavePointStore& savePoints) {
    if (element.kind != Code(ElementKind::Spikes)) {
        return false;
    }
    return savePoints.Restore(level, player);
}

void BushEffect(level::Element& element) {
    if (element.kind > kBushLowest && element.kind < kBushHighest) {
        element.kind = element.kind - kBushStage;
    }
}

}  // namespace tessaron::game
