#include "level/level.h"

#include <gtest/gtest.h>

namespace tessaron::level {
namespace {

TEST(AddCell, StoresEveryArgumentUnchangedInFieldOrderAndAppends) {
    ElementList list;
    AddCell(list, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    AddCell(list, -7, 0, 0, 123456789, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_EQ(list.size(), 2u);
    for (int i = 0; i < kElementFieldCount; ++i) {
        EXPECT_EQ(Field(list[0], i), static_cast<float>(i + 1)) << kElementFieldNames[i];
    }
    EXPECT_EQ(list[1].background, -7.0f);
    EXPECT_EQ(list[1].kind, 123456792.0f);  // the nearest float: nothing is validated
}

TEST(FreshGrid, IsEmptyAirInRowOrderWithOneBrickAtColumn13Row15) {
    ElementList list;
    AddCell(list, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);  // cleared first
    BuildFreshGrid(list, 20, 20);
    ASSERT_EQ(list.size(), 400u);
    int bricks = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Element& e = list[i];
        const float column = static_cast<float>(i % 20 + 1);
        const float row = static_cast<float>(i / 20 + 1);
        ASSERT_EQ(std::pair(e.homeColumn, e.homeRow), std::pair(column, row)) << i;
        ASSERT_EQ(std::pair(e.column, e.row), std::pair(column, row)) << i;
        const bool brick = column == 13 && row == 15;
        bricks += brick;
        EXPECT_EQ(e, (Element{100, column, row, brick ? 1001.0f : 1000.0f, column, row, 0, -1, 0, 0,
                              0, 0, 0, 0, 0}));
    }
    EXPECT_EQ(bricks, 1);

    BuildFreshGrid(list, 5, 5);  // too small to hold the brick
    EXPECT_EQ(list.size(), 25u);
    EXPECT_TRUE(
        std::all_of(list.begin(), list.end(), [](const Element& e) { return e.kind == 1000.0f; }));
    BuildFreshGrid(list, 0, 7);
    EXPECT_TRUE(list.empty());
}

struct KindCase {
    float before;
    float after;
};
class RestoreKindTest : public ::testing::TestWithParam<KindCase> {};
TEST_P(RestoreKindTest, BringsBackTakenPickupsAndWornBushesOnly) {
    Level level;
    AddCell(level.elements, 100, 1, 1, 0, 1, 1, 0, -1, 0, 0, 0, 0, 0, 0, 0);
    level.elements[0].kind = GetParam().before;
    RestoreEditState(level);
    EXPECT_EQ(level.elements[0].kind, GetParam().after);
}
INSTANTIATE_TEST_SUITE_P(RestoreEditState, RestoreKindTest,
                         ::testing::Values(KindCase{5010, 4010}, KindCase{5099, 4099},
                                           KindCase{5090, 4090}, KindCase{5000, 5000},
                                           KindCase{6001, 5001}, KindCase{1015, 1025},
                                           KindCase{1005, 1025}, KindCase{1010, 1025},
                                           KindCase{1004, 1004}, KindCase{1025, 1025},
                                           KindCase{3012, 3012}, KindCase{2001, 2001}));

TEST(RestoreEditState, TakesMovedElementsBackAndClearsTheRuntimeState) {
    Level level;
    level.score = 140;
    level.triggeredLink = 3;
    ElementList& list = level.elements;
    // Moving right, 2.5 cells travelled.
    AddCell(list, 100, 5, 3, 2020, 0, 3, 1, 1, 0, 4, 5, 0, 17, 10, 10);
    list.back().column = 7.5f;
    list.back().travelled = 2.5f;
    // Moving left, coming back.
    AddCell(list, 100, 9, 3, 2010, 0, 3, -1, 1, 0, 4, -2, 0, 0, 0, 0);
    list.back().column = 7.96f;
    list.back().travelled = 1.04f;
    // Moving up.
    AddCell(list, 100, 2, 8, 2010, 2, 0, 1, 1, 0, 2, 0, -3, 0, 0, 0);
    list.back().row = 6.5f;
    list.back().travelled = 1.5f;
    // Moving on both axes.
    AddCell(list, 100, 4, 4, 1001, 0, 0, 1, 0, 0, 4, 1, 1, 0, 0, 0);
    list.back().column = 5.0f;
    list.back().row = 5.0f;
    list.back().travelled = 2.0f;
    // A switch pressed half way.
    AddCell(list, 100, 6, 6, 2001, 6, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0);
    list.back().row = 6.48f;
    list.back().travelled = 0.48f;

    RestoreEditState(level);
    EXPECT_EQ(std::pair(list[0].column, list[0].row), std::pair(5.0f, 3.0f));
    EXPECT_EQ(std::pair(list[1].column, list[1].row), std::pair(9.0f, 3.0f));
    EXPECT_EQ(std::pair(list[2].column, list[2].row), std::pair(2.0f, 8.0f));
    // A diagonal mover and a pressed switch go home too, though no speed leads them back.
    EXPECT_EQ(std::pair(list[3].column, list[3].row), std::pair(4.0f, 4.0f));
    EXPECT_EQ(std::pair(list[4].column, list[4].row), std::pair(6.0f, 6.0f));
    for (const Element& e : list) {
        EXPECT_EQ(e.travelled, 0.0f);
        EXPECT_EQ(e.motion, 0.0f);
        EXPECT_EQ(e.pauseCount, 0.0f);
    }
    EXPECT_EQ(level.score, 0);
    EXPECT_EQ(level.triggeredLink, -1);
}

}  // namespace
}  // namespace tessaron::level
