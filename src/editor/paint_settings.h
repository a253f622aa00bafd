// What a click in the editor writes into the cells under the brush, read from the side panel in
// every editor pass.
#pragma once

#include <cstdint>

#include "level/element.h"

namespace tessaron::editor {

struct PaintSettings {
    std::int32_t backgroundChoice = static_cast<int>(level::Background::Air);
    std::int32_t kindChoice = static_cast<int>(level::ElementKind::Empty);
    // Which fields a paint writes (1) or leaves alone (0).
    std::int32_t applyBackground = 1;
    std::int32_t applyKind = 1;
    std::int32_t applyLink = 1;
    std::int32_t applyLength = 1;
    std::int32_t applySpeed = 1;
    std::int32_t applyPause1 = 1;
    std::int32_t applyPause2 = 1;
    std::int32_t linkValue = 0;
    std::int32_t lengthValue = 0;
    std::int32_t speedXValue = 0;  // right minus left
    std::int32_t speedYValue = 0;  // down minus up
    std::int32_t pause1Value = 0;
    std::int32_t pause2Value = 0;
    std::int32_t brushSize = 1;           // 1..8
    std::int32_t valueDisplayChoice = 0;  // 0 none, 1 link, 2 length, 3 speeds, 4 pauses
};

}  // namespace tessaron::editor
