#include "editor/edit_history.h"

#include <cstring>
#include <utility>

namespace tessaron::editor {

namespace {

// Copies a record's bytes: every field comes back with the very bits it had. The level's
// indexes learn of the change.
void Put(level::Level& level, std::uint32_t index, const level::Element& record) {
    // A step only names places of the list it was recorded on, and the history forgets its
    // steps when that list is replaced; should that ever fail, the write stays inside the list.
    if (index < level.elements.size()) {
        std::memcpy(&level.elements[index], &record, sizeof record);
        level::ElementChanged(level, index);
    }
}

}  // namespace

bool RecordsDiffer(const level::Element& a, const level::Element& b) {
    return std::memcmp(&a, &b, sizeof(level::Element)) != 0;
}

bool EditHistory::Current(const level::Level& level) const {
    return level.listGeneration == listGeneration_;
}

void EditHistory::Follow(const level::Level& level) {
    if (!Current(level)) {
        // The new list starts as saved only if the old one was.
        const bool unsaved = Unsaved();
        steps_.clear();
        done_ = 0;
        listGeneration_ = level.listGeneration;
        savedAt_ = unsaved ? std::nullopt : std::optional<std::size_t>(0);
    }
}

void EditHistory::MarkSaved(const level::Level& level) {
    Follow(level);
    savedAt_ = done_;
}

bool EditHistory::Unsaved() const {
    return savedAt_ != done_;
}

void EditHistory::Record(const level::Level& level, std::vector<CellChange> changes) {
    Follow(level);
    if (changes.empty()) {
        return;
    }
    steps_.resize(done_);
    // A saved state among the steps just dropped can no longer be reached.
    if (savedAt_ && *savedAt_ > done_) {
        savedAt_.reset();
    }
    changes.shrink_to_fit();
    steps_.push_back(Step{std::move(changes)});
    if (steps_.size() > kMaxSteps) {
        steps_.pop_front();
        if (savedAt_) {
            savedAt_ = *savedAt_ == 0 ? std::nullopt : std::optional<std::size_t>(*savedAt_ - 1);
        }
    }
    done_ = steps_.size();
}

bool EditHistory::Undo(level::Level& level) {
    Follow(level);
    if (done_ == 0) {
        return false;
    }
    --done_;
    const std::vector<CellChange>& cells = steps_[done_].cells;
    // Newest change first, so that the records come back as they were even if a step held one
    // place twice.
    for (auto change = cells.rbegin(); change != cells.rend(); ++change) {
        Put(level, change->index, change->before);
    }
    return true;
}

bool EditHistory::Redo(level::Level& level) {
    Follow(level);
    if (done_ == steps_.size()) {
        return false;
    }
    for (const CellChange& change : steps_[done_].cells) {
        Put(level, change.index, change.after);
    }
    ++done_;
    return true;
}

bool EditHistory::CanUndo(const level::Level& level) const {
    return Current(level) && done_ > 0;
}

bool EditHistory::CanRedo(const level::Level& level) const {
    return Current(level) && done_ < steps_.size();
}

std::size_t EditHistory::CellCount() const {
    std::size_t cells = 0;
    for (const Step& step : steps_) {
        cells += step.cells.size();
    }
    return cells;
}

}  // namespace tessaron::editor
