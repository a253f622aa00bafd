#include "game/save_points.h"

#include <utility>

#include "game/geometry.h"
#include "game/simulation.h"

namespace tessaron::game {

namespace {

// A value as the save point keeps it: the nearest whole number, read back as a float.
float Rounded(float value) { return static_cast<float>(RoundToPixel(value)); }

}  // namespace

bool SavePointFile::Store(const level::Level& level, const Player& player) {
    return StoreSavePoint(level, player, files_);
}

bool SavePointFile::Restore(level::Level& level, Player& player) {
    return RestoreSavePoint(level, player, files_);
}

bool SavePointMemory::Store(const level::Level& level, const Player& player) {
    auto kept = std::make_shared<Kept>();
    kept->viewX = Rounded(level.viewX);
    kept->viewY = Rounded(level.viewY);
    kept->velocityX = Rounded(player.velocityX);
    kept->velocityY = Rounded(player.velocityY);
    kept->elements = level.elements;
    for (level::Element& element : kept->elements) {
        for (int field = 0; field < level::kElementFieldCount; ++field) {
            float& value = level::Field(element, field);
            value = Rounded(value);
        }
    }
    kept_ = std::move(kept);
    return true;
}

bool SavePointMemory::SameAs(const SavePointMemory& other) const {
    if (kept_ == other.kept_) {
        return true;
    }
    if (!kept_ || !other.kept_) {
        return false;
    }
    const Kept& a = *kept_;
    const Kept& b = *other.kept_;
    // Every kept value is a whole number: no -0 and no NaN, so == is exact.
    return a.viewX == b.viewX && a.viewY == b.viewY && a.velocityX == b.velocityX &&
           a.velocityY == b.velocityY && a.elements == b.elements;
}

bool SavePointMemory::Restore(level::Level& level, Player& player) {
    if (!kept_) {
        return false;
    }
    level.viewX = kept_->viewX;
    level.viewY = kept_->viewY;
    player.velocityX = kept_->velocityX;
    player.velocityY = kept_->velocityY;
    level::ReplaceElements(level, kept_->elements);
    return true;
}

}  // namespace tessaron::game
