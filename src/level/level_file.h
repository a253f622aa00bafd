// Level files: a 16-byte header and a 40-byte record per cell at byte (column + 300 * row) * 40,
// eight 32-bit little-endian values five bytes apart in each record.
#pragma once

#include <cstdint>
#include <string>

#include "level/level.h"
#include "runtime/files.h"

namespace tessaron::level {

// The layout, spelled out once.
namespace level_file {
inline constexpr std::int64_t kHeaderSize = 16;
inline constexpr std::int64_t kRowStride = 300;  // cells per row in the file's grid
inline constexpr std::int64_t kRecordSize = 40;
inline constexpr std::int64_t kValueSpacing = 5;  // each value is followed by one unused byte
inline constexpr std::int32_t kMaxColumns = 300;  // wider rows would overlap the next row
inline constexpr std::int64_t kMaxCells = 100000;
// Offsets of the values within a record.
inline constexpr std::int64_t kKind = 0, kLink = 5, kLength = 10, kSpeedX = 15, kSpeedY = 20,
                              kPause1 = 25, kPause2 = 30, kBackground = 35;
// The byte at which the record of cell (column, row) begins.
constexpr std::int64_t RecordOffset(std::int64_t column, std::int64_t row) {
    return (column + kRowStride * row) * kRecordSize;
}
// The length of a file written for a width x height level.
constexpr std::int64_t FileLength(std::int64_t width, std::int64_t height) {
    return (width + kRowStride * height) * kRecordSize + 39;
}
}  // namespace level_file

// The file number the level reader and writer use.
inline constexpr int kLevelFile = 1;
// The level directory as the game names it, relative to the game folder.
inline constexpr const char* kLevelDirectory = "LEVEL\\";

enum class LoadResult {
    Loaded,
    // The requester was cancelled, the file could not be opened, or its header cannot belong to
    // a level of this format. The level in memory is as it was.
    NotLoaded,
};

enum class SaveResult {
    Saved,
    Cancelled,  // nothing written, the level unchanged
    // The file could not be written; an earlier file of that name is intact. The level has been
    // put back into its editable state all the same.
    Failed,
};

// Why the file at path would not be read as a level (it cannot be opened, is too short for a
// header, or its header cannot belong to this format), or an empty string when it would.
std::string LevelFileProblem(runtime::Files& files, const std::string& path);

// Why the level's elements would not make a file that reads back as the same level, or an empty
// string when they would: one element per cell, whose home cells are the level's cells, each
// once. A level the game builds always has them; a level described from outside may not.
std::string CellCoverProblem(const Level& level);

// Reads the level file named by level.levelFileName into the level.
LoadResult ReadLevelFile(Level& level, runtime::Files& files);

// Shows the "Spiel laden" requester, remembers its answer as the level file name, sets the score
// to 0 and reads the file.
LoadResult LoadLevel(Level& level, runtime::Files& files, runtime::Requesters& requesters,
                     const runtime::GameFolder& folder);

// Writes the level to a file, putting it into its editable state first. When it fails and
// problem is given, problem says why.
SaveResult WriteLevelFile(Level& level, runtime::Files& files, const std::string& path,
                          std::string* problem = nullptr);

// Shows the "Spiel speichern" requester, appends ".TXT" to its answer where the name does not end
// in exactly that, remembers it as the level file name and writes the level. A cancelled
// requester changes nothing, the name included.
SaveResult SaveLevel(Level& level, runtime::Files& files, runtime::Requesters& requesters,
                     const runtime::GameFolder& folder, std::string* problem = nullptr);

}  // namespace tessaron::level
