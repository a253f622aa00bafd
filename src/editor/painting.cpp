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
constexpr int kPreviewMarginCells = 8;
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

}  // namespace tessaron::editor
