#include "level/level.h"

#include <utility>

namespace tessaron::level {

void AddCell(ElementList& list, std::int32_t background, std::int32_t homeColumn,
             std::int32_t homeRow, std::int32_t kind, std::int32_t column, std::int32_t row,
             std::int32_t motion, std::int32_t link, std::int32_t travelled, std::int32_t length,
             std::int32_t speedX, std::int32_t speedY, std::int32_t pauseCount, std::int32_t pause1,
             std::int32_t pause2) {
    list.push_back(Element{
        static_cast<float>(background),
        static_cast<float>(homeColumn),
        static_cast<float>(homeRow),
        static_cast<float>(kind),
        static_cast<float>(column),
        static_cast<float>(row),
        static_cast<float>(motion),
        static_cast<float>(link),
        static_cast<float>(travelled),
        static_cast<float>(length),
        static_cast<float>(speedX),
        static_cast<float>(speedY),
        static_cast<float>(pauseCount),
        static_cast<float>(pause1),
        static_cast<float>(pause2),
    });
}

float EditableKind(float kind) {
    if (kind > 5000.0f) {
        kind = kind - 1000.0f;  // taken pickups, goal and disk come back
    }
    if (kind > 1004.0f && kind < 1025.0f) {
        kind = Code(ElementKind::Bush);  // worn bushes grow back
    }
    return kind;
}

void ReplaceElements(Level& level, ElementList list) {
    level.elements = std::move(list);
    ++level.listGeneration;
}

std::optional<StartOffset> LevelStart(const Level& level) {
    return level.placedStart ? level.placedStart : level.fileStart;
}

void RestoreEditState(Level& level) {
    for (Element& e : level.elements) {
        // Every element goes back to the cell it was made in, whatever moved it: a pressed
        // switch, a diagonal mover or one that travelled too far for its way back to be
        // computed. The writer places records by their position, so every cell of the level is
        // then saved exactly once, in its place.
        e.column = e.homeColumn;
        e.row = e.homeRow;
        e.travelled = 0.0f;
        e.motion = 0.0f;
        e.pauseCount = 0.0f;
        e.kind = EditableKind(e.kind);
    }
    level.index.Invalidate();
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
            const ElementKind kind = (c == 13 && r == 15) ? ElementKind::Brick : ElementKind::Empty;
            AddCell(list, static_cast<int>(Background::Air), c, r, static_cast<int>(kind), c, r, 0,
                    -1, 0, 0, 0, 0, 0, 0, 0);
        }
    }
}

}  // namespace tessaron::level
