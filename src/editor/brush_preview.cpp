#include "editor/brush_preview.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "editor/painting.h"
#include "level/cell_geometry.h"
#include "runtime/numbers.h"

namespace tessaron::editor {

namespace {

using level::kHalfCell;
constexpr std::int32_t kCellSize = level::kCellPixels;
constexpr int kPreviewOpacity = 100;
constexpr int kMouseDotRadius = 5;
constexpr int kPositionTextOffset = 50;
constexpr runtime::Rgb kWhite{255, 255, 255};

// The screen pixel of a cell's top-left corner along one axis: 40 * cell + view - 20, rounded.
int CellCorner(std::int64_t cell, float view) {
    return runtime::RoundToInt(static_cast<float>(kCellSize * cell) + view - kHalfCell);
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
