#include "editor/painting.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "editor/controls.h"

namespace tessaron::editor {

namespace {

constexpr std::int32_t kCellSize = 40;
constexpr float kHalfCell = 20.0f;
constexpr int kPreviewOpacity = 100;
constexpr int kMouseDotRadius = 5;
constexpr int kPositionTextOffset = 50;
constexpr runtime::Rgb kWhite{255, 255, 255};

// One axis of the brush cell. Every operand is (or becomes) a 32-bit float, as the view offset
// is, so the cell agrees with the map drawing; the result is already whole and is only clamped
// into 32 bits for a view offset scrolled absurdly far.
std::int32_t BrushAxis(std::int32_t mouse, float view) {
    const float cell = std::ceil(
        (static_cast<float>(mouse) - view + kHalfCell) / static_cast<float>(kCellSize) - 1.0f);
    return runtime::RoundToInt(cell);
}

// The brush size as painting uses it: always 1..8, whatever the settings hold.
std::int64_t BrushSize(const PaintSettings& paint) {
    return std::clamp(paint.brushSize, control::kSmallestBrush, control::kLargestBrush);
}

// The screen pixel of a cell's top-left corner along one axis: 40 * cell + view - 20, rounded.
int CellCorner(std::int64_t cell, float view) {
    return runtime::RoundToInt(static_cast<float>(kCellSize * cell) + view - kHalfCell);
}

bool InBrush(std::int64_t value, std::int64_t first, std::int64_t size) {
    return first <= value && value < first + size;
}

// "Position : (" column "|" row ")", written into a buffer of the caller's.
std::string_view PositionText(char (&buffer)[64], BrushCell cell) {
    constexpr std::string_view kPrefix = "Position : (";
    char* out = std::copy(kPrefix.begin(), kPrefix.end(), buffer);
    char* const end = buffer + sizeof buffer;
    // Two 64-bit numbers and the punctuation always fit; the checks keep every write inside.
    out = std::to_chars(out, end, cell.column).ptr;
    if (out != end) {
        *out++ = '|';
    }
    out = std::to_chars(out, end, cell.row).ptr;
    if (out != end) {
        *out++ = ')';
    }
    return std::string_view(buffer, static_cast<std::size_t>(out - buffer));
}

}  // namespace

BrushCell BrushCellAt(std::int32_t mouseX, std::int32_t mouseY, float viewX, float viewY) {
    return BrushCell{BrushAxis(mouseX, viewX), BrushAxis(mouseY, viewY)};
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
        level::ElementChanged(level, index);
    }
    return painted;
}

void DrawBrushPreview(const level::Level& level, const PaintSettings& paint, std::int32_t mouseX,
                      std::int32_t mouseY, runtime::PlayScreen& screen) {
    const BrushCell brush = BrushCellAt(mouseX, mouseY, level.viewX, level.viewY);
    const std::int64_t size = BrushSize(paint);

    // What a click would put down, whatever the apply boxes say, column by column.
    screen.BeginScene();
    for (std::int64_t i = 0; i < size; ++i) {
        const int x = CellCorner(std::int64_t{brush.column} + i, level.viewX);
        for (std::int64_t j = 0; j < size; ++j) {
            const int y = CellCorner(std::int64_t{brush.row} + j, level.viewY);
            screen.DrawBlended(paint.backgroundChoice, x, y, kPreviewOpacity);
            screen.DrawBlended(paint.kindChoice, x, y, kPreviewOpacity);
        }
    }
    screen.EndScene();

    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kOutline);
    const int extent = static_cast<int>(kCellSize * size);
    screen.Rectangle(CellCorner(brush.column, level.viewX), CellCorner(brush.row, level.viewY),
                     extent, extent, kWhite);
    screen.SetDrawingMode(0);
    screen.Circle(mouseX, mouseY, kMouseDotRadius, kWhite);
    screen.SetDrawingMode(runtime::kTransparentText);
    screen.SetFrontColour(kWhite);
    screen.UseFont(0);
    const std::int64_t textX = std::min<std::int64_t>(std::int64_t{mouseX} + kPositionTextOffset,
                                                      std::numeric_limits<std::int32_t>::max());
    screen.SetTextPosition(static_cast<int>(textX), mouseY);
    char buffer[64];
    screen.DrawText(PositionText(buffer, brush));
    screen.EndDrawing();
}

}  // namespace tessaron::editor
