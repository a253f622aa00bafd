#include "level/element_index.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <numeric>

#include "level/cell_geometry.h"
#include "level/level.h"

namespace tessaron::level {

namespace {

// The grid holds at most this many cells along an axis, and about four cells per element in all
// (a list of a few elements far apart gets a small grid; the rest of them are outside).
constexpr std::int64_t kMaxSpan = 4096;
constexpr std::int64_t kMinCells = 65536;
constexpr std::int64_t kMoveMargin = 4;

// The span of keys the grid covers along one axis: all of them where they fit, else `span` keys
// around the median.
void ChooseSpan(std::vector<std::int64_t>& keys, std::int64_t span, std::int64_t& first,
                std::int64_t& count) {
    if (keys.empty()) {
        first = 0;
        count = 1;
        return;
    }
    const auto [low, high] = std::minmax_element(keys.begin(), keys.end());
    const std::int64_t lowest = *low;
    const std::int64_t highest = *high;
    if (highest - lowest + 1 <= span) {
        first = lowest;
        count = highest - lowest + 1;
        return;
    }
    auto middle = keys.begin() + static_cast<std::ptrdiff_t>(keys.size() / 2);
    std::nth_element(keys.begin(), middle, keys.end());
    first = std::clamp(*middle - span / 2, lowest, highest - span + 1);
    count = span;
}

void InsertSorted(std::vector<std::int32_t>& list, std::int32_t element) {
    const auto at = std::lower_bound(list.begin(), list.end(), element);
    if (at == list.end() || *at != element) {
        list.insert(at, element);
    }
}

// Sorts a list that is short and nearly in order already, as the cells around the ball give
// their elements (row by row, each cell mostly holding the one element of that cell): by
// insertion, which costs little more than a look at each, unless the list is long.
void SortFew(std::vector<std::int32_t>& list) {
    constexpr std::size_t kFew = 96;
    if (list.size() > kFew) {
        std::sort(list.begin(), list.end());
        return;
    }
    for (std::size_t i = 1; i < list.size(); ++i) {
        const std::int32_t value = list[i];
        std::size_t at = i;
        for (; at > 0 && list[at - 1] > value; --at) {
            list[at] = list[at - 1];
        }
        list[at] = value;
    }
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// CellGrid

void CellGrid::Build(const ElementList& list, Position position) {
    const auto columnOf = [position](const Element& e) {
        return position == Position::Current ? e.column : e.homeColumn;
    };
    const auto rowOf = [position](const Element& e) {
        return position == Position::Current ? e.row : e.homeRow;
    };
    std::vector<std::int64_t> columnKeys;
    std::vector<std::int64_t> rowKeys;
    columnKeys.reserve(list.size());
    rowKeys.reserve(list.size());
    for (const Element& e : list) {
        if (Modest(columnOf(e)) && Modest(rowOf(e))) {
            columnKeys.push_back(static_cast<std::int64_t>(std::floor(columnOf(e))));
            rowKeys.push_back(static_cast<std::int64_t>(std::floor(rowOf(e))));
        }
    }
    std::int64_t columnSpan = kMaxSpan;
    std::int64_t rowSpan = kMaxSpan;
    const std::int64_t budget = std::max<std::int64_t>(kMinCells, 4 * std::int64_t(list.size()));
    ChooseSpan(columnKeys, columnSpan, firstColumn_, columns_);
    ChooseSpan(rowKeys, rowSpan, firstRow_, rows_);
    while (columns_ * rows_ > budget) {
        // Narrow the longer axis around its median until the grid fits its budget.
        if (columns_ >= rows_) {
            columnSpan = columns_ / 2;
            ChooseSpan(columnKeys, columnSpan, firstColumn_, columns_);
        } else {
            rowSpan = rows_ / 2;
            ChooseSpan(rowKeys, rowSpan, firstRow_, rows_);
        }
    }
    // Room for elements that move a few cells beyond the others.
    if ((columns_ + 2 * kMoveMargin) * (rows_ + 2 * kMoveMargin) <= budget) {
        firstColumn_ -= kMoveMargin;
        firstRow_ -= kMoveMargin;
        columns_ += 2 * kMoveMargin;
        rows_ += 2 * kMoveMargin;
    }
    head_.assign(static_cast<std::size_t>(columns_ * rows_), kNone);
    next_.assign(list.size(), kNone);
    cellOf_.assign(list.size(), kNone);
    outside_.clear();
    // Elements that move out and back must not make a pass allocate.
    outside_.reserve(list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        Link(static_cast<std::int32_t>(i), CellOf(columnOf(list[i]), rowOf(list[i])));
    }
}

void CellGrid::Link(std::int32_t element, std::int32_t cell) {
    cellOf_[element] = cell;
    if (cell == kOutside) {
        outside_.push_back(element);
        return;
    }
    next_[element] = head_[cell];
    head_[cell] = element;
}

void CellGrid::Unlink(std::int32_t element) {
    const std::int32_t cell = cellOf_[element];
    if (cell == kWithdrawn) {
        return;
    }
    if (cell == kOutside) {
        const auto at = std::find(outside_.begin(), outside_.end(), element);
        *at = outside_.back();
        outside_.pop_back();
        return;
    }
    std::int32_t* link = &head_[cell];
    while (*link != element) {
        link = &next_[*link];
    }
    *link = next_[element];
}

void CellGrid::Withdraw(std::int32_t element) {
    Unlink(element);
    cellOf_[element] = kWithdrawn;
}

void CellGrid::Relink(std::int32_t element, std::int32_t cell) {
    Unlink(element);
    Link(element, cell);
}

void CellGrid::Collect(double left, double top, double right, double bottom,
                       std::vector<std::int32_t>& out, Margin margin) const {
    // The margin on each side: an element of cell k lies in [k, k + 1).
    // The cells are clamped to just beyond the grid first, so that a box however far out
    // (a view offset that fell for hours) gives an empty span instead of an overflow.
    const std::int64_t cells = margin == Margin::Cell ? 1 : 0;
    const auto span = [cells](double low, double high, std::int64_t first, std::int64_t count,
                              std::int64_t& from, std::int64_t& to) {
        const auto cell = [first, count](double pixels) {
            const double limit = static_cast<double>(count) + 2.0;
            const double at =
                std::floor(pixels / static_cast<double>(kCellPixels)) - static_cast<double>(first);
            // A box edge that is no number (around a position that is none) lies before the
            // grid: as a low edge it starts the span at the first cell, as a high edge it
            // leaves the span empty.
            return static_cast<std::int64_t>(at >= -limit ? std::min(at, limit) : -limit);
        };
        from = std::max<std::int64_t>(cell(low) - cells, 0);
        to = std::min<std::int64_t>(cell(high) + cells, count - 1);
    };
    std::int64_t c0, c1, r0, r1;
    span(left, right, firstColumn_, columns_, c0, c1);
    span(top, bottom, firstRow_, rows_, r0, r1);
    for (std::int64_t r = r0; r <= r1; ++r) {
        for (std::int64_t c = c0; c <= c1; ++c) {
            for (std::int32_t e = head_[static_cast<std::size_t>(r * columns_ + c)]; e != kNone;
                 e = next_[e]) {
                out.push_back(e);
            }
        }
    }
    out.insert(out.end(), outside_.begin(), outside_.end());
}

// ---------------------------------------------------------------------------------------------
// ElementIndex

void ElementIndex::Refresh(const Level& level) {
    const ElementList& list = level.elements;
    if (builtFor_ == level.listGeneration && builtSize_ == list.size()) {
        return;
    }
    builtFor_ = level.listGeneration;
    builtSize_ = list.size();
    current_.Build(list, CellGrid::Position::Current);
    home_.Build(list, CellGrid::Position::Home);
    sensors_.clear();
    for (auto& [picture, elements] : pickups_) {
        elements.clear();
    }
    for (std::size_t i = 0; i < list.size(); ++i) {
        IndexKind(static_cast<std::int32_t>(i), list[i].kind);
    }
    changed_.clear();
    changed_.reserve(list.size());
    isChanged_.assign(list.size(), false);
    journalValid_ = false;
    journal_.clear();
    journaled_.assign((list.size() + 63) / 64, 0);
    build_.value = BuildNumber::Next();
}

std::uint64_t ElementIndex::BuildNumber::Next() {
    // A number no build of any index had before, also across threads.
    static std::atomic<std::uint64_t> builds{0};
    return ++builds;
}

void ElementIndex::IndexKind(std::int32_t element, float kind) {
    if (kind == Code(ElementKind::Sensor)) {
        InsertSorted(sensors_, element);
    }
    if (IsPickup(kind)) {
        InsertSorted(pickups_[RoundToPixel(kind)], element);
    }
}

void ElementIndex::Near(CellGrid::Position position, const ScreenBox& box, float viewX, float viewY,
                        std::vector<std::int32_t>& out, CellGrid::Margin margin) const {
    out.clear();
    if (!std::isfinite(viewX) || !std::isfinite(viewY)) {
        // A view that is no number leaves nothing to reason with: every element is a candidate.
        out.resize(builtSize_);
        std::iota(out.begin(), out.end(), 0);
        return;
    }
    const CellGrid& grid = position == CellGrid::Position::Current ? current_ : home_;
    grid.Collect(double(box.left) - viewX, double(box.top) - viewY, double(box.right) - viewX,
                 double(box.bottom) - viewY, out, margin);
    SortFew(out);
}

void ElementIndex::ElementChanged(std::int32_t element, const Element& record) {
    current_.Place(element, record.column, record.row);
    home_.Place(element, record.homeColumn, record.homeRow);
    IndexKind(element, record.kind);
    Note(element);
    if (!isChanged_[static_cast<std::size_t>(element)]) {
        isChanged_[static_cast<std::size_t>(element)] = true;
        changed_.push_back(element);
    }
}

void ElementIndex::ForgetChanged() {
    for (const std::int32_t element : changed_) {
        isChanged_[static_cast<std::size_t>(element)] = false;
    }
    changed_.clear();
}

void ElementIndex::JournalInOrder(std::vector<std::uint32_t>& out) const {
    out.clear();
    // A long journal is read off its bits, a word per 64 elements; a short one sorted.
    if (journal_.size() * 8 < journaled_.size()) {
        out.assign(journal_.begin(), journal_.end());
        std::sort(out.begin(), out.end());
        return;
    }
    out.reserve(journal_.size());
    for (std::size_t word = 0; word < journaled_.size(); ++word) {
        for (std::uint64_t bits = journaled_[word]; bits != 0; bits &= bits - 1) {
            out.push_back(static_cast<std::uint32_t>(word * 64 + std::countr_zero(bits)));
        }
    }
}

void ElementIndex::ResetJournal(const std::vector<std::uint32_t>& positions) {
    if (journal_.size() * 8 < journaled_.size()) {
        for (const std::int32_t element : journal_) {
            journaled_[static_cast<std::size_t>(element) >> 6] = 0;
        }
    } else {
        std::fill(journaled_.begin(), journaled_.end(), 0);
    }
    journal_.clear();
    journalValid_ = true;
    for (const std::uint32_t position : positions) {
        Note(static_cast<std::int32_t>(position));
    }
}

// ---------------------------------------------------------------------------------------------

const ElementIndex& IndexOf(const Level& level) {
    level.index.Refresh(level);
    return level.index;
}

ElementIndex& IndexOf(Level& level) {
    level.index.Refresh(level);
    return level.index;
}

void ElementIndex::Invalidate() {
    builtFor_ = ~std::uint64_t{0};
}

void ElementChanged(Level& level, std::size_t element) {
    IndexOf(level).ElementChanged(static_cast<std::int32_t>(element), level.elements[element]);
}

}  // namespace tessaron::level
