// Painting on the map: the brush cell under the mouse and the paint of a brush square.
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

// The brush cell under a play-screen point: ceil((mouse - view + 20) / 40 - 1) per axis, in
// single precision as the view offset is. The pixel on a drawn cell's left edge selects the
// cell to its left; the pixel just right of a cell's last one still selects that cell.
BrushCell BrushCellAt(std::int32_t mouseX, std::int32_t mouseY, float viewX, float viewY);

// The brush size as painting uses it: always 1..8, whatever the settings hold.
std::int64_t BrushSize(const PaintSettings& paint);

// Writes the paint settings whose apply flag is set into every element whose column and row,
// rounded to whole cells, lie in the brush square of the brush size at the brush cell under the
// mouse. Returns the number of elements painted (written or not, by the flags). With `changes`,
// appends each element whose record the paint changed, in list order: one step of the history.
int Paint(level::Level& level, const PaintSettings& paint, std::int32_t mouseX, std::int32_t mouseY,
          std::vector<CellChange>* changes = nullptr);

}  // namespace tessaron::editor
