// The preview of what a click of the brush or a rectangle would put down, and the frame of the
// selection, drawn over the map.
#pragma once

#include <cstdint>

#include "editor/map_tools.h"
#include "editor/paint_settings.h"
#include "editor/painting.h"
#include "level/level.h"
#include "runtime/screen.h"

namespace tessaron::editor {

// Draws the preview over the map: the chosen background and element, faint, in every cell of
// the brush, a white frame around it, a white dot at the mouse and the brush cell's coordinates
// beside it. Expects no scene or drawing pass open and leaves none.
void DrawBrushPreview(const level::Level& level, const PaintSettings& paint, std::int32_t mouseX,
                      std::int32_t mouseY, runtime::PlayScreen& screen);

// The same preview over any rectangle of cells, with `shown` as the coordinates beside the dot.
void DrawPaintPreview(const level::Level& level, const PaintSettings& paint, const CellRect& cells,
                      BrushCell shown, std::int32_t mouseX, std::int32_t mouseY,
                      runtime::PlayScreen& screen);

// The brush preview, or the rectangle under way in its place, and the selection's frame.
void DrawMapPreview(const MapTools& tools, const level::Level& level, const PaintSettings& paint,
                    std::int32_t mouseX, std::int32_t mouseY, runtime::PlayScreen& screen);

}  // namespace tessaron::editor
