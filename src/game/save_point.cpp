// The save-point file: the view offset, the velocities and every element record, each value a
// rounded 32-bit little-endian integer.
#include <cstddef>
#include <cstdint>
#include <utility>

#include "game/geometry.h"
#include "game/simulation.h"

namespace tessaron::game {

namespace {

// Layout: four values (viewX, viewY, velocityX, velocityY), the record count, then the
// records of fifteen values each, in the field order of Element.
constexpr std::int64_t kHeaderValues = 4;
constexpr std::int64_t kValueBytes = 4;
constexpr std::int64_t kCountOffset = kHeaderValues * kValueBytes;  // 16
constexpr std::int64_t kRecordsOffset = kCountOffset + kValueBytes;  // 20
constexpr std::int64_t kRecordBytes = level::kElementFieldCount * kValueBytes;  // 60

}  // namespace

bool StoreSavePoint(const level::Level& level, const Player& player, runtime::Files& files) {
    if (!files.Create(kSavePointFileNumber, kSavePointFile)) {
        return false;
    }
    files.WriteInt(RoundToPixel(level.viewX));
    files.WriteInt(RoundToPixel(level.viewY));
    files.WriteInt(RoundToPixel(player.velocityX));
    files.WriteInt(RoundToPixel(player.velocityY));
    files.WriteInt(static_cast<std::int32_t>(level.elements.size()));
    for (const level::Element& element : level.elements) {
        for (int field = 0; field < level::kElementFieldCount; ++field) {
            files.WriteInt(RoundToPixel(level::Field(element, field)));
        }
    }
    return files.Close(kSavePointFileNumber);
}

bool RestoreSavePoint(level::Level& level, Player& player, runtime::Files& files) {
    if (!files.OpenForReading(kSavePointFileNumber, kSavePointFile)) {
        return false;
    }
    // The whole file is checked before anything changes: a missing header, a negative count or
    // a file shorter than its count announces leaves the game as it was. Bytes after the last
    // record are not part of the records.
    const std::int64_t size = files.Size();
    if (size < kRecordsOffset) {
        files.Close(kSavePointFileNumber);
        return false;
    }
    std::int32_t header[kHeaderValues];
    for (std::int32_t& value : header) {
        value = files.ReadInt();
    }
    const std::int32_t count = files.ReadInt();
    if (count < 0 || size < kRecordsOffset + kRecordBytes * std::int64_t{count}) {
        files.Close(kSavePointFileNumber);
        return false;
    }

    level::ElementList restored;
    restored.reserve(static_cast<std::size_t>(count));
    std::int32_t v[level::kElementFieldCount];
    for (std::int32_t i = 0; i < count; ++i) {
        for (std::int32_t& value : v) {
            value = files.ReadInt();
        }
        level::AddCell(restored, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9],
                       v[10], v[11], v[12], v[13], v[14]);
    }
    files.Close(kSavePointFileNumber);

    level.viewX = static_cast<float>(header[0]);
    level.viewY = static_cast<float>(header[1]);
    player.velocityX = static_cast<float>(header[2]);
    player.velocityY = static_cast<float>(header[3]);
    level::ReplaceElements(level, std::move(restored));
    return true;
}

}  // namespace tessaron::game
