#include "editor/brush_preview.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>

#include "editor/painting.h"

namespace tessaron::editor {

namespace {

constexpr std::int32_t kCellSize = 40;
constexpr float kHalfCell = 20.0f;
constexpr int kPreviewOpacity = 100;
constexpr int kPreviewMarginCells = 8;
constexpr int kMouseDotRadius = 5;
constexpr int kPositionTextOffset = 50;
constexpr runtime::Rgb kWhite{255, 255, 255};
constexpr runtime::Rgb kSelectionColour{255, 220, 0};
constexpr runtime::Rgb kSelectionShadow{0, 0, 0};

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
    DrawPaintPreview(level, paint, BrushSquare(paint, brush), brush, mouseX, mouseY, screen);
}

void DrawPaintPreview(const level::Level& level, const PaintSettings& paint, const CellRect& cells,
                      BrushCell shown, std::int32_t mouseX, std::int32_t mouseY,
                      runtime::PlayScreen& screen) {
    // What a paint would put down, whatever the apply boxes say, column by column; cells that
    // cannot show on the screen are left out (pickups may be drawn larger than their cell, so
    // a few cells beyond each edge still count).
    const auto visible = [](std::int32_t first, std::int32_t last, float view, int extent,
                            std::int64_t& from, std::int64_t& to) {
        const double margin = kPreviewMarginCells * kCellSize;
        const double lowest = std::floor((-double{view} - margin) / kCellSize);
        const double highest = std::ceil((extent - double{view} + margin) / kCellSize);
        from = static_cast<std::int64_t>(std::max<double>(first, lowest));
        to = static_cast<std::int64_t>(std::min<double>(last, highest));
    };
    std::int64_t firstColumn, lastColumn, firstRow, lastRow;
    visible(cells.left, cells.right, level.viewX, runtime::PlayScreen::kWidth, firstColumn,
            lastColumn);
    visible(cells.top, cells.bottom, level.viewY, runtime::PlayScreen::kHeight, firstRow, lastRow);
    screen.BeginScene();
    for (std::int64_t column = firstColumn; column <= lastColumn; ++column) {
        const int x = CellCorner(column, level.viewX);
        for (std::int64_t row = firstRow; row <= lastRow; ++row) {
            const int y = CellCorner(row, level.viewY);
            screen.DrawBlended(paint.backgroundChoice, x, y, kPreviewOpacity);
            screen.DrawBlended(paint.kindChoice, x, y, kPreviewOpacity);
        }
    }
    screen.EndScene();

    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kOutline);
    screen.Rectangle(CellCorner(cells.left, level.viewX), CellCorner(cells.top, level.viewY),
                     static_cast<int>(kCellSize * cells.Width()),
                     static_cast<int>(kCellSize * cells.Height()), kWhite);
    screen.SetDrawingMode(0);
    screen.Circle(mouseX, mouseY, kMouseDotRadius, kWhite);
    screen.SetDrawingMode(runtime::kTransparentText);
    screen.SetFrontColour(kWhite);
    screen.UseFont(0);
    const std::int64_t textX = std::min<std::int64_t>(std::int64_t{mouseX} + kPositionTextOffset,
                                                      std::numeric_limits<std::int32_t>::max());
    screen.SetTextPosition(static_cast<int>(textX), mouseY);
    char buffer[64];
    screen.DrawText(PositionText(buffer, shown));
    screen.EndDrawing();
}

void DrawMapPreview(const MapTools& tools, const level::Level& level, const PaintSettings& paint,
                    std::int32_t mouseX, std::int32_t mouseY, runtime::PlayScreen& screen) {
    if (const std::optional<MapTools::Rectangle> rectangle = tools.RectangleUnderWay()) {
        DrawPaintPreview(level, paint, rectangle->cells, rectangle->corner, mouseX, mouseY, screen);
    } else {
        DrawBrushPreview(level, paint, mouseX, mouseY, screen);
    }
    const std::optional<CellRect> selection = tools.Selection(level);
    if (!selection) {
        return;
    }
    // A frame of two lines, light outside and dark inside, that shows on any picture. Its
    // corners are held near the screen, so that a selection far larger than it still frames.
    const auto corner = [](std::int64_t cell, float view, int extent) {
        const double pixel = static_cast<double>(kCellSize) * cell + view - kHalfCell;
        return static_cast<int>(std::clamp<double>(pixel, -8.0, extent + 8.0));
    };
    const int left = corner(selection->left, level.viewX, runtime::PlayScreen::kWidth);
    const int top = corner(selection->top, level.viewY, runtime::PlayScreen::kHeight);
    const int right =
        corner(std::int64_t{selection->right} + 1, level.viewX, runtime::PlayScreen::kWidth);
    const int bottom =
        corner(std::int64_t{selection->bottom} + 1, level.viewY, runtime::PlayScreen::kHeight);
    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kOutline);
    screen.Rectangle(left, top, right - left, bottom - top, kSelectionColour);
    screen.Rectangle(left + 1, top + 1, right - left - 2, bottom - top - 2, kSelectionShadow);
    screen.Rectangle(left - 1, top - 1, right - left + 2, bottom - top + 2, kSelectionColour);
    screen.EndDrawing();
}

}  // namespace tessaron::editor
