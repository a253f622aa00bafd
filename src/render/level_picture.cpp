#include "render/level_picture.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "render/geometry.h"

namespace tessaron::render {

using runtime::PlayScreen;

namespace {

constexpr int kCellPixels = static_cast<int>(detail::kCellSize);
constexpr int kHalfCellPixels = static_cast<int>(detail::kHalfCell);

}  // namespace

PictureSize LevelPictureSize(const level::Level& level, int scale) {
    if (level.levelWidth <= 0 || level.levelHeight <= 0 || level.elements.empty()) {
        return {};
    }
    // A level file holds at most 300 columns and 100 000 cells, far below the int range here;
    // a level built in memory is held to the same bounds by the 64-bit products.
    const std::int64_t width = std::int64_t{kCellPixels} * level.levelWidth;
    const std::int64_t height = std::int64_t{kCellPixels} * level.levelHeight;
    if (width > INT32_MAX || height > INT32_MAX) {
        return {};
    }
    return {runtime::ReducedRows::ReducedSize(static_cast<int>(width), scale),
            runtime::ReducedRows::ReducedSize(static_cast<int>(height), scale)};
}

void DrawLevelPicture(const level::Level& level, const LevelPictureOptions& options,
                      PlayScreen& screen, runtime::PictureRows& rows) {
    const PictureSize size = LevelPictureSize(level);
    if (size.width == 0 || size.height == 0) {
        return;
    }
    if (options.scale > 1) {
        runtime::ReducedRows reduced(size.width, size.height, options.scale, rows);
        LevelPictureOptions full = options;
        full.scale = 1;
        DrawLevelPicture(level, full, screen, reduced);
        return;
    }
    // A copy whose view offset moves from tile to tile; the caller's level stays as it is.
    level::Level tile = level;
    const auto width = static_cast<std::size_t>(size.width);
    std::vector<runtime::Pixel> band(width * PlayScreen::kHeight, 0);
    for (int top = 0; top < size.height; top += PlayScreen::kHeight) {
        const int bandRows = std::min(PlayScreen::kHeight, size.height - top);
        for (int left = 0; left < size.width; left += PlayScreen::kWidth) {
            const int columns = std::min(PlayScreen::kWidth, size.width - left);
            // Cell c's reference point is R(40 c) + viewX and its picture's corner lies 20
            // pixels left of it, at 40 (c - 1) - left for this view: the tile's first column.
            // The offset is whole and even, so every position is exact.
            tile.viewX = static_cast<float>(-kHalfCellPixels - left);
            tile.viewY = static_cast<float>(-kHalfCellPixels - top);
            screen.Clear({0, 0, 0});
            screen.BeginScene();
            DrawEditorCells(tile, options.grid, screen);
            if (const std::optional<level::StartOffset> start = level::LevelStart(level);
                start && options.startMarker) {
                DrawStartMarker(tile, *start, screen);
            }
            screen.EndScene();
            if (options.valueDisplay != 0) {
                DrawValueDisplay(tile, options.valueDisplay, screen);
            }
            for (int y = 0; y < bandRows; ++y) {
                screen.ReadBackRow(0, y,
                                   std::span(band.data() + static_cast<std::size_t>(y) * width +
                                                 static_cast<std::size_t>(left),
                                             static_cast<std::size_t>(columns)));
            }
        }
        for (int y = 0; y < bandRows; ++y) {
            rows.Row(std::span<const runtime::Pixel>(
                band.data() + static_cast<std::size_t>(y) * width, width));
        }
    }
}

std::string WriteLevelPicture(const level::Level& level, const LevelPictureOptions& options,
                              PlayScreen& screen, const std::filesystem::path& file) {
    const PictureSize size = LevelPictureSize(level, options.scale);
    if (size.width == 0 || size.height == 0) {
        return "the level has no cells to draw";
    }
    runtime::PngFile png(file, size.width, size.height);
    if (!png.Problem().empty()) {
        return png.Problem();
    }
    DrawLevelPicture(level, options, screen, png);
    return png.Finish() ? std::string() : png.Problem();
}

}  // namespace tessaron::render
