// The editor's overview: the whole level as the level tool's picture shows it (without the
// grid), reduced to fit the play screen, with the part of the level the screen shows framed.
#pragma once

#include <optional>
#include <vector>

#include "level/level.h"
#include "runtime/picture.h"
#include "runtime/screen.h"

namespace tessaron::render {

// Where the overview lies on the play screen: the level's picture (40 pixels a cell) divided by
// the smallest whole factor that fits it onto the screen, centred on it.
struct OverviewLayout {
    int scale = 1;
    int left = 0;  // play-screen pixel of the picture's top-left corner
    int top = 0;
    int width = 0;  // 0 x 0 for a level without cells
    int height = 0;
};

OverviewLayout LayOutOverview(const level::Level& level);

// The overview's pixels, width x height of the layout, row by row as 0xRRGGBB: exactly the
// level tool's picture without the grid, reduced by the layout's scale. Each look a cell can
// have (its backdrop, its element and what its neighbours reach into it) is drawn once by the
// editor's own drawing code and reduced from there, so the cost follows the number of looks and
// of overview pixels rather than the level's full picture. The play screen is the drawing
// surface: its back buffer holds leftovers afterwards.
std::vector<runtime::Pixel> DrawOverviewPixels(const level::Level& level,
                                               const OverviewLayout& layout,
                                               runtime::PlayScreen& screen);

// Puts the overview's pixels on the back buffer and frames the screen's part of the level for
// the level's view offset. Expects the back buffer cleared and no scene or drawing pass open.
void DrawOverview(const level::Level& level, const OverviewLayout& layout,
                  const std::vector<runtime::Pixel>& pixels, runtime::PlayScreen& screen);

struct ViewOffset {
    float x = 0.0f;
    float y = 0.0f;

    bool operator==(const ViewOffset&) const = default;
};

// The whole view offset that centres the play screen on the level's point under the overview's
// pixel at play-screen point (x, y); none when the point is off the overview's picture.
std::optional<ViewOffset> OverviewTarget(const OverviewLayout& layout, int x, int y);

}  // namespace tessaron::render
