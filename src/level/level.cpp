#include "level/level.h"

#include <cmath>

#include "runtime/files.h"

namespace tessaron::level {

using runtime::Round;

void AddCell(ElementList& list, std::int32_t background, std::int32_t homeColumn,
             std::int32_t homeRow, std::int32_t kind, std::int32_t column, std::int32_t row,
             std::int32_t motion, std::int32_t link, std::int32_t travelled, std::int32_t length,
             std::int32_t speedX, std::int32_t speedY, std::int32_t pauseCount,
             std::int32_t pause1, std::int32_t pause2) {
    list.push_back(Element{
        static_cast<float>(background), static_cast<float>(homeColumn),
        static_cast<float>(homeRow),    static_cast<float>(kind),
        static_cast<float>(column),     static_cast<float>(row),
        static_cast<float>(motion),     static_cast<float>(link),
        static_cast<float>(travelled),  static_cast<float>(length),
        static_cast<float>(speedX),     static_cast<float>(speedY),
        static_cast<float>(pauseCount), static_cast<float>(pause1),
        static_cast<float>(pause2),
    });
}

void RestoreEditState(Level& level) {
    for (Element& e : level.elements) {
        // An element moves along the axis of its speed; taking it back by the whole distance
        // travelled returns it to its start cell. (One with both speeds set does not return.)
        if (e.speedX != 0.0f) {
            e.column = Round(e.column - (e.speedX / std::fabs(e.speedX)) * e.travelled);
        }
        if (e.speedY != 0.0f) {
            e.row = Round(e.row - (e.speedY / std::fabs(e.speedY)) * e.travelled);
        }
        e.travelled = 0.0f;
        e.motion = 0.0f;
        e.pauseCount = 0.0f;
        if (e.kind > 5000.0f) {
            e.kind = e.kind - 1000.0f;  // taken pickups, goal and disk come back
        }
        if (e.kind > 1004.0f && e.kind < 1025.0f) {
            e.kind = Code(ElementKind::Bush);  // worn bushes grow back
        }
    }
    ListReplaced(level);
    // Done once for the whole list, as every record would do it again to the same effect.
    level.triggeredLink = -1;
    level.score = 0;
}

void BuildFreshGrid(ElementList& list, std::int32_t width, std::int32_t height) {
    list.clear();
    if (width > 0 && height > 0) {
        list.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    }
    for (std::int32_t r = 1; r <= height; ++r) {
        for (std::int32_t c = 1; c <= width; ++c) {
            const ElementKind kind =
                (c == 13 && r == 15) ? ElementKind::Brick : ElementKind::Empty;
            AddCell(list, static_cast<int>(Background::Air), c, r, static_cast<int>(kind), c, r,
                    0, -1, 0, 0, 0, 0, 0, 0, 0);
        }
    }
}

}  // namespace tessaron::level
