// Gestures on the map beyond the click of the brush: strokes, rectangles, and regions with their
// clipboard. Every change a gesture or a command makes to the level is one step of the history.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "editor/edit_history.h"
#include "editor/paint_settings.h"
#include "editor/painting.h"
#include "level/level.h"

namespace tessaron::editor {

// What the mouse did in one editor pass, in play-screen pixels as the pass reads them.
struct MouseInput {
    std::int32_t x = 0;
    std::int32_t y = 0;
    // The pass took a left press over the play screen, with these modifiers held.
    bool leftPressed = false;
    bool shift = false;
    bool control = false;
    // The left button is down as the pass ends.
    bool leftHeld = false;
};

// The records a copy took, by their cell's offset from the region's top-left cell.
struct Clipboard {
    std::map<std::pair<std::int64_t, std::int64_t>, level::Element> cells;
};

class MapTools {
  public:
    // One editor pass of the mouse. A press begins a gesture: a stroke, a rectangle with Shift,
    // a selection with Ctrl. While the button stays down the gesture follows the mouse: a
    // stroke paints every brush square along the way from the last position. When the button
    // is up the gesture ends, and a stroke or a rectangle becomes one step of the history.
    void Pass(level::Level& level, const PaintSettings& paint, EditHistory& history,
              const MouseInput& input);
    // Ends a gesture under way as if the button had come up where the mouse last was.
    void Finish(level::Level& level, const PaintSettings& paint, EditHistory& history);

    // A selection exists while it is shown: it goes with Escape, a new selection, or when the
    // level's element list is replaced.
    bool HasSelection(const level::Level& level) const;
    void DropSelection();

    // Copy takes the selected records into the clipboard; Cut takes them and empties their
    // cells; Delete empties them. Without a selection they do nothing.
    void Copy(const level::Level& level);
    void Cut(level::Level& level, EditHistory& history);
    void Delete(level::Level& level, EditHistory& history);
    // Puts the clipboard's records into the cells from `at` on, as far as the level reaches;
    // every record keeps its own place in the level. Nothing without a copy.
    void Paste(level::Level& level, EditHistory& history, BrushCell at);

    // A rectangle under way: its cells and the corner under the mouse.
    struct Rectangle {
        CellRect cells;
        BrushCell corner;
    };
    std::optional<Rectangle> RectangleUnderWay() const;
    // The selection's cells while it exists.
    std::optional<CellRect> Selection(const level::Level& level) const;

  private:
    enum class Gesture { None, Stroke, Rectangle, Selection };

    void Begin(level::Level& level, const PaintSettings& paint, const MouseInput& input);
    void Follow(level::Level& level, const PaintSettings& paint, std::int32_t x, std::int32_t y);
    // Paints the brush square at every cell the mouse passes from the last position to (x, y).
    void StrokeTo(level::Level& level, const PaintSettings& paint, std::int32_t x, std::int32_t y);
    // Adds a paint's changes to the gesture's step: a cell keeps its first record before and
    // takes its last one after.
    void Note(const std::vector<CellChange>& changes);
    std::vector<std::int32_t> Selected(const level::Level& level) const;

    Gesture gesture_ = Gesture::None;
    BrushCell anchor_;
    BrushCell corner_;
    std::int32_t lastX_ = 0;
    std::int32_t lastY_ = 0;
    BrushCell lastCell_;
    std::vector<CellChange> changes_;
    std::map<std::uint32_t, std::size_t> changed_;

    bool selected_ = false;
    CellRect selection_;
    std::uint64_t selectionList_ = 0;
    Clipboard clipboard_;
};

}  // namespace tessaron::editor
