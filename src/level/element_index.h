// Indexes beside the element list, so that a pass visits the few elements that can matter to it
// instead of every cell of the level: the elements by the cell they are in (now and at home),
// the sensors and the pickups by picture.
//
// The list stays the one owner of the records; the indexes only point into it by position. They
// are built from the list when it was replaced (Level::listGeneration changed, or its size) or
// invalidated (the level put back into its editable state), and kept true in between by the
// places that change a record: the simulation says which element moved, painting, undo and the
// automatic player's snapshots call ElementChanged. The index remembers the elements changed
// that way, for the game's update schedule to learn of them.
#pragma once

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "level/element.h"

namespace tessaron::level {

struct Level;
using ElementList = std::vector<Element>;

// A rectangle of the play screen (pixels, inclusive bounds, may reach far beyond the screen).
struct ScreenBox {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
};

// Elements by the whole cell (floor of column and row) of one of their two positions. Each
// element is listed once: under its cell, or among the few far outside the level's cells whose
// position is not a modest number, which every query returns.
class CellGrid {
  public:
    enum class Position { Current, Home };

    void Build(const ElementList& list, Position position);
    // The element's position changed: it is listed under its new cell. Inline: the update pass
    // places every element that moves.
    void Place(std::int32_t element, float column, float row) {
        const std::int32_t cell = CellOf(column, row);
        if (cell != cellOf_[static_cast<std::size_t>(element)]) {
            Relink(element, cell);
        }
    }
    // The element is listed under no cell until it is placed again.
    void Withdraw(std::int32_t element);
    // Asks for what Place reads of the element from memory.
    void Prefetch(std::int32_t element) const {
        __builtin_prefetch(&cellOf_[static_cast<std::size_t>(element)]);
        __builtin_prefetch(&next_[static_cast<std::size_t>(element)]);
    }
    // How far beyond the rectangle a query looks: a whole cell (for callers that round the
    // positions they find, or reckon with the rounding of their float arithmetic in any other
    // way), or not at all (for callers that widened the rectangle by what their rounding needs).
    enum class Margin { Cell, None };

    // Appends every element whose cell may hold a point of the world rectangle [left, right] x
    // [top, bottom] (pixels, 40 per cell), widened by the margin, unsorted.
    void Collect(double left, double top, double right, double bottom,
                 std::vector<std::int32_t>& out, Margin margin = Margin::Cell) const;

  private:
    static constexpr std::int32_t kNone = -1;
    static constexpr std::int32_t kOutside = -2;
    static constexpr std::int32_t kWithdrawn = -3;

    // Positions up to this many cells from the origin are listed under their cell. A caller's float
    // sum of 40 times such a position and the view offset errs by half a unit in the last place of
    // the sum, however large the offset: a sum that lands near the screen errs by a tiny fraction
    // of a pixel, far less than the cell of margin every query adds. (With an offset beyond 40
    // times this, no listed cell can land near the screen at all.)
    static constexpr float kModestCell = 65536.0f;
    static bool Modest(float value) { return std::fabs(value) < kModestCell; }
    // The whole number at or below a modest value: what std::floor gives, without the library
    // call the update pass would make for every element that moves.
    static std::int64_t WholeBelow(float value) {
        const auto whole = static_cast<std::int32_t>(value);  // toward zero, exact when modest
        return static_cast<float>(whole) > value ? whole - 1 : whole;
    }
    std::int32_t CellOf(float column, float row) const {
        if (!Modest(column) || !Modest(row)) {
            return kOutside;
        }
        const std::int64_t c = WholeBelow(column) - firstColumn_;
        const std::int64_t r = WholeBelow(row) - firstRow_;
        if (c < 0 || c >= columns_ || r < 0 || r >= rows_) {
            return kOutside;
        }
        return static_cast<std::int32_t>(r * columns_ + c);
    }
    void Relink(std::int32_t element, std::int32_t cell);
    void Link(std::int32_t element, std::int32_t cell);
    void Unlink(std::int32_t element);

    std::int64_t firstColumn_ = 0;
    std::int64_t firstRow_ = 0;
    std::int64_t columns_ = 0;
    std::int64_t rows_ = 0;
    std::vector<std::int32_t> head_;     // per cell: the first element listed there, or kNone
    std::vector<std::int32_t> next_;     // per element: the next element of its cell, or kNone
    std::vector<std::int32_t> cellOf_;   // per element: its cell, or kOutside
    std::vector<std::int32_t> outside_;  // elements under no cell
};

class ElementIndex {
  public:
    // Rebuilds every index from the list when the list is not the one they were built for.
    void Refresh(const Level& level);
    // Forgets the indexes, to be rebuilt before their next use: every record may have changed
    // (the level was put back into its editable state).
    void Invalidate();

    // The elements that may appear within the screen box (screen pixels, at 40 * cell + view) by
    // their current or home position, in list order, into `out` (cleared first). Elements that
    // cannot lie there are left out; a caller tests the others exactly.
    void Near(CellGrid::Position position, const ScreenBox& box, float viewX, float viewY,
              std::vector<std::int32_t>& out,
              CellGrid::Margin margin = CellGrid::Margin::Cell) const;

    // Every element that was a sensor when last looked at, in list order (a sensor's kind
    // never changes in play; test the kind before use).
    const std::vector<std::int32_t>& Sensors() const { return sensors_; }
    // Per picture of a pickup (4001 .. 4999), the elements last seen with such a kind, in list
    // order; a taken pickup keeps its entry until the list is rebuilt.
    const std::unordered_map<std::int32_t, std::vector<std::int32_t>>& PickupsByPicture() const {
        return pickups_;
    }

    // The element's position changed (the simulation moved it).
    void Moved(std::int32_t element, const Element& record) {
        current_.Place(element, record.column, record.row);
        Note(element);
    }
    // The element's position is kept elsewhere (the automatic player's clockwork): no query by
    // position finds it until it is moved or changed again.
    void Withdraw(std::int32_t element) { current_.Withdraw(element); }
    // The element may soon be moved: what Moved reads of it is asked for from memory.
    void PrefetchPlace(std::int32_t element) const { current_.Prefetch(element); }
    // Anything of the record may have changed (painting, undo): every index takes it anew, and
    // the element is noted as changed.
    void ElementChanged(std::int32_t element, const Element& record);

    // Which build of the indexes this is: a number no other build of any index had, so that
    // what is kept beside the indexes (the update schedule) knows when they were built anew. A
    // copy counts as a build of its own: what was kept beside the copied indexes does not hold
    // for the copy.
    std::uint64_t Build() const { return build_.value; }
    // The elements changed through ElementChanged since the last ForgetChanged, each once.
    const std::vector<std::int32_t>& Changed() const { return changed_; }
    void ForgetChanged();

    // A journal of the records that may have changed: the positions given to ResetJournal, and
    // every element moved or changed since, or noted by NoteChange, each once. Whoever keeps
    // copies of the list (the automatic player's snapshots) compares only these instead of the
    // whole list. It holds nothing until the first ResetJournal, and stops holding (JournalValid
    // is false) when the indexes are rebuilt for a list that was replaced.
    bool JournalValid() const { return journalValid_; }
    // The record is about to change, or changed in place by a contact's effect (which may store a
    // save point that reads the journal before the change is told): noted now.
    void NoteChange(std::int32_t element) { Note(element); }
    const std::vector<std::int32_t>& Journal() const { return journal_; }
    // The journal's positions in list order, into `out` (replaced).
    void JournalInOrder(std::vector<std::uint32_t>& out) const;
    void ResetJournal(const std::vector<std::uint32_t>& positions);

  private:
    void IndexKind(std::int32_t element, float kind);
    void Note(std::int32_t element) {
        const std::size_t word = static_cast<std::size_t>(element) >> 6;
        const std::uint64_t bit = std::uint64_t{1} << (element & 63);
        if (journalValid_ && (journaled_[word] & bit) == 0) {
            journaled_[word] |= bit;
            journal_.push_back(element);
        }
    }

    std::uint64_t builtFor_ = ~std::uint64_t{0};
    std::size_t builtSize_ = 0;
    struct BuildNumber {
        BuildNumber() = default;
        BuildNumber(const BuildNumber&) : value(Next()) {}
        BuildNumber& operator=(const BuildNumber&) {
            value = Next();
            return *this;
        }
        static std::uint64_t Next();
        std::uint64_t value = 0;
    };
    BuildNumber build_;
    CellGrid current_;
    CellGrid home_;
    std::vector<std::int32_t> sensors_;
    std::unordered_map<std::int32_t, std::vector<std::int32_t>> pickups_;
    std::vector<std::int32_t> changed_;
    std::vector<bool> isChanged_;
    bool journalValid_ = false;
    std::vector<std::int32_t> journal_;
    // One bit per element: noted in the journal.
    std::vector<std::uint64_t> journaled_;
};

// The level's indexes, brought up to date with its list first. A level read as const gets them
// to read; they are a cache of its list, built when first needed.
const ElementIndex& IndexOf(const Level& level);
ElementIndex& IndexOf(Level& level);

// After changing records in place outside the simulation (painting, undo and redo): keeps every
// index true for the element at that position of the list.
void ElementChanged(Level& level, std::size_t element);

}  // namespace tessaron::level
