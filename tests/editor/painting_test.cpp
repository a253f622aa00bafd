// The brush cell under the mouse and the paint of a brush square into the level's records.
#include "editor/painting.h"

#include <gtest/gtest.h>

#include "small_level.h"

namespace tessaron::editor {
namespace {

using level::Element;

struct BrushCase {
    std::int32_t mouse;
    float view;
    std::int32_t cell;
};

class BrushAxis : public ::testing::TestWithParam<BrushCase> {};

// Both axes use the same formula; each case is checked as a column and as a row.
TEST_P(BrushAxis, IsTheDrawnCellShiftedByOnePixel) {
    const BrushCase c = GetParam();
    EXPECT_EQ(BrushCellAt(c.mouse, 0, c.view, 0.0f).column, c.cell);
    EXPECT_EQ(BrushCellAt(0, c.mouse, 0.0f, c.view).row, c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, BrushAxis,
    ::testing::Values(
        // Cell 1 is drawn from pixel 20 to 59: its left edge selects cell 0, the pixel just
        // right of its last one still selects it.
        BrushCase{20, 0.0f, 0}, BrushCase{21, 0.0f, 1}, BrushCase{59, 0.0f, 1},
        BrushCase{60, 0.0f, 1}, BrushCase{61, 0.0f, 2}, BrushCase{0, 0.0f, 0},
        BrushCase{-20, 0.0f, -1}, BrushCase{-19, 0.0f, 0},
        // The view offset moves the cells; a fractional one moves the edges with it.
        BrushCase{10, -10.0f, 0}, BrushCase{11, -10.0f, 1}, BrushCase{384, -100.0f, 12},
        BrushCase{30, 10.5f, 0}, BrushCase{31, 10.5f, 1},
        // A view scrolled absurdly far still gives a whole cell.
        BrushCase{0, 1.0e12f, std::numeric_limits<std::int32_t>::min()}));

PaintSettings AllFlags() {
    PaintSettings paint;
    paint.backgroundChoice = 200;
    paint.kindChoice = 1001;
    paint.linkValue = 7;
    paint.lengthValue = 3;
    paint.speedXValue = -4;
    paint.speedYValue = 2;
    paint.pause1Value = 50;
    paint.pause2Value = 60;
    return paint;
}

using testing::SmallLevel;

Element& At(level::Level& level, int column, int row) {
    return level.elements[static_cast<std::size_t>((row - 1) * level.levelWidth + column - 1)];
}

TEST(Paint, WritesEveryFlaggedFieldIntoTheBrushSquareOnly) {
    level::Level level = SmallLevel();
    const level::ElementList before = level.elements;
    PaintSettings paint = AllFlags();
    paint.brushSize = 2;
    EXPECT_EQ(Paint(level, paint, 80, 120), 4);  // brush cell (2, 3)
    for (int row = 1; row <= 6; ++row) {
        for (int column = 1; column <= 10; ++column) {
            const Element& e = At(level, column, row);
            const Element& old = before[static_cast<std::size_t>((row - 1) * 10 + column - 1)];
            if (column < 2 || column > 3 || row < 3 || row > 4) {
                EXPECT_EQ(e, old) << column << "," << row;
                continue;
            }
            Element expected = old;
            expected.background = 200.0f;
            expected.kind = 1001.0f;
            expected.link = 7.0f;
            expected.length = 3.0f;
            expected.speedX = -4.0f;
            expected.speedY = 2.0f;
            expected.pause1 = 50.0f;
            expected.pause2 = 60.0f;
            EXPECT_EQ(e, expected) << column << "," << row;
        }
    }
}

TEST(Paint, ClearedFlagsLeaveTheirFieldsAndAllClearedChangesNothing) {
    level::Level level = SmallLevel();
    At(level, 4, 2).kind = 2020.0f;
    At(level, 4, 2).link = 5.0f;
    const level::ElementList before = level.elements;

    PaintSettings paint = AllFlags();
    paint.applyBackground = paint.applyKind = paint.applyLink = paint.applyLength = 0;
    paint.applySpeed = paint.applyPause1 = paint.applyPause2 = 0;
    EXPECT_EQ(Paint(level, paint, 160, 80), 1);
    EXPECT_EQ(level.elements, before);

    // Only the speeds: right 4, left 0, up 0, down 2.
    paint.applySpeed = 1;
    paint.speedXValue = 4;
    paint.speedYValue = 2;
    Paint(level, paint, 160, 80);
    Element expected = before[1 * 10 + 3];
    expected.speedX = 4.0f;
    expected.speedY = 2.0f;
    EXPECT_EQ(At(level, 4, 2), expected);
}

TEST(Paint, BrushInTheLastColumnPaintsThatColumnDownwardsAndNothingBeyond) {
    level::Level level = SmallLevel();
    PaintSettings paint = AllFlags();
    paint.brushSize = 3;
    EXPECT_EQ(Paint(level, paint, 400, 160), 3);  // brush cell (10, 4): rows 4..6
    for (int row = 1; row <= 6; ++row) {
        EXPECT_EQ(At(level, 10, row).kind, row >= 4 ? 1001.0f : 1000.0f) << row;
        EXPECT_EQ(At(level, 9, row).kind, 1000.0f) << row;
    }
    // Wholly outside the level: no element, nothing painted.
    EXPECT_EQ(Paint(level, paint, 2000, 160), 0);
    EXPECT_EQ(Paint(level, paint, -400, -400), 0);
}

TEST(Paint, MovingElementsCountByTheirRoundedPosition) {
    level::Level level = SmallLevel();
    // Halves round to even: 4.5 counts as column 4, 5.5 as column 6.
    At(level, 1, 1).column = 4.5f;
    At(level, 2, 1).column = 5.5f;
    At(level, 3, 1).column = 4.49f;
    PaintSettings paint = AllFlags();
    EXPECT_EQ(Paint(level, paint, 160, 40), 3);  // brush cell (4, 1)
    EXPECT_EQ(At(level, 1, 1).kind, 1001.0f);
    EXPECT_EQ(At(level, 2, 1).kind, 1000.0f);
    EXPECT_EQ(At(level, 3, 1).kind, 1001.0f);
    EXPECT_EQ(At(level, 4, 1).kind, 1001.0f);
    // Positions and runtime fields are never written.
    EXPECT_EQ(At(level, 1, 1).column, 4.5f);
    EXPECT_EQ(At(level, 1, 1).homeColumn, 1.0f);
}

TEST(Paint, BrushSizeOutsideOneToEightIsTakenAtTheNearerEnd) {
    level::Level level = SmallLevel();
    PaintSettings paint = AllFlags();
    paint.brushSize = 0;
    EXPECT_EQ(Paint(level, paint, 40, 40), 1);
    paint.brushSize = 50;
    EXPECT_EQ(Paint(level, paint, 40, 40), 8 * 6);  // columns 1..8, all six rows
}

}  // namespace
}  // namespace tessaron::editor
