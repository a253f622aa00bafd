#include "editor/map_tools.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "runtime/screen.h"

namespace tessaron::editor {

namespace {

// A stroke's path is walked pixel by pixel within this distance of the play screen; points
// beyond it paint nothing anyway, and the walk stays short whatever the mouse reports.
constexpr std::int64_t kWalkMargin = 4096;
constexpr int kScreenWidth = runtime::PlayScreen::kWidth;
constexpr int kScreenHeight = runtime::PlayScreen::kHeight;

bool OnScreen(std::int64_t x, std::int64_t y) {
    return x >= 0 && x < kScreenWidth && y >= 0 && y < kScreenHeight;
}

// The cell under the mouse, with the mouse held inside the play screen: a rectangle or a
// selection dragged beyond the screen's edge stops at the last cell shown there.
BrushCell CellOnScreen(const level::Level& level, std::int32_t x, std::int32_t y) {
    return BrushCellAt(std::clamp(x, 0, kScreenWidth - 1), std::clamp(y, 0, kScreenHeight - 1),
                       level.viewX, level.viewY);
}

// What an emptied cell holds: the record of a new level's cell, in its own place.
void Empty(level::Element& e) {
    e.background = level::Code(level::Background::Air);
    e.kind = level::Code(level::ElementKind::Empty);
    e.motion = 0.0f;
    e.link = -1.0f;
    e.travelled = 0.0f;
    e.length = 0.0f;
    e.speedX = 0.0f;
    e.speedY = 0.0f;
    e.pauseCount = 0.0f;
    e.pause1 = 0.0f;
    e.pause2 = 0.0f;
}

// Writes `change(record)` into each listed element and makes the changed ones one step.
template <typename Change>
void EditElements(level::Level& level, EditHistory& history,
                  const std::vector<std::int32_t>& elements, Change change) {
    std::vector<CellChange> changes;
    for (const std::int32_t index : elements) {
        level::Element& e = level.elements[static_cast<std::size_t>(index)];
        const level::Element before = e;
        change(e);
        if (RecordsDiffer(before, e)) {
            changes.push_back(CellChange{static_cast<std::uint32_t>(index), before, e});
            level::ElementChanged(level, static_cast<std::size_t>(index));
        }
    }
    history.Record(level, std::move(changes));
}

}  // namespace

void MapTools::Pass(level::Level& level, const PaintSettings& paint, EditHistory& history,
                    const MouseInput& input) {
    if (input.leftPressed) {
        // A press while a gesture is still under way (the button came up and went down again
        // between two passes) ends that one first.
        Finish(level, paint, history);
        Begin(level, paint, input);
    } else if (gesture_ != Gesture::None) {
        Follow(level, paint, input.x, input.y);
    }
    if (gesture_ != Gesture::None && !input.leftHeld) {
        Finish(level, paint, history);
    }
}

void MapTools::Begin(level::Level& level, const PaintSettings& paint, const MouseInput& input) {
    lastX_ = input.x;
    lastY_ = input.y;
    if (input.control) {
        gesture_ = Gesture::Selection;
        anchor_ = corner_ = CellOnScreen(level, input.x, input.y);
        selected_ = true;
        selection_ = CellRect::Spanning(anchor_, corner_);
        selectionList_ = level.listGeneration;
    } else if (input.shift) {
        gesture_ = Gesture::Rectangle;
        anchor_ = corner_ = CellOnScreen(level, input.x, input.y);
    } else {
        // The press paints the brush square under the mouse, as a click always did.
        gesture_ = Gesture::Stroke;
        lastCell_ = BrushCellAt(input.x, input.y, level.viewX, level.viewY);
        std::vector<CellChange> changes;
        PaintCells(level, paint, BrushSquare(paint, lastCell_), &changes);
        Note(changes);
    }
}

void MapTools::Follow(level::Level& level, const PaintSettings& paint, std::int32_t x,
                      std::int32_t y) {
    switch (gesture_) {
        case Gesture::Stroke:
            StrokeTo(level, paint, x, y);
            break;
        case Gesture::Rectangle:
            corner_ = CellOnScreen(level, x, y);
            break;
        case Gesture::Selection:
            corner_ = CellOnScreen(level, x, y);
            selection_ = CellRect::Spanning(anchor_, corner_);
            break;
        case Gesture::None:
            break;
    }
    lastX_ = x;
    lastY_ = y;
}

void MapTools::StrokeTo(level::Level& level, const PaintSettings& paint, std::int32_t toX,
                        std::int32_t toY) {
    const auto bound = [](std::int32_t value, int extent) {
        return std::clamp<std::int64_t>(value, -kWalkMargin, extent + kWalkMargin);
    };
    const std::int64_t x0 = bound(lastX_, kScreenWidth);
    const std::int64_t y0 = bound(lastY_, kScreenHeight);
    const std::int64_t x1 = bound(toX, kScreenWidth);
    const std::int64_t y1 = bound(toY, kScreenHeight);
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    const std::int64_t stepX = dx < 0 ? -1 : 1;
    const std::int64_t stepY = dy < 0 ? -1 : 1;
    // One pixel at a time, across or down, whichever keeps closer to the straight line: the
    // path never jumps a cell's corner, so the cells it passes touch side by side.
    std::int64_t x = x0;
    std::int64_t y = y0;
    std::vector<CellChange> changes;
    while (x != x1 || y != y1) {
        const std::int64_t acrossError = std::llabs((x + stepX - x0) * dy - (y - y0) * dx);
        const std::int64_t downError = std::llabs((x - x0) * dy - (y + stepY - y0) * dx);
        if (y == y1 || (x != x1 && acrossError <= downError)) {
            x += stepX;
        } else {
            y += stepY;
        }
        if (!OnScreen(x, y)) {
            continue;
        }
        const BrushCell cell = BrushCellAt(static_cast<std::int32_t>(x),
                                           static_cast<std::int32_t>(y), level.viewX, level.viewY);
        if (cell != lastCell_) {
            lastCell_ = cell;
            PaintCells(level, paint, BrushSquare(paint, cell), &changes);
        }
    }
    Note(changes);
}

void MapTools::Note(const std::vector<CellChange>& changes) {
    for (const CellChange& change : changes) {
        const auto [place, fresh] = changed_.try_emplace(change.index, changes_.size());
        if (fresh) {
            changes_.push_back(change);
        } else {
            changes_[place->second].after = change.after;
        }
    }
}

void MapTools::Finish(level::Level& level, const PaintSettings& paint, EditHistory& history) {
    switch (gesture_) {
        case Gesture::Stroke:
            history.Record(level, std::move(changes_));
            break;
        case Gesture::Rectangle: {
            // As if a brush of size 1 painted every cell of the rectangle.
            std::vector<CellChange> changes;
            PaintCells(level, paint, CellRect::Spanning(anchor_, corner_), &changes);
            history.Record(level, std::move(changes));
            break;
        }
        case Gesture::Selection:
        case Gesture::None:
            break;
    }
    gesture_ = Gesture::None;
    changes_.clear();
    changed_.clear();
}

bool MapTools::HasSelection(const level::Level& level) const {
    return selected_ && selectionList_ == level.listGeneration;
}

void MapTools::DropSelection() {
    selected_ = false;
    if (gesture_ == Gesture::Selection) {
        gesture_ = Gesture::None;
    }
}

std::vector<std::int32_t> MapTools::Selected(const level::Level& level) const {
    std::vector<std::int32_t> elements;
    if (HasSelection(level)) {
        ElementsInCells(level, selection_, elements);
    }
    return elements;
}

void MapTools::Copy(const level::Level& level) {
    if (!HasSelection(level)) {
        return;
    }
    clipboard_.cells.clear();
    for (const std::int32_t index : Selected(level)) {
        const level::Element& e = level.elements[static_cast<std::size_t>(index)];
        clipboard_.cells[{runtime::RoundToInt(e.column) - std::int64_t{selection_.left},
                          runtime::RoundToInt(e.row) - std::int64_t{selection_.top}}] = e;
    }
}

void MapTools::Cut(level::Level& level, EditHistory& history) {
    Copy(level);
    Delete(level, history);
}

void MapTools::Delete(level::Level& level, EditHistory& history) {
    if (HasSelection(level)) {
        EditElements(level, history, Selected(level), Empty);
    }
}

void MapTools::Paste(level::Level& level, EditHistory& history, BrushCell at) {
    if (clipboard_.cells.empty()) {
        return;
    }
    std::int64_t width = 0;
    std::int64_t height = 0;
    for (const auto& [offset, record] : clipboard_.cells) {
        width = std::max(width, offset.first + 1);
        height = std::max(height, offset.second + 1);
    }
    const auto end = [](std::int32_t first, std::int64_t extent) {
        return static_cast<std::int32_t>(
            std::min<std::int64_t>(first + extent - 1, std::numeric_limits<std::int32_t>::max()));
    };
    const CellRect target{at.column, at.row, end(at.column, width), end(at.row, height)};
    std::vector<std::int32_t> elements;
    ElementsInCells(level, target, elements);
    EditElements(level, history, elements, [this, &at](level::Element& e) {
        const auto copied =
            clipboard_.cells.find({runtime::RoundToInt(e.column) - std::int64_t{at.column},
                                   runtime::RoundToInt(e.row) - std::int64_t{at.row}});
        if (copied == clipboard_.cells.end()) {
            return;
        }
        // The whole record travels but its place: the element stays where it is in the level,
        // at home there.
        level::Element pasted = copied->second;
        pasted.homeColumn = e.homeColumn;
        pasted.homeRow = e.homeRow;
        pasted.column = e.column;
        pasted.row = e.row;
        e = pasted;
    });
}

std::optional<MapTools::Rectangle> MapTools::RectangleUnderWay() const {
    if (gesture_ != Gesture::Rectangle) {
        return std::nullopt;
    }
    return Rectangle{CellRect::Spanning(anchor_, corner_), corner_};
}

std::optional<CellRect> MapTools::Selection(const level::Level& level) const {
    return HasSelection(level) ? std::optional<CellRect>(selection_) : std::nullopt;
}

}  // namespace tessaron::editor
