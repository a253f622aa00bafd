#include "editor/painting.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "editor/controls.h"
#include "level/cell_geometry.h"
#include "runtime/numbers.h"

namespace tessaron::editor {

namespace {

using level::kHalfCell;
constexpr std::int32_t kCellSize = level::kCellPixels;

// One axis of the brush cell. Every operand is (or becomes) a 32-bit float, as the view offset
// is, so the cell agrees with the map drawing; the result is already whole and is only clamped
// into 32 bits for a view offset scrolled absurdly far.
std::int32_t BrushAxis(std::int32_t mouse, float view) {
    const float cell = std::ceil(
        (static_cast<float>(mouse) - view + kHalfCell) / static_cast<float>(kCellSize) - 1.0f);
    return runtime::RoundToInt(cell);
}

bool InBrush(std::int64_t value, std::int64_t first, std::int64_t size) {
    return first <= value && value < first + size;
}

}  // namespace

BrushCell BrushCellAt(std::int32_t mouseX, std::int32_t mouseY, float viewX, float viewY) {
    return BrushCell{BrushAxis(mouseX, viewX), BrushAxis(mouseY, viewY)};
}

std::int64_t BrushSize(const PaintSettings& paint) {
    return std::clamp(paint.brushSize, control::kSmallestBrush, control::kLargestBrush);
}

int Paint(level::Level& level, const PaintSettings& paint, std::int32_t mouseX, std::int32_t mouseY,
          std::vector<CellChange>* changes) {
    const BrushCell brush = BrushCellAt(mouseX, mouseY, level.viewX, level.viewY);
    const std::int64_t size = BrushSize(paint);
    int painted = 0;
    // Each element is tested once by its own rounded position, so the list order does not
    // matter, and cells of the brush outside the level simply find no element.
    for (std::size_t index = 0; index < level.elements.size(); ++index) {
        level::Element& e = level.elements[index];
        if (!InBrush(runtime::RoundToInt(e.column), brush.column, size) ||
            !InBrush(runtime::RoundToInt(e.row), brush.row, size)) {
            continue;
        }
        ++painted;
        const level::Element before = e;
        if (paint.applyBackground) {
            e.background = static_cast<float>(paint.backgroundChoice);
        }
        if (paint.applyKind) {
            e.kind = static_cast<float>(paint.kindChoice);
        }
        if (paint.applyLink) {
            e.link = static_cast<float>(paint.linkValue);
        }
        if (paint.applyLength) {
            e.length = static_cast<float>(paint.lengthValue);
        }
        if (paint.applySpeed) {
            e.speedX = static_cast<float>(paint.speedXValue);
            e.speedY = static_cast<float>(paint.speedYValue);
        }
        if (paint.applyPause1) {
            e.pause1 = static_cast<float>(paint.pause1Value);
        }
        if (paint.applyPause2) {
            e.pause2 = static_cast<float>(paint.pause2Value);
        }
        if (changes != nullptr && RecordsDiffer(before, e)) {
            changes->push_back(CellChange{static_cast<std::uint32_t>(index), before, e});
        }
        level::ElementChanged(level, index);
    }
    return painted;
}

}  // namespace tessaron::editor
