// Painting on the map: the brush cell under the mouse, the paint of a brush square or of any
// rectangle of cells, and the elements a rectangle of cells holds.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/edit_history.h"
#include "editor/paint_settings.h"
#include "level/level.h"

namespace tessaron::editor {

// The cell at the brush's top-left corner.
struct BrushCell {
    std::int32_t column = 0;
    std::int32_t row = 0;

    bool operator==(const BrushCell&) const = default;
};

// A rectangle of cells, both corners included.
struct CellRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    // The rectangle that has these two cells at opposite corners.
    static CellRect Spanning(BrushCell a, BrushCell b);
    std::int64_t Width() const { return std::int64_t{right} - left + 1; }
    std::int64_t Height() const { return std::int64_t{bottom} - top + 1; }
    bool Contains(std::int64_t column, std::int64_t row) const {
        return left <= column && column <= right && top <= row && row <= bottom;
    }
    bool operator==(const CellRect&) const = default;
};

// The brush cell under a play-screen point: ceil((mouse - view + 20) / 40 - 1) per axis, in
// single precision as the view offset is. The pixel on a drawn cell's left edge selects the
// cell to its left; the pixel just right of a cell's last one still selects that cell.
BrushCell BrushCellAt(std::int32_t mouseX, std::int32_t mouseY, float viewX, float viewY);

// The brush size as painting uses it: always 1..8, whatever the settings hold.
std::int64_t BrushSize(const PaintSettings& paint);

// The brush square of the paint settings' brush size with its top-left cell at `brush`.
CellRect BrushSquare(const PaintSettings& paint, BrushCell brush);

// The places in the element list of the elements whose column and row, rounded to whole cells,
// lie in the rectangle, in list order.
void ElementsInCells(const level::Level& level, const CellRect& cells,
                     std::vector<std::int32_t>& out);

// Writes the paint settings whose apply flag is set into every element whose column and row,
// rounded to whole cells, lie in the rectangle: as a brush of size 1 would in each of its cells.
// Returns the number of elements painted; with `changes`, appends each element whose record the
// paint changed, in list order.
int PaintCells(level::Level& level, const PaintSettings& paint, const CellRect& cells,
               std::vector<CellChange>* changes = nullptr);

// Writes the paint settings whose apply flag is set into every element whose column and row,
// rounded to whole cells, lie in the brush square of the brush size at the brush cell under the
// mouse. Returns the number of elements painted (written or not, by the flags). With `changes`,
// appends each element whose record the paint changed, in list order: one step of the history.
int Paint(level::Level& level, const PaintSettings& paint, std::int32_t mouseX, std::int32_t mouseY,
          std::vector<CellChange>* changes = nullptr);

}  // namespace tessaron::editor
