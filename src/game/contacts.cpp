#include "game/contacts.h"

#include <cstdint>
#include <limits>

#include "game/geometry.h"

namespace tessaron::game {

namespace {

using level::Code;
using level::ElementKind;

constexpr float kTakenDisk = level::TakenCode(Code(ElementKind::Disk));

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
    // Any code above the pickups' base counts; a taken pickup names no picture and so has no
    // mask the ball could touch.
    if (element.kind > level::kPickupBase) {
        services.sound.Play(kPickupSound);
        if (element.kind == Code(ElementKind::Goal)) {
            services.Note(GameEvent::GoalTaken);
        } else if (element.kind == Code(ElementKind::Disk)) {
            services.Note(GameEvent::DiskTaken);
        } else {
            services.Note(GameEvent::CoinTaken);
        }
        const float points = level::PickupPoints(element.kind);
        if (points != level::kDiskPoints) {
            level.score = AddPoints(level.score, RoundToPixel(points));
        }
        element.kind = level::TakenCode(element.kind);
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
    if (level::WearsAway(element.kind)) {
        element.kind = element.kind - level::kBushWear;
    }
}

}  // namespace tessaron::game
