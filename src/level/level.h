// The level in memory: its level-wide values and the list of its cells.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "level/element.h"
#include "level/element_index.h"

namespace tessaron::level {

// The cells of a level in list order: rows 1..H, within a row columns 1..W. The list is only
// ever replaced whole (ReplaceElements); the passes find the records that matter to
// them through the level's indexes (element_index.h).

// The sentinel that startX holds until a level file has been read.
inline constexpr std::int32_t kNoStartOffset = 1000000;

enum class Mode : int { Play = 0, Editor = 1 };

// A start view offset, as a level file's header holds it: play begins with the view offset
// (x, y), which puts the ball's centre at the world point (512 - x, 384 - y).
struct StartOffset {
    std::int32_t x = 0;
    std::int32_t y = 0;

    bool operator==(const StartOffset&) const = default;
};

// The level-wide numbers, plain values that can be copied and compared as one. viewX/viewY is
// the view offset: a world point (wx, wy) appears on the play screen at (wx + viewX, wy + viewY).
struct LevelValues {
    std::int32_t levelWidth = 0;
    std::int32_t levelHeight = 0;
    float viewX = -10.0f;
    float viewY = -100.0f;
    std::int32_t startX = kNoStartOffset;
    std::int32_t startY = 0;
    std::int32_t score = 0;
    std::int32_t triggeredLink = -1;
};

// The level: its numbers, its file name and its cells.
struct Level : LevelValues {
    std::string levelFileName;
    ElementList elements;
    // Counts the times the element list was replaced whole (a level read, a new level, a save
    // point restored). Whatever refers to records by their place in the list, as the editor's
    // history does, learns from it that those records are gone. ReplaceElements keeps it true.
    std::uint64_t listGeneration = 0;
    // Built from the list when first needed after a replacement, and kept true since: a cache
    // of the list, so also a level read as const keeps it (IndexOf).
    mutable ElementIndex index;
    // The start view offset in the level's file as it was read or last written; none for a
    // level that has no file yet.
    std::optional<StartOffset> fileStart;
    // A start the author placed in the editor. A save writes it into the header; without it a
    // save writes the view offset of the moment, as it always has.
    std::optional<StartOffset> placedStart;
};

// Where the ball starts when the level's file is read and played: the placed start, else the
// file's own; none for a new level that has neither.
std::optional<StartOffset> LevelStart(const Level& level);

// Puts a list built anew in the place of the level's element list, and counts the replacement.
void ReplaceElements(Level& level, ElementList list);

// Appends a record after the list's current record, which is always the last one: the list is
// built in call order. Each argument is stored converted to float; nothing is validated.
void AddCell(ElementList& list, std::int32_t background, std::int32_t homeColumn,
             std::int32_t homeRow, std::int32_t kind, std::int32_t column, std::int32_t row,
             std::int32_t motion, std::int32_t link, std::int32_t travelled, std::int32_t length,
             std::int32_t speedX, std::int32_t speedY, std::int32_t pauseCount, std::int32_t pause1,
             std::int32_t pause2);

// The kind an element has in the level's editable state: a taken pickup, goal or disk is back
// (its code less 1000), a worn bush has grown back.
float EditableKind(float kind);

// Puts a played level back into its editable state: every element back in its home cell,
// runtime fields zero, taken pickups and worn bushes back; triggeredLink -1, score 0.
void RestoreEditState(Level& level);

// Clears the list and builds a width x height grid of empty air cells with link -1 and one
// brick at column 13, row 15. The view offset is left as it is.
void BuildFreshGrid(ElementList& list, std::int32_t width, std::int32_t height);

}  // namespace tessaron::level
