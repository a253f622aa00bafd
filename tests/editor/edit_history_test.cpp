// The history of the level's edits: what a click records, and undo and redo bit for bit.
#include "editor/edit_history.h"

#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "editor/painting.h"
#include "small_level.h"

namespace tessaron::editor {
namespace {

using testing::SmallLevel;

bool SameBits(const level::ElementList& a, const level::ElementList& b) {
    return a.size() == b.size() &&
           std::memcmp(a.data(), b.data(), a.size() * sizeof(level::Element)) == 0;
}

// Paints at a cell and records the click as one step.
void Click(level::Level& level, EditHistory& history, const PaintSettings& paint, int column,
           int row) {
    std::vector<CellChange> changes;
    Paint(level, paint, 40 * column, 40 * row, &changes);
    history.Record(level, std::move(changes));
}

// Values that compare equal to what a paint writes but differ in their bits (-0 against 0), and
// a value equal to nothing, itself included (a NaN with a payload), come back exactly.
TEST(EditHistory, UndoAndRedoRestoreEveryBitOfTheChangedCells) {
    level::Level level = SmallLevel();
    level::Element& cell = level.elements[12];
    cell.length = -0.0f;
    cell.pause1 = std::numeric_limits<float>::quiet_NaN();
    const float payloadNaN = [] {
        float value;
        const std::uint32_t bits = 0x7FC01234u;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }();
    cell.pause2 = payloadNaN;
    const level::ElementList before = level.elements;

    // Everything a paint writes already stands in the cell but for those bits.
    PaintSettings paint;
    paint.backgroundChoice = static_cast<int>(cell.background);
    paint.kindChoice = static_cast<int>(cell.kind);
    paint.linkValue = static_cast<int>(cell.link);
    EditHistory history;
    Click(level, history, paint, 3, 2);  // list place 12: row 2, column 3
    const level::ElementList after = level.elements;
    ASSERT_FALSE(SameBits(after, before));
    EXPECT_EQ(history.CellCount(), 1u);

    ASSERT_TRUE(history.Undo(level));
    EXPECT_TRUE(SameBits(level.elements, before));
    ASSERT_TRUE(history.Redo(level));
    EXPECT_TRUE(SameBits(level.elements, after));

    // The same click again changes no bit: it is no step, so one undo goes all the way back.
    Click(level, history, paint, 3, 2);
    ASSERT_TRUE(history.Undo(level));
    EXPECT_TRUE(SameBits(level.elements, before));
    EXPECT_FALSE(history.CanUndo(level));
    // A click that writes nothing leaves the step to redo.
    PaintSettings writesNothing;
    writesNothing.applyBackground = writesNothing.applyKind = writesNothing.applyLink = 0;
    writesNothing.applyLength = writesNothing.applySpeed = 0;
    writesNothing.applyPause1 = writesNothing.applyPause2 = 0;
    Click(level, history, writesNothing, 3, 2);
    EXPECT_TRUE(history.CanRedo(level));
}

TEST(EditHistory, KeepsTheNewestThousandSteps) {
    level::Level level = SmallLevel();
    EditHistory history;
    PaintSettings paint;
    const std::size_t steps = EditHistory::kMaxSteps + 1;
    for (std::size_t i = 0; i < steps; ++i) {
        // Alternating kinds in one cell: every click changes it.
        paint.kindChoice = 1001 + static_cast<int>(i % 2);
        Click(level, history, paint, 1, 1);
    }
    std::size_t undone = 0;
    while (history.Undo(level)) {
        ++undone;
    }
    EXPECT_EQ(undone, EditHistory::kMaxSteps);
    // The oldest step was forgotten: the cell keeps what the first click wrote.
    EXPECT_EQ(level.elements[0].kind, 1001.0f);
    EXPECT_EQ(history.CellCount(), EditHistory::kMaxSteps);
}

// The level is unsaved while the history stands elsewhere than where it was saved; a saved state
// dropped by a new step is gone, and edits stay unsaved when the list is replaced.
TEST(EditHistory, UnsavedUntilTheHistoryStandsWhereTheLevelWasSaved) {
    level::Level level = SmallLevel();
    PaintSettings paint;
    paint.kindChoice = 1001;
    EditHistory history;
    EXPECT_FALSE(history.Unsaved());
    Click(level, history, paint, 1, 1);
    EXPECT_TRUE(history.Unsaved());
    history.MarkSaved(level);
    EXPECT_FALSE(history.Unsaved());
    history.Undo(level);
    EXPECT_TRUE(history.Unsaved());
    history.Redo(level);
    EXPECT_FALSE(history.Unsaved());
    history.Undo(level);
    Click(level, history, paint, 2, 1);
    history.Undo(level);
    EXPECT_TRUE(history.Unsaved());

    level::ReplaceElements(level, level.elements);
    EXPECT_TRUE(history.Unsaved());
    EXPECT_FALSE(history.CanUndo(level));
    history.MarkSaved(level);
    level::ReplaceElements(level, level.elements);
    Click(level, history, paint, 3, 1);
    history.Undo(level);
    EXPECT_FALSE(history.Unsaved());
}

}  // namespace
}  // namespace tessaron::editor
