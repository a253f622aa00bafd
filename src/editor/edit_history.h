// Undo and redo of the level's edits. A step is one click of the brush; it keeps only the cells
// the click changed, each by its place in the element list with its whole record before and
// after, so the history costs what the edits changed, never a copy of the level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "level/level.h"

namespace tessaron::editor {

// One cell a step changed: its place in the element list and its record, all fifteen fields,
// before and after the step.
struct CellChange {
    std::uint32_t index = 0;
    level::Element before;
    level::Element after;
};

// True when two records differ in any bit: a paint that writes 0 over -0 changes the cell, one
// that writes a value over the same value does not.
bool RecordsDiffer(const level::Element& a, const level::Element& b);

class EditHistory {
  public:
    // The oldest step is forgotten when a new one would exceed this.
    static constexpr std::size_t kMaxSteps = 1000;

    // Adds the changes of one click as the newest step and forgets the steps that could have
    // been redone. A click that changed nothing is no step and forgets nothing.
    void Record(const level::Level& level, std::vector<CellChange> changes);

    // Puts the cells of the newest done step back to their records before it, bit for bit.
    // False, with the level unchanged, when there is nothing to undo.
    bool Undo(level::Level& level);
    // Puts the cells of the oldest undone step back to their records after it, bit for bit.
    // False, with the level unchanged, when there is nothing to redo.
    bool Redo(level::Level& level);

    // Whether Undo or Redo would change something now. Steps recorded on an element list that
    // has since been replaced count as gone.
    bool CanUndo(const level::Level& level) const;
    bool CanRedo(const level::Level& level) const;

    // The changed cells all steps hold: what the history costs, CellChange's size each.
    std::size_t CellCount() const;

    // The level as it stands now is the one its file holds (it was just saved, read or made).
    void MarkSaved(const level::Level& level);
    // Whether the level has edits its file does not hold: steps done or undone since the mark.
    // Edits survive a replaced element list (a save point put back) as unsaved.
    bool Unsaved() const;

  private:
    struct Step {
        std::vector<CellChange> cells;
    };

    // Forgets every step when the level's element list was replaced since they were recorded:
    // their list places name other records now.
    void Follow(const level::Level& level);
    bool Current(const level::Level& level) const;

    std::deque<Step> steps_;
    // Steps done, oldest first: steps_[0 .. done_) can be undone, the rest redone.
    std::size_t done_ = 0;
    std::uint64_t listGeneration_ = 0;
    // The number of steps done when the level was as its file holds it; none when that state
    // cannot be reached by undo or redo any more.
    std::optional<std::size_t> savedAt_ = 0;
};

}  // namespace tessaron::editor
