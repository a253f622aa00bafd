// The save-point file: its bytes, the rounding of what it stores, and files that must leave the
// game as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "game/save_point.h"
#include "game/save_points.h"
#include "game/simulation.h"
#include "player_world.h"

namespace tessaron::game {
namespace {

using level::ElementKind;
using testing::Machine;
using testing::SavePointPath;
using testing::World;

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::int32_t IntAt(const std::vector<std::uint8_t>& bytes, std::size_t offset) {
    return static_cast<std::int32_t>(
        std::uint32_t(bytes[offset]) | std::uint32_t(bytes[offset + 1]) << 8 |
        std::uint32_t(bytes[offset + 2]) << 16 | std::uint32_t(bytes[offset + 3]) << 24);
}

// Two elements, the second between cells, and a ball in motion.
World MovingWorld() {
    World world;
    world.Put(ElementKind::Brick, 3.0f, 4.0f);
    const std::size_t mover = world.Put(ElementKind::Wood, 5.0f, 4.0f);
    level::Element& e = world.At(mover);
    e.column = 5.5f;
    e.travelled = 2.5f;
    e.length = 3.0f;
    e.speedX = -25.0f;
    e.motion = 1.0f;
    e.link = -1.0f;
    e.pauseCount = 3.5f;
    world.level.viewX = 10.5f;
    world.level.viewY = -7.5f;
    world.player.velocityX = 0.3f;
    world.player.velocityY = -0.6f;
    return world;
}

TEST(SavePointFile, StoresRoundedLittleEndianValuesInRecordOrderThenTheMark) {
    World world = MovingWorld();
    world.level.levelFileName = "/spiele/LEVEL/Anfang.TXT";
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    const std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    ASSERT_EQ(bytes.size(), 20u + 60u * 2u + 20u + 10u);
    EXPECT_EQ(IntAt(bytes, 0), 10);   // 10.5 to even
    EXPECT_EQ(IntAt(bytes, 4), -8);   // -7.5 to even
    EXPECT_EQ(IntAt(bytes, 8), 0);    // 0.3
    EXPECT_EQ(IntAt(bytes, 12), -1);  // -0.6
    EXPECT_EQ(IntAt(bytes, 16), 2);
    const std::int32_t second[15] = {100, 5, 4, 2020, 6, 4, 1, -1, 2, 3, -25, 0, 4, 0, 0};
    for (int field = 0; field < 15; ++field) {
        EXPECT_EQ(IntAt(bytes, 20 + 60 + 4 * field), second[field]) << "field " << field;
    }
    EXPECT_EQ(IntAt(bytes, 20 + 12), 1001);
    // The mark: its tag, the level's hash, and the file name without its folder.
    const std::size_t mark = 20 + 60 * 2;
    EXPECT_EQ(std::string(bytes.begin() + mark, bytes.begin() + mark + 8), "TsrnMark");
    const std::uint64_t hash = std::uint32_t(IntAt(bytes, mark + 8)) |
                               std::uint64_t(std::uint32_t(IntAt(bytes, mark + 12))) << 32;
    EXPECT_EQ(hash, IdentifyLevel(world.level).stateHash);
    EXPECT_EQ(IntAt(bytes, mark + 16), 10);
    EXPECT_EQ(std::string(bytes.begin() + mark + 20, bytes.end()), "Anfang.TXT");
}

TEST(SavePointFile, RestoreBringsBackTheRoundedStateAndTheLastStore) {
    World world = MovingWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    const level::ElementList stored = world.level.elements;

    // Play on: the element moves, a second store overwrites the first.
    world.At(1).column = 9.0f;
    world.level.viewX = 300.0f;
    world.level.score = 12;
    ASSERT_TRUE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(world.level.viewX, 10.0f);
    EXPECT_EQ(world.level.viewY, -8.0f);
    EXPECT_EQ(world.player.velocityX, 0.0f);
    EXPECT_EQ(world.player.velocityY, -1.0f);
    EXPECT_EQ(world.level.score, 12);  // not part of the file
    ASSERT_EQ(world.level.elements.size(), 2u);
    EXPECT_EQ(world.At(1).column, 6.0f);
    EXPECT_EQ(world.At(1).travelled, 2.0f);
    EXPECT_EQ(world.At(1).speedX, -25.0f);
    EXPECT_EQ(world.At(0), stored[0]);

    world.At(0).kind = level::Code(ElementKind::Concrete);
    world.level.viewX = 40.0f;
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    world.level.viewX = 0.0f;
    ASSERT_TRUE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(world.level.viewX, 40.0f);
    EXPECT_EQ(world.At(0).kind, level::Code(ElementKind::Concrete));
}

struct BrokenFile {
    const char* name;
    // Changes made to a good file of two records (140 bytes); none means no file at all.
    std::size_t keep;    // bytes kept from the start (all when larger)
    std::int32_t count;  // written at offset 16 when not 2
    std::size_t extra;   // bytes appended
    bool present;
};

class BrokenSavePoint : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenSavePoint, LeavesTheGameAsItWas) {
    const BrokenFile& c = GetParam();
    World world = MovingWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    if (c.keep < bytes.size())
        bytes.resize(c.keep);
    if (c.count != 2 && bytes.size() >= 20) {
        for (int i = 0; i < 4; ++i) bytes[16 + i] = std::uint8_t(std::uint32_t(c.count) >> (8 * i));
    }
    bytes.insert(bytes.end(), c.extra, 0);
    testing::RemoveSavePoint();
    if (c.present)
        WriteBytes(SavePointPath(), bytes);

    // The same level, played on: only the damage keeps the file from being used.
    World live = MovingWorld();
    live.level.viewX = 123.25f;
    live.player.velocityY = 4.5f;
    const level::Level before = live.level;
    EXPECT_FALSE(RestoreSavePoint(live.level, live.player, *Machine().files));
    EXPECT_EQ(live.level.elements, before.elements);
    EXPECT_EQ(live.level.viewX, 123.25f);
    EXPECT_EQ(live.level.viewY, before.viewY);
    EXPECT_EQ(live.player.velocityY, 4.5f);
    // The file is closed again: a store can replace it.
    EXPECT_TRUE(StoreSavePoint(live.level, live.player, *Machine().files));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenSavePoint,
                         ::testing::Values(BrokenFile{"Missing", 1000, 2, 0, false},
                                           BrokenFile{"Empty", 0, 2, 0, true},
                                           BrokenFile{"HeaderCut", 18, 2, 0, true},
                                           BrokenFile{"LastRecordCut", 139, 2, 0, true},
                                           BrokenFile{"CountTooHigh", 1000, 3, 0, true},
                                           BrokenFile{"CountNegative", 1000, -1, 0, true},
                                           BrokenFile{"CountHuge", 1000, 0x7FFFFFFF, 0, true}),
                         [](const ::testing::TestParamInfo<BrokenFile>& info) {
                             return info.param.name;
                         });

// A level of three cells in a file of its own: a coin, a torch and a mover.
World MarkedWorld() {
    World world;
    world.Put(ElementKind::Coin10, 1.0f, 1.0f);
    world.Put(ElementKind::Torch, 2.0f, 1.0f);
    const std::size_t mover = world.Put(ElementKind::Wood, 3.0f, 1.0f);
    world.At(mover).speedX = 50.0f;
    world.At(mover).length = 2.0f;
    world.level.levelWidth = 3;
    world.level.levelHeight = 1;
    world.level.levelFileName = "LEVEL/Anfang.TXT";
    return world;
}

// What happens between taking the disk and going back to it.
struct Afterwards {
    const char* name;
    void (*change)(World&);
    bool withoutMark;  // the file as older versions wrote it: the records alone
    bool restored;
};
void PrintTo(const Afterwards& afterwards, std::ostream* out) {
    *out << afterwards.name;
}

class SavePointOwner : public ::testing::TestWithParam<Afterwards> {};

TEST_P(SavePointOwner, OnlyTheLevelAsEditedWhenTheDiskWasTakenGoesBack) {
    const Afterwards& c = GetParam();
    World world = MarkedWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    if (c.withoutMark) {
        std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
        bytes.resize(20 + 60 * 3);
        WriteBytes(SavePointPath(), bytes);
    }
    c.change(world);
    world.level.viewX = 300.0f;
    const level::ElementList before = world.level.elements;
    EXPECT_EQ(RestoreSavePoint(world.level, world.player, *Machine().files), c.restored);
    if (c.restored) {
        EXPECT_EQ(world.level.viewX, -10.0f);
        EXPECT_EQ(world.level.elements, MarkedWorld().level.elements);
    } else {
        EXPECT_EQ(world.level.viewX, 300.0f);
        EXPECT_EQ(world.level.elements, before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    SavePointFile, SavePointOwner,
    ::testing::Values(
        Afterwards{"PlayedOn",
                   [](World& w) {
                       w.At(0).kind = 5010.0f;  // the coin taken
                       w.At(1).kind = 3012.0f;  // the torch flickering
                       w.At(2).column = 3.5f;   // the mover on its way
                       w.At(2).travelled = 0.5f;
                       w.At(2).motion = 1.0f;
                   },
                   false, true},
        Afterwards{"SameLevelFromAnotherFolder",
                   [](World& w) { w.level.levelFileName = "/anderswo/Anfang.TXT"; }, false, true},
        Afterwards{"AnotherLevel", [](World& w) { w.level.levelFileName = "LEVEL/Hoehle.TXT"; },
                   false, false},
        Afterwards{"EditedAfterwards",
                   [](World& w) { w.At(1).kind = level::Code(ElementKind::Brick); }, false, false},
        Afterwards{"ResizedAfterwards", [](World& w) { w.level.levelWidth = 4; }, false, false},
        Afterwards{"OlderFileOfAsManyCells",
                   [](World& w) { w.At(1).kind = level::Code(ElementKind::Brick); }, true, true},
        Afterwards{"OlderFileOfOtherCells", [](World& w) { w.level.levelWidth = 4; }, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

void PutIntAt(std::vector<std::uint8_t>& bytes, std::size_t offset, std::int32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + std::size_t(i)] = std::uint8_t(std::uint32_t(value) >> (8 * i));
    }
}

// Files forged from a good save point of MarkedWorld (three records, then the mark).
struct Forged {
    const char* name;
    void (*forge)(std::vector<std::uint8_t>&);
};
void PrintTo(const Forged& forged, std::ostream* out) {
    *out << forged.name;
}

constexpr std::size_t kMarkedRecordsEnd = 20 + 60 * 3;

class ForgedSavePoint : public ::testing::TestWithParam<Forged> {};

TEST_P(ForgedSavePoint, LeavesTheLevelAsItWas) {
    World world = MarkedWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    GetParam().forge(bytes);
    WriteBytes(SavePointPath(), bytes);

    world.level.viewX = 300.0f;
    const level::ElementList before = world.level.elements;
    EXPECT_FALSE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(world.level.elements, before);
    EXPECT_EQ(world.level.viewX, 300.0f);
}

INSTANTIATE_TEST_SUITE_P(
    SavePointFile, ForgedSavePoint,
    ::testing::Values(
        // The records' count and their checks.
        Forged{"NoRecordsUnderAWholeMark",
               [](std::vector<std::uint8_t>& b) {
                   PutIntAt(b, 16, 0);
                   b.erase(b.begin() + 20, b.begin() + kMarkedRecordsEnd);
               }},
        Forged{"AHomeOutsideTheLevelWithoutAMark",
               [](std::vector<std::uint8_t>& b) {
                   b.resize(kMarkedRecordsEnd);
                   PutIntAt(b, 20 + 60 + 4, 9);   // home column
                   PutIntAt(b, 20 + 60 + 16, 9);  // column
               }},
        Forged{"TwoRecordsSwapped",
               [](std::vector<std::uint8_t>& b) {
                   std::swap_ranges(b.begin() + 20, b.begin() + 80, b.begin() + 80);
               }},
        Forged{"APositionFarBeyondItsReach",
               [](std::vector<std::uint8_t>& b) { PutIntAt(b, 20 + 120 + 16, 2147483647); }},
        // Bytes after the records that are no whole mark.
        Forged{"TheMarksNameCut", [](std::vector<std::uint8_t>& b) { b.pop_back(); }},
        Forged{"TheMarksLengthWrong",
               [](std::vector<std::uint8_t>& b) { PutIntAt(b, kMarkedRecordsEnd + 16, 11); }},
        Forged{"AStrayByteAfterTheMark", [](std::vector<std::uint8_t>& b) { b.push_back(0); }},
        Forged{"TheMarksTagDamaged", [](std::vector<std::uint8_t>& b) { b[kMarkedRecordsEnd]++; }},
        Forged{"AStrayByteAfterRecordsWithoutAMark",
               [](std::vector<std::uint8_t>& b) {
                   b.resize(kMarkedRecordsEnd);
                   b.push_back(0);
               }},
        Forged{"LongerThanAnySavePointOfTheLevel",
               [](std::vector<std::uint8_t>& b) { b.resize(b.size() + 2000, 0); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SavePointFile, AnEmptyLevelStoresAndRestoresNoRecords) {
    World world;
    world.level.viewX = -3.0f;
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(std::filesystem::file_size(SavePointPath()), 20u + 20u);
    world.level.viewX = 7.0f;
    ASSERT_TRUE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(world.level.viewX, -3.0f);
    EXPECT_TRUE(world.level.elements.empty());
}

// The save point the automatic player keeps in memory must bring back the very game the file
// brings back, bit for bit, or its runs would not replay.
TEST(SavePointMemory, BringsBackWhatTheFileBringsBack) {
    // The three are the same level (a save point is brought back only into its own level);
    // made first, as a new world removes the save-point file.
    World world = MovingWorld();
    World fromFile = MovingWorld();
    World fromMemory = MovingWorld();
    for (World* each : {&world, &fromFile, &fromMemory}) {
        level::Element& odd = each->At(0);
        odd.pauseCount = std::numeric_limits<float>::quiet_NaN();
        odd.speedY = 3.0e9f;
        odd.travelled = -0.5f;  // rounds to a zero that must come back positive
        odd.row = 4.5f;
    }
    world.player.velocityX = -2.5f;
    fromFile.level.viewX = fromMemory.level.viewX = 77.0f;

    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    SavePointMemory memory;
    ASSERT_TRUE(memory.Store(world.level, world.player));
    ASSERT_TRUE(RestoreSavePoint(fromFile.level, fromFile.player, *Machine().files));
    ASSERT_TRUE(memory.Restore(fromMemory.level, fromMemory.player));
    EXPECT_EQ(fromMemory.level.viewX, fromFile.level.viewX);
    EXPECT_EQ(fromMemory.level.viewY, fromFile.level.viewY);
    EXPECT_EQ(fromMemory.player.velocityX, fromFile.player.velocityX);
    EXPECT_EQ(fromMemory.player.velocityY, fromFile.player.velocityY);
    ASSERT_EQ(fromMemory.level.elements.size(), fromFile.level.elements.size());
    EXPECT_EQ(std::memcmp(fromMemory.level.elements.data(), fromFile.level.elements.data(),
                          sizeof(level::Element) * fromFile.level.elements.size()),
              0);
    EXPECT_FALSE(std::signbit(fromMemory.At(0).travelled));
}

TEST(SavePointMemory, HoldsNothingAtFirstAndCopiesKeepWhatWasStored) {
    World world = MovingWorld();
    SavePointMemory memory;
    const float viewX = world.level.viewX;
    EXPECT_FALSE(memory.Restore(world.level, world.player));
    EXPECT_EQ(world.level.viewX, viewX);

    world.level.viewX = 100.0f;
    ASSERT_TRUE(memory.Store(world.level, world.player));
    const SavePointMemory copy = memory;
    world.level.viewX = 200.0f;
    ASSERT_TRUE(memory.Store(world.level, world.player));

    SavePointMemory earlier = copy;
    ASSERT_TRUE(earlier.Restore(world.level, world.player));
    EXPECT_EQ(world.level.viewX, 100.0f);
    ASSERT_TRUE(memory.Restore(world.level, world.player));
    EXPECT_EQ(world.level.viewX, 200.0f);
}

}  // namespace
}  // namespace tessaron::game
