// What the drawing stage reads besides the level and what it keeps from frame to frame: the
// ball's angle and each sensor's random number. A pass that draws no frame changes them the same
// way, without a screen.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "level/level.h"
#include "runtime/files.h"

namespace tessaron::render {

// What the drawing reads besides the level.
struct FrameInputs {
    level::Mode mode = level::Mode::Play;
    std::int32_t tick = 0;    // 0..3599
    float velocityX = 0.0f;   // turns the ball
    std::int32_t mouseX = 0;  // play-screen pixels, read at the end of the previous pass
    std::int32_t mouseY = 0;
    std::int32_t kindChoice = 1000;       // the cursor icon in the editor
    std::int32_t valueDisplayChoice = 0;  // 0..4
    // In the editor, where the ball starts when the level is played: drawn as a faded ball.
    std::optional<level::StartOffset> startMarker;
};

// The renderer's own state: the ball's angle in degrees, never reduced modulo 360.
struct RenderState {
    std::int32_t ballAngle = 0;
};

// Each sensor's random number, drawn for every sensor, visible or not, in list order: the
// sequence is part of what a scripted run reproduces. Nothing else draws a number while the map
// is drawn, so they are all drawn before it. The opacities they give go to `opacities` (when
// given), one per entry of the index's sensor list (the least opacity where the entry is no
// longer a sensor).
void DrawSensorNumbers(const level::Level& level, runtime::Random& random,
                       std::vector<std::int32_t>* opacities);

// What drawing the map changes besides the back buffer, for a pass that draws no frame: the ball
// turns and, in play mode, every sensor takes its random draw in list order, exactly as DrawMap
// would. A run that skips its frames this way keeps its trace and state byte for byte.
void AdvanceWithoutDrawing(const level::Level& level, const FrameInputs& inputs, RenderState& state,
                           runtime::Random& random);

}  // namespace tessaron::render
