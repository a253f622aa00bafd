// The cell grid at its edges: elements far outside the cells it covers, and a grid narrowed to
// its budget, must still be found wherever they are.
#include "level/element_index.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "level/level.h"

namespace tessaron::level {
namespace {

Element At(float column, float row) {
    Element e;
    e.column = e.homeColumn = column;
    e.row = e.homeRow = row;
    e.kind = 1001.0f;
    return e;
}

// Every element whose point (40 * column + view) lies in the box is among those Near returns,
// and Near returns each element once, in list order.
void ExpectFound(Level& level, const ScreenBox& box, float viewX, float viewY) {
    std::vector<std::int32_t> near;
    IndexOf(level).Near(CellGrid::Position::Current, box, viewX, viewY, near);
    ASSERT_TRUE(std::is_sorted(near.begin(), near.end()));
    ASSERT_EQ(std::adjacent_find(near.begin(), near.end()), near.end());
    for (std::size_t i = 0; i < level.elements.size(); ++i) {
        const Element& e = level.elements[i];
        const float x = 40.0f * e.column + viewX;
        const float y = 40.0f * e.row + viewY;
        if (x >= box.left && x <= box.right && y >= box.top && y <= box.bottom) {
            EXPECT_TRUE(std::binary_search(near.begin(), near.end(), std::int32_t(i)))
                << "element " << i << " at (" << e.column << ", " << e.row << ")";
        }
    }
}

// A box of a few cells around the element's point.
ScreenBox Around(const Element& e, float viewX, float viewY) {
    const float x = 40.0f * e.column + viewX;
    const float y = 40.0f * e.row + viewY;
    return {x - 60.0f, y - 60.0f, x + 60.0f, y + 60.0f};
}

TEST(CellGrid, ElementsOutsideTheGridAreFoundAndFollowedWhenTheyMove) {
    Level level;
    for (float column = 1; column <= 20; ++column) {
        level.elements.push_back(At(column, 5));
    }
    const float huge = 1.0e7f;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    level.elements.push_back(At(huge, 5));        // 20: far beyond any cell the grid holds
    level.elements.push_back(At(-70000.0f, -3));  // 21
    level.elements.push_back(At(nan, 2));         // 22: no cell at all
    const float viewX = 100.0f;
    const float viewY = -50.0f;
    for (const Element& e : level.elements) {
        ExpectFound(level, Around(e, viewX, viewY), viewX, viewY);
    }
    std::vector<std::int32_t> near;
    IndexOf(level).Near(CellGrid::Position::Current, {0, 0, 10, 10}, viewX, viewY, near);
    for (std::int32_t outside : {20, 21, 22}) {
        EXPECT_TRUE(std::binary_search(near.begin(), near.end(), outside)) << outside;
    }

    // An element moves far out and back, and one from far out into the cells.
    level.elements[3].column = huge;
    IndexOf(level).Moved(3, level.elements[3]);
    ExpectFound(level, Around(level.elements[3], viewX, viewY), viewX, viewY);
    level.elements[3].column = 4;
    level.elements[21].column = 7.5f;
    level.elements[21].row = 5;
    IndexOf(level).Moved(3, level.elements[3]);
    IndexOf(level).Moved(21, level.elements[21]);
    for (std::int32_t i : {3, 21}) {
        ExpectFound(level, Around(level.elements[std::size_t(i)], viewX, viewY), viewX, viewY);
    }
    // So far beyond the cells no listed element can land near the screen: only those without a
    // cell of their own stay candidates.
    IndexOf(level).Near(CellGrid::Position::Current, {0, 0, 10, 10}, 1.0e9f, 0.0f, near);
    EXPECT_EQ(near, (std::vector<std::int32_t>{20, 22}));
}

TEST(CellGrid, ANarrowedGridStillFindsEveryElement) {
    Level level;
    // A row longer than the grid's widest span: the grid covers the columns around the middle.
    for (float column = 0; column < 6000; column += 1.0f) {
        level.elements.push_back(At(column, 1));
    }
    // Few elements spread over more cells than the budget: the grid narrows its longer axis.
    for (float row = 0; row <= 2000; row += 250.0f) {
        level.elements.push_back(At(7000.0f + row / 4.0f, row));
    }
    for (const float viewX : {0.0f, -1000.5f}) {
        for (std::size_t i = 0; i < level.elements.size(); i += 37) {
            ExpectFound(level, Around(level.elements[i], viewX, 20.0f), viewX, 20.0f);
        }
        ExpectFound(level, Around(level.elements.back(), viewX, 20.0f), viewX, 20.0f);
        ExpectFound(level, Around(level.elements.front(), viewX, 20.0f), viewX, 20.0f);
    }
    // The last element leaves the cells of the narrowed grid, the first comes into them.
    level.elements.back().column = -9000.0f;
    level.elements.front().column = 3000.25f;
    IndexOf(level).Moved(std::int32_t(level.elements.size() - 1), level.elements.back());
    IndexOf(level).Moved(0, level.elements.front());
    ExpectFound(level, Around(level.elements.back(), 0.0f, 0.0f), 0.0f, 0.0f);
    ExpectFound(level, Around(level.elements.front(), 0.0f, 0.0f), 0.0f, 0.0f);
}

}  // namespace
}  // namespace tessaron::level
