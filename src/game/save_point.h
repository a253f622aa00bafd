// The save point: its bytes, which whoever keeps save points elsewhere (in memory, for an
// automatic player) uses without a file, and the save-point file that holds them.
//
// Layout: viewX, viewY, velocityX, velocityY, the record count N, then N records of the fifteen
// Element fields in their order, every value a rounded 32-bit little-endian integer. After the
// records a mark names the level the save point belongs to: the tag "TsrnMark", a 64-bit hash
// of the level's editable state, the length of the level's file name and that name's bytes.
// Readers that know only the records ignore the mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "game/player.h"
#include "level/level.h"
#include "runtime/files.h"

namespace tessaron::game {

namespace save_point {
inline constexpr std::int64_t kHeaderValues = 4;  // viewX, viewY, velocityX, velocityY
inline constexpr std::int64_t kValueBytes = 4;
inline constexpr std::int64_t kCountOffset = kHeaderValues * kValueBytes;              // 16
inline constexpr std::int64_t kRecordsOffset = kCountOffset + kValueBytes;             // 20
inline constexpr std::int64_t kRecordBytes = level::kElementFieldCount * kValueBytes;  // 60
inline constexpr char kMarkTag[8] = {'T', 's', 'r', 'n', 'M', 'a', 'r', 'k'};
// The tag, the hash and the name's length; the name follows.
inline constexpr std::int64_t kMarkFixedBytes = 8 + 8 + 4;
// Longer names are cut to this many bytes in the mark (no file name on any common file system
// is that long).
inline constexpr std::int64_t kMarkNameBytes = 1024;
}  // namespace save_point

// What tells one level, as it was edited, from another: the name of its file (without its
// folder) and a hash of its editable state (what RestoreEditState makes of it, each value
// rounded as the save point stores it, with a torch's two frames taken as one). The same level
// gives the same identity on every machine, whatever has been played in it since it was last
// edited.
struct LevelIdentity {
    std::uint64_t stateHash = 0;
    std::string fileName;

    bool operator==(const LevelIdentity&) const = default;
};
LevelIdentity IdentifyLevel(const level::Level& level);

// A value as a save point brings it back: rounded to a whole number (halves to even), as float.
float RestoredValue(float value);
// An element record as a save point brings it back, every field rounded.
level::Element RestoredRecord(const level::Element& element);

// The save point of the game as it stands: replaces the bytes with its header, records and mark.
void EncodeSavePoint(const level::Level& level, const Player& player,
                     std::vector<std::uint8_t>& bytes);

// The most bytes a save point of this level can have: a longer file is none of this level's.
std::int64_t LargestSavePoint(const level::Level& level);

enum class SavePointUse {
    Restored,
    // Shorter than its header and records, a negative count, bytes after the records that are
    // no whole mark, or records that are not the level's elements: nothing changed.
    Damaged,
    // The save point of another level, or of this one before it was edited: nothing changed.
    // A file that ends exactly after its records (as older versions wrote them) counts as this
    // level's only when it holds one record per cell of it.
    OtherLevel,
};

// Brings back the save point held in bytes, when it belongs to the level in memory: the view
// offset, the velocities and the element list, which it replaces whole. The whole of the bytes
// is checked first: one record per element of the level, in its order, each with that element's
// home cell and a position within the reach of its displacement.
SavePointUse ApplySavePoint(std::span<const std::uint8_t> bytes, level::Level& level,
                            Player& player);

// The save-point file "Diskette.txt" in the game folder.
inline constexpr const char* kSavePointFile = "Diskette.txt";
inline constexpr int kSavePointFileNumber = 1;

// Writes the view offset, the velocities and every element, rounded, to the save-point file.
// False when the file could not be written (an earlier one is then kept as it was).
bool StoreSavePoint(const level::Level& level, const Player& player, runtime::Files& files);

// Brings back what the save-point file holds. A missing, short or inconsistent file leaves the
// game as it was and returns false.
bool RestoreSavePoint(level::Level& level, Player& player, runtime::Files& files);

}  // namespace tessaron::game
