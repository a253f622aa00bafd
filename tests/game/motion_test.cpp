// Moving elements, links, switches and torches, driven pass by pass through the update pass.
#include "game/motion.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <new>
#include <random>
#include <string>
#include <vector>

#include "level/level_file.h"
#include "runtime/files.h"
#include "runtime/random.h"
#include "support/allocation_counter.h"

namespace tessaron::game {
namespace {

using level::Code;
using level::Element;
using level::ElementKind;

constexpr float kHomeColumn = 5.0f;
constexpr float kHomeRow = 10.0f;
constexpr std::int32_t kNothingTriggered = -1;

struct Motion {
    ElementKind kind = ElementKind::Brick;
    float link = 0;
    float length = 0;
    float speedX = 0;
    float speedY = 0;
    float pause1 = 0;
    float pause2 = 0;
};

Element MakeElement(const Motion& m) {
    Element e;
    e.background = Code(level::Background::Air);
    e.homeColumn = e.column = kHomeColumn;
    e.homeRow = e.row = kHomeRow;
    e.kind = Code(m.kind);
    e.link = m.link;
    e.length = m.length;
    e.speedX = m.speedX;
    e.speedY = m.speedY;
    e.pause1 = m.pause1;
    e.pause2 = m.pause2;
    return e;
}

// A level holding the given elements, and one pass of the update with a chosen trigger (the
// pass's first stage would have set it from a contact, or left it at -1).
struct Board {
    level::Level level;
    UpdateSchedule schedule;
    runtime::Random random{7};

    explicit Board(std::vector<Element> elements) { level.elements = std::move(elements); }
    Element& operator[](std::size_t i) { return level.elements[i]; }

    void Pass(std::int32_t trigger = kNothingTriggered) {
        level.triggeredLink = trigger;
        UpdateElements(level, schedule, random);
    }
    void Passes(int count, std::int32_t trigger = kNothingTriggered) {
        for (int i = 0; i < count; ++i) Pass(trigger);
    }
};

// The distance, in cells, of an element that sets off in pass 1 with speed 25, length 3 and
// pauses of 10 at both ends, after pass n: 12 passes out, 9 still after the arrival pass, 12
// back, 9 still, and over again every 42 passes.
float ExpectedBackAndForth(int n) {
    const int p = (n - 1) % 42 + 1;
    if (p <= 12)
        return 0.25f * static_cast<float>(p);
    if (p <= 21)
        return 3.0f;
    if (p <= 33)
        return 3.0f - 0.25f * static_cast<float>(p - 21);
    return 0.0f;
}

// Elements that start by themselves: an unlinked one of any kind, and a sensor whatever its
// link number, since a sensor's number serves only to trigger others.
class SelfStartingTest : public ::testing::TestWithParam<Motion> {};

TEST_P(SelfStartingTest, GoesOutAQuarterCellPerPassFromTheFirstPassAndStays) {
    for (const float pause2 : {0.0f, 10.0f}) {  // the start pause applies only after coming back
        Motion m = GetParam();
        m.pause2 = pause2;
        Board board({MakeElement(m)});
        for (int n = 1; n <= 12; ++n) {
            board.Pass();
            ASSERT_EQ(board[0].travelled, 0.25f * static_cast<float>(n)) << "pass " << n;
            ASSERT_EQ(board[0].column, kHomeColumn + 0.25f * static_cast<float>(n));
        }
        board.Passes(200);
        EXPECT_EQ(board[0].column, kHomeColumn + 3.0f);
        EXPECT_EQ(board[0].row, kHomeRow);
        EXPECT_EQ(board[0].travelled, 3.0f);
        EXPECT_EQ(board[0].motion, 1.0f);
        EXPECT_EQ(board[0].pauseCount, 0.0f);
    }
}

TEST_P(SelfStartingTest, WithBothPausesGoesBackAndForthStandingStillNinePassesAtEachEnd) {
    Motion m = GetParam();
    m.pause1 = 10;
    m.pause2 = 10;
    Board board({MakeElement(m)});
    for (int n = 1; n <= 3 * 42; ++n) {
        board.Pass();
        ASSERT_EQ(board[0].travelled, ExpectedBackAndForth(n)) << "pass " << n;
        ASSERT_EQ(board[0].column, kHomeColumn + ExpectedBackAndForth(n)) << "pass " << n;
    }
}

INSTANTIATE_TEST_SUITE_P(Motion, SelfStartingTest,
                         ::testing::Values(Motion{ElementKind::Brick, 0, 3, 25},
                                           Motion{ElementKind::Door, 0, 3, 25},
                                           Motion{ElementKind::Sensor, 7, 3, 25},
                                           Motion{ElementKind::Sensor, -1, 3, 25}));

TEST(Motion, ALinkedElementWaitsForItsLinkAndAfterComingBackWaitsForItAgain) {
    Board board({MakeElement({ElementKind::Door, 7, 2, 0, 50, 3, 0})});
    board.Passes(30);
    board.Passes(5, 3);  // another link
    EXPECT_EQ(board[0].row, kHomeRow);
    EXPECT_EQ(board[0].motion, 0.0f);

    board.Pass(7);  // one pass of the trigger is enough
    EXPECT_EQ(board[0].row, kHomeRow + 0.5f);
    board.Passes(3);
    EXPECT_EQ(board[0].row, kHomeRow + 2.0f);  // arrived in pass 4: pause count 1
    board.Passes(2);                           // the count reaches 3: it turns
    EXPECT_EQ(board[0].motion, -1.0f);
    board.Passes(4);
    EXPECT_EQ(board[0].row, kHomeRow);
    board.Passes(50);
    board.Passes(5, 3);
    EXPECT_EQ(board[0].row, kHomeRow);  // no start pause: only its link sends it out again
    EXPECT_EQ(board[0].motion, -1.0f);

    board.Pass(7);
    EXPECT_EQ(board[0].row, kHomeRow + 0.5f);
}

TEST(Motion, ATriggerWhileComingBackSendsTheElementOutAgainFromWhereItIs) {
    Board board({MakeElement({ElementKind::Door, 7, 3, 25, 0, 2, 0})});
    board.Pass(7);
    board.Passes(11);  // arrived in pass 12
    board.Pass();      // the count reaches 2: it turns
    board.Passes(4);   // four steps back
    ASSERT_EQ(board[0].travelled, 2.0f);
    ASSERT_EQ(board[0].motion, -1.0f);

    board.Pass(7);
    EXPECT_EQ(board[0].motion, 1.0f);
    EXPECT_EQ(board[0].travelled, 2.25f);
    EXPECT_EQ(board[0].column, kHomeColumn + 2.25f);
    board.Passes(3);
    EXPECT_EQ(board[0].column, kHomeColumn + 3.0f);
}

// Every cell of a new level has link -1, the value triggeredLink holds when nothing was
// triggered: such an element goes out at once, and at the far end a turn is undone in the next
// pass without a trigger, so it comes back only once some link has been triggered.
TEST(Motion, LinkMinusOneGoesOutWithoutATriggerAndStaysOutWhileNothingIsTriggered) {
    Board board({MakeElement({ElementKind::Brick, -1, 2, -50, 0, 5, 0})});
    board.Passes(4);
    EXPECT_EQ(board[0].column, kHomeColumn - 2.0f);
    for (int n = 0; n < 100; ++n) {
        board.Pass();
        ASSERT_EQ(board[0].column, kHomeColumn - 2.0f) << "pass " << n;
    }
    while (board[0].motion != -1.0f) board.Pass();  // turned by the far-end pause
    board.Pass(3);
    EXPECT_EQ(board[0].column, kHomeColumn - 1.5f);
}

// Counting at the start while idle turns 0 into -0, which still counts as idle, and the count
// left over is carried to the far end.
TEST(Motion, CountingWhileIdleKeepsTheElementIdleAndCarriesTheCountToTheFarEnd) {
    Board board({MakeElement({ElementKind::Brick, 7, 0.5f, 50, 0, 5, 3})});
    board.Passes(4);  // counts 1, 2, 3 (turn to -0, count 0), 1
    EXPECT_EQ(board[0].motion, 0.0f);
    EXPECT_EQ(board[0].pauseCount, 1.0f);
    EXPECT_EQ(board[0].column, kHomeColumn);

    board.Pass(7);  // arrives at once: the carried count goes on, 2
    EXPECT_EQ(board[0].column, kHomeColumn + 0.5f);
    EXPECT_EQ(board[0].pauseCount, 2.0f);
    board.Passes(2);
    EXPECT_EQ(board[0].motion, 1.0f);
    board.Pass();  // 5: turns one pass earlier than it would have from 0
    EXPECT_EQ(board[0].motion, -1.0f);
}

struct TriggerCase {
    ElementKind kind;
    float link;
    std::int32_t triggered;  // -1: the contact triggers nothing
};
class TriggerTest : public ::testing::TestWithParam<TriggerCase> {};

// A contact triggers the nearest whole link number, halves to even, clamped to 32 bits.
TEST_P(TriggerTest, SensorAndSwitchTriggerTheirRoundedLinkOtherKindsNothing) {
    const TriggerCase& c = GetParam();
    for (const bool pressed : {false, true}) {
        level::Level level;
        Element e = MakeElement({c.kind, c.link});
        if (pressed) {
            SwitchPress(e, level);
            EXPECT_EQ(e.motion, c.kind == ElementKind::Switch ? 1.0f : 0.0f);
            EXPECT_EQ(level.triggeredLink, c.kind == ElementKind::Switch ? c.triggered : -1);
        } else {
            SensorTrigger(e, level);
            EXPECT_EQ(level.triggeredLink, c.kind == ElementKind::Sensor ? c.triggered : -1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Motion, TriggerTest,
    ::testing::Values(
        TriggerCase{ElementKind::Sensor, 7, 7}, TriggerCase{ElementKind::Sensor, 6.5f, 6},
        TriggerCase{ElementKind::Switch, 7.5f, 8}, TriggerCase{ElementKind::Switch, -0.5f, 0},
        TriggerCase{ElementKind::Sensor, 3e10f, std::numeric_limits<std::int32_t>::max()},
        TriggerCase{ElementKind::Switch, -3e10f, std::numeric_limits<std::int32_t>::min()},
        TriggerCase{ElementKind::Door, 7, -1}, TriggerCase{ElementKind::Brick, 7, -1}));

class TriggeredByTest : public ::testing::TestWithParam<ElementKind> {};

TEST_P(TriggeredByTest, AContactStartsEveryElementWithItsLinkButNoSensor) {
    Board board({MakeElement({GetParam(), 7}), MakeElement({ElementKind::Door, 7, 1, 0, 25}),
                 MakeElement({ElementKind::Wood, 7, 1, 25, 0}),
                 MakeElement({ElementKind::Door, 8, 1, 0, 25})});
    level::Level& level = board.level;
    level.triggeredLink = -1;
    if (GetParam() == ElementKind::Switch) {
        SwitchPress(board[0], level);
    } else {
        SensorTrigger(board[0], level);
    }
    UpdateElements(level, board.schedule, board.random);
    EXPECT_EQ(board[1].row, kHomeRow + 0.25f);
    EXPECT_EQ(board[2].column, kHomeColumn + 0.25f);
    EXPECT_EQ(board[3].motion, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Motion, TriggeredByTest,
                         ::testing::Values(ElementKind::Switch, ElementKind::Sensor));

TEST(Motion, ASensorComingBackIgnoresItsOwnLink) {
    Board board({MakeElement({ElementKind::Sensor, 7, 1, 50, 0, 1, 0})});
    board.Passes(2);  // out in two passes, turned by the far-end pause in the second
    ASSERT_EQ(board[0].motion, -1.0f);
    board.Pass(7);
    EXPECT_EQ(board[0].column, kHomeColumn + 0.5f);
    EXPECT_EQ(board[0].motion, -1.0f);
}

TEST(Switch, TouchedOnceSinksHalfACellIn25PassesAndRisesBackInAsMany) {
    Board board({MakeElement({ElementKind::Switch, 4})});
    SwitchPress(board[0], board.level);
    board.Pass(4);
    board.Passes(24);
    EXPECT_GE(board[0].travelled, 0.5f);
    EXPECT_NEAR(board[0].row, kHomeRow + 0.5f, 1e-4f);
    EXPECT_EQ(board[0].motion, 1.0f);

    board.Pass();  // the bottom stops it, and it rises in the same pass
    EXPECT_EQ(board[0].motion, 0.0f);
    EXPECT_LT(board[0].travelled, 0.5f);
    board.Passes(23);
    EXPECT_GT(board[0].travelled, 0.0f);
    board.Pass();
    EXPECT_LE(board[0].travelled, 0.0f);
    EXPECT_EQ(board[0].row, kHomeRow);
    board.Passes(20);
    EXPECT_EQ(board[0].row, kHomeRow);
    EXPECT_EQ(board[0].motion, 0.0f);
}

// A ball resting on a switch presses it in every pass; a switch without a link presses itself.
// Either way it hovers between 0.48 and 0.5 cell down.
TEST(Switch, HeldDownItHoversJustAboveHalfACell) {
    for (const bool resting : {true, false}) {
        Board board({MakeElement({ElementKind::Switch, resting ? 4.0f : 0.0f})});
        for (int n = 0; n < 200; ++n) {
            if (resting)
                SwitchPress(board[0], board.level);
            board.Pass(resting ? board.level.triggeredLink : kNothingTriggered);
            if (n >= 25) {
                ASSERT_GE(board[0].travelled, 0.48f - 1e-5f) << n;
                ASSERT_LE(board[0].travelled, 0.5f + 1e-5f) << n;
            }
        }
    }
}

// The update pass draws random numbers for torches only, in list order: a steady torch draws
// once, or twice when it has just begun to flicker; a flickering one draws once. A twin
// generator, drawn from in the same way, must stay in step with the pass's.
TEST(Torch, DrawsOnlyForTorchesInListOrderOnceOrTwice) {
    Board board({MakeElement({ElementKind::Torch}), MakeElement({ElementKind::Brick}),
                 MakeElement({ElementKind::TorchFlicker}), MakeElement({ElementKind::Torch}),
                 MakeElement({ElementKind::Sensor})});
    runtime::Random twin{7};
    int becameFlicker = 0;
    int flickerAndBackInOnePass = 0;
    for (int n = 0; n < 2000; ++n) {
        std::vector<float> expected;
        for (const Element& e : board.level.elements) {
            float kind = e.kind;
            if (kind == 3011.0f && twin.Next(5) == 0) {
                kind = 3012.0f;
                ++becameFlicker;
                if (twin.Next(5) == 0) {
                    kind = 3011.0f;
                    ++flickerAndBackInOnePass;
                }
            } else if (kind == 3012.0f && twin.Next(5) == 0) {
                kind = 3011.0f;
            }
            expected.push_back(kind);
        }
        board.Pass();
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(board[i].kind, expected[i]) << "pass " << n << ", element " << i;
        }
    }
    EXPECT_GT(becameFlicker, 0);
    EXPECT_GT(flickerAndBackInOnePass, 0);
    EXPECT_EQ(board.random.Next(1000000), twin.Next(1000000));
}

TEST(Torch, FixedSeedGivesAFixedFlicker) {
    Element torch = MakeElement({ElementKind::Torch});
    runtime::Random random{2024};
    std::string frames;
    for (int n = 0; n < 40; ++n) {
        TorchStep(torch, random);
        frames += torch.kind == 3011.0f ? '1' : '2';
    }
    EXPECT_EQ(frames, "1121222222222221111111122222222221111111");
}

TEST(Torch, FlickersWithProbabilityFiveIn36AndSteadiesWithOneInSix) {
    runtime::Random random{99};
    constexpr int kDraws = 200000;
    int flickered = 0;
    int steadied = 0;
    for (int n = 0; n < kDraws; ++n) {
        Element steady = MakeElement({ElementKind::Torch});
        TorchStep(steady, random);
        flickered += steady.kind == 3012.0f;
        Element flickering = MakeElement({ElementKind::TorchFlicker});
        TorchStep(flickering, random);
        steadied += flickering.kind == 3011.0f;
    }
    // One standard deviation is below 0.001 here.
    EXPECT_NEAR(flickered / double{kDraws}, 5.0 / 36.0, 0.004);
    EXPECT_NEAR(steadied / double{kDraws}, 1.0 / 6.0, 0.004);
}

// A mover that no speed leads back to its cell: saved after play, the level must read back as it
// was edited, every element in its own cell.
struct PlayedMover {
    const char* name;
    float column, row;
    float speedX, speedY, length;
    int passes;
};
void PrintTo(const PlayedMover& mover, std::ostream* out) {
    *out << mover.name;
}

class SavedAfterPlayTest : public ::testing::TestWithParam<PlayedMover> {};

TEST_P(SavedAfterPlayTest, ReadsBackAsEdited) {
    const PlayedMover& m = GetParam();
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() /
        ("tessaron-played-" + std::string(m.name) + "-" + std::to_string(std::random_device{}()));
    std::filesystem::create_directories(root);
    const runtime::GameFolder folder(root);
    runtime::Files files(folder);

    level::Level level;
    level.levelWidth = 20;
    level.levelHeight = 20;
    level::BuildFreshGrid(level.elements, 20, 20);
    Element& mover = level.elements[static_cast<std::size_t>((m.row - 1) * 20 + (m.column - 1))];
    mover.kind = Code(ElementKind::Wood);
    mover.link = 0.0f;
    mover.speedX = m.speedX;
    mover.speedY = m.speedY;
    mover.length = m.length;
    const level::ElementList edited = level.elements;

    runtime::Random random(1);
    UpdateSchedule schedule;
    for (int pass = 0; pass < m.passes; ++pass) {
        UpdateElements(level, schedule, random);
    }
    ASSERT_EQ(level::WriteLevelFile(level, files, "played.TXT"), level::SaveResult::Saved);
    level::Level back;
    back.levelFileName = "played.TXT";
    ASSERT_EQ(level::ReadLevelFile(back, files), level::LoadResult::Loaded);
    EXPECT_EQ(back.elements, edited);
    std::filesystem::remove_all(root);
}

INSTANTIATE_TEST_SUITE_P(Motion, SavedAfterPlayTest,
                         ::testing::Values(
                             // Up and left at once, out of the level's corner.
                             PlayedMover{"DiagonalMover", 2, 2, -50, -50, 6, 10},
                             // Far enough that the way back cannot be computed in floats.
                             PlayedMover{"FarTraveller", 5, 7, 2000000000, 0, 2000000000, 3}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Motion, TheUpdatePassAllocatesNothing) {
    level::Level level;
    level::BuildFreshGrid(level.elements, 300, 100);
    for (std::size_t i = 0; i < level.elements.size(); i += 7) {
        Element& e = level.elements[i];
        e.kind = i % 2 ? Code(ElementKind::Torch) : Code(ElementKind::Switch);
        e.length = 2;
        e.speedX = 25;
        e.pause1 = 3;
        e.pause2 = 3;
    }
    runtime::Random random{3};
    UpdateSchedule schedule;
    const auto passes = [&] {
        for (int n = 0; n < 100; ++n) {
            level.triggeredLink = n % 3 ? -1 : 0;
            UpdateElements(level, schedule, random);
        }
    };
    // The first passes build the level's indexes; after that a pass allocates nothing.
    passes();
    const std::size_t before = tessaron::testing::AllocationCount();
    passes();
    EXPECT_EQ(tessaron::testing::AllocationCount(), before);
}

}  // namespace
}  // namespace tessaron::game
