// The level check on a level with one of each mistake beside near misses that are none, and on
// the ball's start point at the level's edges.
#include "game/level_check.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace tessaron::game {
namespace {

using level::Code;
using level::Element;
using level::ElementKind;

// A width x height level of empty air cells with link -1, and the ball starting at the world
// point (x, y).
level::Level EmptyLevel(int width, int height, int x, int y) {
    level::Level level;
    level.levelWidth = width;
    level.levelHeight = height;
    level::BuildFreshGrid(level.elements, width, height);
    for (Element& e : level.elements) {
        e.kind = Code(ElementKind::Empty);
    }
    level.startX = 512 - x;
    level.startY = 384 - y;
    return level;
}

Element& CellAt(level::Level& level, int column, int row) {
    return level.elements[static_cast<std::size_t>((row - 1) * level.levelWidth + column - 1)];
}

Element& Put(level::Level& level, int column, int row, ElementKind kind, float link = -1,
             float length = 0, float speedX = 0, float speedY = 0) {
    Element& e = CellAt(level, column, row);
    e.kind = Code(kind);
    e.link = link;
    e.length = length;
    e.speedX = speedX;
    e.speedY = speedY;
    return e;
}

std::vector<std::string> Lines(const level::Level& level) {
    std::vector<std::string> lines;
    for (const Finding& finding : CheckLevel(level)) {
        lines.push_back(FindingLine(finding));
    }
    return lines;
}

TEST(LevelCheck, FindsOneOfEachMistakeInListOrderAndNothingInTheNearMisses) {
    // The ball starts in the middle of cell (6, 3), which holds concrete.
    level::Level level = EmptyLevel(8, 6, 240, 120);
    CellAt(level, 1, 1).kind = 1234.0f;
    CellAt(level, 2, 1).background = 300.0f;
    Put(level, 3, 2, ElementKind::Wood, 0, 3);
    Put(level, 4, 2, ElementKind::Wood, 0, 0, 5);
    Put(level, 5, 3, ElementKind::Wood, 0, 2, 3, 3);
    Put(level, 6, 3, ElementKind::Concrete);
    Put(level, 7, 4, ElementKind::Wood, 0, 5, 4);
    Put(level, 2, 5, ElementKind::Door, -1, 2, 0, -5);
    Put(level, 3, 5, ElementKind::Door, 5, 2, 0, -5);
    Put(level, 4, 5, ElementKind::Switch, 9);
    // Near misses: a sensor's link that a door carries; a path ending on the last column; the
    // game's own codes for a taken coin, a worn bush and a torch's second frame; water. The
    // border is open but where solid elements stand still: the unknown kind at (1, 1), the
    // worn bush at (4, 6); the wood at (1, 6) moves away.
    Put(level, 5, 5, ElementKind::Sensor, 7);
    Put(level, 6, 5, ElementKind::Door, 7, 1, 0, -5);
    Put(level, 1, 6, ElementKind::Wood, 0, 7, 4);
    CellAt(level, 3, 6).kind = Code(ElementKind::Coin10) + level::kTakenOffset;
    CellAt(level, 4, 6).kind = Code(ElementKind::Bush50);
    CellAt(level, 5, 6).kind = Code(ElementKind::TorchFlicker);
    CellAt(level, 6, 6).background = Code(level::Background::Water);

    const std::vector<std::string> expected = {
        "0 0: the level has no goal (\"Ziel\")",
        "2 1: the top border is open from column 2 to 8: the ball can leave the level there",
        "1 6: the bottom border is open from column 1 to 3: the ball can leave the level there",
        "5 6: the bottom border is open from column 5 to 8: the ball can leave the level there",
        "1 2: the left border is open from row 2 to 5: the ball can leave the level there",
        "8 2: the right border is open from row 2 to 5: the ball can leave the level there",
        "1 1: kind 1234 at 1 1: the game knows no element of this kind",
        "2 1: Nichts at 2 1: background 300 is neither air (100) nor water (200), so the cell "
        "has no backdrop",
        "3 2: Holz at 3 2: a displacement of 3 cells without a speed never moves",
        "4 2: Holz at 4 2: a speed without a displacement length never moves",
        "5 3: Holz at 5 3: moves along both axes (speedX 3, speedY 3), so it does not come back "
        "to its cell; give it one direction only",
        "6 3: Beton at 6 3: the ball starts inside this solid element",
        "7 4: Holz at 7 4: its displacement of 5 cells ends outside the level, at column 12 "
        "row 4",
        "2 5: Tür at 2 5: a displacement without a link number (-1) sets off at once and stays "
        "at its far end; give it link 0 to move by itself, or the number of its switch or "
        "sensor",
        "3 5: Tür at 3 5: link 5 has no switch or sensor",
        "4 5: Schalter at 4 5: link 9 moves nothing",
    };
    EXPECT_EQ(Lines(level), expected);
}

struct StartCase {
    const char* name;
    int x;  // the ball's world point
    int y;
    bool inside;
};

void PrintTo(const StartCase& c, std::ostream* out) {
    *out << c.name;
}

class StartPoint : public ::testing::TestWithParam<StartCase> {};

// A cell covers its centre's 20 pixels to the left and above, and 19 to the right and below.
TEST_P(StartPoint, LiesInsideFromTheFirstCellsEdgeToTheLastCellsLastPixel) {
    level::Level level = EmptyLevel(5, 4, GetParam().x, GetParam().y);
    Put(level, 5, 4, ElementKind::Goal);
    std::vector<Finding> findings = CheckLevel(level);
    // The empty level's border is open all round; only the start matters here.
    std::erase_if(findings, [](const Finding& f) { return f.problem == Problem::OpenBorder; });
    if (GetParam().inside) {
        EXPECT_TRUE(findings.empty()) << FindingLine(findings.front());
    } else {
        ASSERT_EQ(findings.size(), 1u);
        EXPECT_EQ(findings[0].problem, Problem::StartOutside);
        EXPECT_EQ(findings[0].column, 0);
        EXPECT_EQ(findings[0].row, 0);
    }
}
INSTANTIATE_TEST_SUITE_P(
    Edges, StartPoint,
    ::testing::Values(StartCase{"LeftEdge", 20, 100, true}, StartCase{"LeftOfIt", 19, 100, false},
                      StartCase{"RightEdge", 219, 100, true},
                      StartCase{"RightOfIt", 220, 100, false}, StartCase{"TopEdge", 100, 20, true},
                      StartCase{"AboveIt", 100, 19, false}, StartCase{"BottomEdge", 100, 179, true},
                      StartCase{"BelowIt", 100, 180, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Concrete all round, but for the cells the ball can pass: nothing solid, or a solid element
// that moves away. Bushes and spikes stop the ball; they close the border.
TEST(LevelCheck, FindsEachRunOfOpenBorderCellsOnItsSide) {
    level::Level level = EmptyLevel(6, 5, 120, 120);
    for (Element& e : level.elements) {
        if (e.homeColumn == 1 || e.homeColumn == 6 || e.homeRow == 1 || e.homeRow == 5) {
            e.kind = Code(ElementKind::Concrete);
        }
    }
    Put(level, 3, 3, ElementKind::Goal);
    Put(level, 2, 1, ElementKind::Coin5);
    Put(level, 3, 1, ElementKind::Torch);
    Put(level, 5, 1, ElementKind::Bush);
    Put(level, 6, 3, ElementKind::Empty);
    Put(level, 1, 4, ElementKind::Spikes);
    Put(level, 6, 5, ElementKind::Wood, 0, 2, -5);
    Put(level, 5, 5, ElementKind::Door);  // without a displacement it never opens

    EXPECT_EQ(Lines(level),
              (std::vector<std::string>{
                  "2 1: the top border is open from column 2 to 3: the ball can leave the level "
                  "there",
                  "6 5: the bottom border is open at column 6: the ball can leave the level there",
                  "6 3: the right border is open at row 3: the ball can leave the level there",
              }));
}

TEST(LevelCheck, ALevelWithoutCellsHasNoGoalAndNoRoomForTheBall) {
    level::Level level = EmptyLevel(0, 0, 100, 100);
    std::vector<Problem> problems;
    for (const Finding& finding : CheckLevel(level)) {
        problems.push_back(finding.problem);
    }
    EXPECT_EQ(problems, (std::vector<Problem>{Problem::NoGoal, Problem::StartOutside}));
}

}  // namespace
}  // namespace tessaron::game
