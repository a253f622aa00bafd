// The drawing stage: the map with its backdrops, elements, grid, ball and cursor, then the
// editor's value display or the play mode's score line.
#pragma once

#include <cstdint>
#include <string_view>

#include "level/level.h"
#include "render/frame.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::render {

// Sprite numbers the drawing uses besides the kind and background codes.
inline constexpr int kPlayerMaskSprite = 0;  // never drawn; the player's collision mask
inline constexpr int kGridSprite = 4;
inline constexpr int kBallSprite = 10;
inline constexpr int kLightSprite = 11;
inline constexpr int kLabelFont = 1;

// Draws the map into the back buffer. Expects the buffer cleared and a blended-sprite scene open;
// ends the scene. Changes only the ball angle and the blended sprites' size and rotation.
void DrawMap(const level::Level& level, const FrameInputs& inputs, RenderState& state,
             runtime::PlayScreen& screen, runtime::Random& random);

// Draws the value display (editor) or the score line (play) over the map.
void DrawOverlays(const level::Level& level, const FrameInputs& inputs,
                  runtime::PlayScreen& screen);

// A short notice on the score line, after the score (play mode; drawn after the overlays).
void DrawScoreLineNotice(const level::Level& level, std::string_view notice,
                         runtime::PlayScreen& screen);

// Whether the editor's grid is drawn over the cells.
enum class GridOverlay { Hidden, Shown };

// The cells of the map as the editor shows them: backdrops (water 3 pixels to the left),
// elements, pickups at 40 x 40, opaque sensors, and the grid when it is shown; no cursor icon.
// DrawMap in the editor draws these with the grid, then the cursor icon. Expects a blended-sprite
// scene open and leaves it open; changes no state.
void DrawEditorCells(const level::Level& level, GridOverlay grid, runtime::PlayScreen& screen);

// The ball, faded, where it starts for the start view offset `start`, seen through the level's
// view offset. Expects a blended-sprite scene open and leaves it open.
void DrawStartMarker(const level::Level& level, level::StartOffset start,
                     runtime::PlayScreen& screen);

// The editor's value display for a side-panel choice: 0 none, 1 link numbers, 2 displacement
// lengths, 3 speeds, 4 pauses. Expects no scene open.
void DrawValueDisplay(const level::Level& level, int choice, runtime::PlayScreen& screen);

}  // namespace tessaron::render
