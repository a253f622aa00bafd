#include "game/save_points.h"

#include <utility>

#include "game/save_point.h"
#include "game/simulation.h"

namespace tessaron::game {

bool SavePointFile::Store(const level::Level& level, const Player& player) {
    return StoreSavePoint(level, player, files_);
}

bool SavePointFile::Restore(level::Level& level, Player& player) {
    return RestoreSavePoint(level, player, files_);
}

bool SavePointMemory::Store(const level::Level& level, const Player& player) {
    auto kept = std::make_shared<std::vector<std::uint8_t>>();
    EncodeSavePoint(level, player, *kept);
    kept_ = std::move(kept);
    return true;
}

bool SavePointMemory::SameAs(const SavePointMemory& other) const {
    if (kept_ == other.kept_) {
        return true;
    }
    return kept_ && other.kept_ && *kept_ == *other.kept_;
}

std::size_t SavePointMemory::SharedBytes() const {
    return kept_ ? sizeof(*kept_) + kept_->capacity() : 0;
}

bool SavePointMemory::Restore(level::Level& level, Player& player) {
    return kept_ && ApplySavePoint(*kept_, level, player) == SavePointUse::Restored;
}

}  // namespace tessaron::game
