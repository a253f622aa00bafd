// A level for the benchmarks of the element update: a new 300 x 100 level where every
// `moverEvery`-th cell moves three cells back and forth by itself and the cell after every
// `torchEvery`-th one is a torch.
#pragma once

#include <cstddef>

#include "level/element.h"
#include "level/level.h"

namespace tessaron::bench {

inline level::Level MovingLevel(std::size_t moverEvery, std::size_t torchEvery) {
    level::Level level;
    level.levelWidth = 300;
    level.levelHeight = 100;
    level::BuildFreshGrid(level.elements, 300, 100);
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        level::Element& e = level.elements[i];
        if (i % moverEvery == 0) {
            e.length = 3;
            e.speedX = 25;
            e.pause1 = 10;
            e.pause2 = 10;
            e.link = 0;
        } else if (i % torchEvery == 1) {
            e.kind = level::Code(level::ElementKind::Torch);
        }
    }
    return level;
}

}  // namespace tessaron::bench
