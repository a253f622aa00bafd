// What a click in the editor writes into the cells under the brush, read from the side panel in
// every editor pass.
#pragma once

#include <cstdint>

#include "level/element.h"

namespace tessaron::editor {

struct PaintSettings {
    std::int32_t backgroundChoice = static_cast<int>(level::Background::Air);
    std::int32_t kindChoice = static_cast<int>(level::ElementKind::Empty);
    // Which fields a paint writes (true) or leaves alone.
    bool applyBackground = true;
    bool applyKind = true;
    bool applyLink = true;
    bool applyLength = true;
    bool applySpeed = true;
    bool applyPause1 = true;
    bool applyPause2 = true;
    std::int32_t linkValue = 0;
    std::int32_t lengthValue = 0;
    std::int32_t speedXValue = 0;  // right minus left
    std::int32_t speedYValue = 0;  // down minus up
    std::int32_t pause1Value = 0;
    std::int32_t pause2Value = 0;
    std::int32_t brushSize = 1;           // 1..8
    std::int32_t valueDisplayChoice = 0;  // the list's row: none, links, lengths, speeds, pauses
};

}  // namespace tessaron::editor
