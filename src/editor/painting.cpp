#include "editor/painting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>

#include "editor/controls.h"
#include "runtime/files.h"

namespace tessaron::editor {

namespace {

constexpr std::int32_t kCellSize = 40;
constexpr float kHalfCell = 20.0f;

// One axis of the brush cell. Every operand is (or becomes) a 32-bit float, as the view offset
// is, so the cell agrees with the map drawing; the result is already whole and is only clamped
// into 32 bits for a view offset scrolled absurdly far.
std::int32_t BrushAxis(std::int32_t mouse, float view) {
    const float cell = std::ceil(
        (static_cast<float>(mouse) - view + kHalfCell) / static_cast<float>(kCellSize) - 1.0f);
    return runtime::RoundToInt(cell);
}

}  // namespace

std::int64_t BrushSize(const PaintSettings& paint) {
    return std::clamp(paint.brushSize, control::kSmallestBrush, control::kLargestBrush);
}

BrushCell BrushCellAt(std::int32_t mouseX, std::int32_t mouseY, float viewX, float viewY) {
    return BrushCell{BrushAxis(mouseX, viewX), BrushAxis(mouseY, viewY)};
}

CellRect CellRect::Spanning(BrushCell a, BrushCell b) {
    return CellRect{std::min(a.column, b.column), std::min(a.row, b.row),
                    std::max(a.column, b.column), std::max(a.row, b.row)};
}

CellRect BrushSquare(const PaintSettings& paint, BrushCell brush) {
    const std::int64_t last = BrushSize(paint) - 1;
    const auto end = [last](std::int32_t first) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(first + last, std::numeric_limits<std::int32_t>::max()));
    };
    return CellRect{brush.column, brush.row, end(brush.column), end(brush.row)};
}

void ElementsInCells(const level::Level& level, const CellRect& cells,
                     std::vector<std::int32_t>& out) {
    // The level's index names every element that may lie near the cells (with a cell of margin
    // for the rounding); each is then tested exactly by its own rounded position, so the list
    // order does not matter, and cells outside the level simply find no element.
    const auto screen = [](std::int32_t cell, float view) {
        return static_cast<float>(static_cast<double>(kCellSize) * cell + view);
    };
    const level::ScreenBox box{screen(cells.left, level.viewX), screen(cells.top, level.viewY),
                               screen(cells.right, level.viewX), screen(cells.bottom, level.viewY)};
    level::IndexOf(level).Near(level::CellGrid::Position::Current, box, level.viewX, level.viewY,
                               out);
    std::erase_if(out, [&level, &cells](std::int32_t index) {
        const level::Element& e = level.elements[static_cast<std::size_t>(index)];
        return !cells.Contains(runtime::RoundToInt(e.column), runtime::RoundToInt(e.row));
    });
}

int PaintCells(level::Level& level, const PaintSettings& paint, const CellRect& cells,
               std::vector<CellChange>* changes) {
    std::vector<std::int32_t> found;
    ElementsInCells(level, cells, found);
    for (const std::int32_t index : found) {
        level::Element& e = level.elements[static_cast<std::size_t>(index)];
        const level::Element before = e;
        if (paint.applyBackground != 0) {
            e.background = static_cast<float>(paint.backgroundChoice);
        }
        if (paint.applyKind != 0) {
            e.kind = static_cast<float>(paint.kindChoice);
        }
        if (paint.applyLink != 0) {
            e.link = static_cast<float>(paint.linkValue);
        }
        if (paint.applyLength != 0) {
            e.length = static_cast<float>(paint.lengthValue);
        }
        if (paint.applySpeed != 0) {
            e.speedX = static_cast<float>(paint.speedXValue);
            e.speedY = static_cast<float>(paint.speedYValue);
        }
        if (paint.applyPause1 != 0) {
            e.pause1 = static_cast<float>(paint.pause1Value);
        }
        if (paint.applyPause2 != 0) {
            e.pause2 = static_cast<float>(paint.pause2Value);
        }
        if (changes != nullptr && RecordsDiffer(before, e)) {
            changes->push_back(CellChange{static_cast<std::uint32_t>(index), before, e});
        }
        level::ElementChanged(level, static_cast<std::size_t>(index));
    }
    return static_cast<int>(found.size());
}

int Paint(level::Level& level, const PaintSettings& paint, std::int32_t mouseX, std::int32_t mouseY,
          std::vector<CellChange>* changes) {
    return PaintCells(level, paint,
                      BrushSquare(paint, BrushCellAt(mouseX, mouseY, level.viewX, level.viewY)),
                      changes);
}

}  // namespace tessaron::editor
