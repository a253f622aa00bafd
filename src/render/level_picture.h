// A whole level as one picture, drawn by the editor's own drawing code: the level is laid out
// tile by tile on the 1024 x 768 play screen and handed on band by band, so that the memory it
// takes stays bounded whatever the size of the level.
#pragma once

#include <filesystem>
#include <string>

#include "level/level.h"
#include "render/render.h"
#include "runtime/picture.h"
#include "runtime/screen.h"

namespace tessaron::render {

// What the picture shows over the cells: the grid, and the value display of a side-panel
// choice (0 none, 1 link numbers, 2 lengths, 3 speeds, 4 pauses); the start marker; and the
// whole factor its size is divided by, each block of scale x scale pixels becoming their mean
// colour.
struct LevelPictureOptions {
    GridOverlay grid = GridOverlay::Shown;
    int valueDisplay = 0;
    int scale = 1;
    // The ball, faded, where it starts when the level is played (as the editor marks it).
    bool startMarker = false;
};

struct PictureSize {
    int width = 0;
    int height = 0;
};

// 40 pixels a cell: 40 * levelWidth x 40 * levelHeight divided by the scale (rounded up), or
// 0 x 0 for a level without cells.
PictureSize LevelPictureSize(const level::Level& level, int scale = 1);

// Draws the whole level as the editor shows it at an even view offset, with the top-left corner
// of cell (c, r) at ((c - 1) * 40, (r - 1) * 40) before the scale divides it, and hands the
// picture to `rows` from top to bottom: every cell's backdrop, its element, the grid and the
// value labels as the options ask, black where nothing is drawn. No cursor icon, ball or score
// line. The play screen is the drawing surface; its back buffer holds the last tile afterwards.
// The pictures and the label font must be loaded.
void DrawLevelPicture(const level::Level& level, const LevelPictureOptions& options,
                      runtime::PlayScreen& screen, runtime::PictureRows& rows);

// Draws the whole level into a PNG file. An empty string when the file is written, else why not;
// a file that cannot be written is left as it was.
std::string WriteLevelPicture(const level::Level& level, const LevelPictureOptions& options,
                              runtime::PlayScreen& screen, const std::filesystem::path& file);

}  // namespace tessaron::render
