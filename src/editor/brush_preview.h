// The preview of what a click of the brush would put down, drawn over the map.
#pragma once

#include <cstdint>

#include "editor/paint_settings.h"
#include "level/level.h"
#include "runtime/screen.h"

namespace tessaron::editor {

// Draws the preview over the map: the chosen background and element, faint, in every cell of
// the brush, a white frame around it, a white dot at the mouse and the brush cell's coordinates
// beside it. Expects no scene or drawing pass open and leaves none.
void DrawBrushPreview(const level::Level& level, const PaintSettings& paint, std::int32_t mouseX,
                      std::int32_t mouseY, runtime::PlayScreen& screen);

}  // namespace tessaron::editor
