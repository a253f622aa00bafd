// The save-point file: its bytes, the rounding of what it stores, and files that must leave the
// game as it was.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <fstream>
#include <iterator>
#include <vector>

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
    return static_cast<std::int32_t>(std::uint32_t(bytes[offset]) |
                                     std::uint32_t(bytes[offset + 1]) << 8 |
                                     std::uint32_t(bytes[offset + 2]) << 16 |
                                     std::uint32_t(bytes[offset + 3]) << 24);
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

TEST(SavePointFile, StoresRoundedLittleEndianValuesInRecordOrder) {
    World world = MovingWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    const std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    ASSERT_EQ(bytes.size(), 20u + 60u * 2u);
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
    std::size_t keep;       // bytes kept from the start (all when larger)
    std::int32_t count;     // written at offset 16 when not 2
    std::size_t extra;      // bytes appended
    bool present;
};

class BrokenSavePoint : public ::testing::TestWithParam<BrokenFile> {};

TEST_P(BrokenSavePoint, LeavesTheGameAsItWas) {
    const BrokenFile& c = GetParam();
    World world = MovingWorld();
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    if (c.keep < bytes.size()) bytes.resize(c.keep);
    if (c.count != 2 && bytes.size() >= 20) {
        for (int i = 0; i < 4; ++i) bytes[16 + i] = std::uint8_t(std::uint32_t(c.count) >> (8 * i));
    }
    bytes.insert(bytes.end(), c.extra, 0);
    testing::RemoveSavePoint();
    if (c.present) WriteBytes(SavePointPath(), bytes);

    World live;
    live.Put(ElementKind::Coin50, 1.0f, 1.0f);
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

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenSavePoint,
    ::testing::Values(BrokenFile{"Missing", 1000, 2, 0, false},
                      BrokenFile{"Empty", 0, 2, 0, true},
                      BrokenFile{"HeaderCut", 18, 2, 0, true},
                      BrokenFile{"LastRecordCut", 139, 2, 0, true},
                      BrokenFile{"CountTooHigh", 1000, 3, 0, true},
                      BrokenFile{"CountNegative", 1000, -1, 0, true},
                      BrokenFile{"CountHuge", 1000, 0x7FFFFFFF, 0, true}),
    [](const ::testing::TestParamInfo<BrokenFile>& info) { return info.param.name; });

TEST(SavePointFile, BytesAfterTheLastRecordAreIgnored) {
    World world = MovingWorld();
    world.level.levelWidth = 2;
    world.level.levelHeight = 1;
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    std::vector<std::uint8_t> bytes = ReadBytes(SavePointPath());
    bytes.insert(bytes.end(), {1, 2, 3, 4, 5, 6, 7});
    WriteBytes(SavePointPath(), bytes);
    world.At(0).kind = level::Code(ElementKind::Concrete);
    world.level.viewX = 0.0f;
    ASSERT_TRUE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(world.level.viewX, 10.0f);
    EXPECT_EQ(world.At(0).kind, level::Code(ElementKind::Brick));
}

TEST(SavePointFile, AnEmptyLevelStoresAndRestoresNoRecords) {
    World world;
    world.level.viewX = -3.0f;
    ASSERT_TRUE(StoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_EQ(std::filesystem::file_size(SavePointPath()), 20u);
    world.Put(ElementKind::Brick, 1.0f, 1.0f);
    ASSERT_TRUE(RestoreSavePoint(world.level, world.player, *Machine().files));
    EXPECT_TRUE(world.level.elements.empty());
}

// The save point the automatic player keeps in memory must bring back the very game the file
// brings back, bit for bit, or its runs would not replay.
TEST(SavePointMemory, BringsBackWhatTheFileBringsBack) {
    World world = MovingWorld();
    level::Element& odd = world.At(0);
    odd.pauseCount = std::numeric_limits<float>::quiet_NaN();
    odd.speedY = 3.0e9f;
    odd.travelled = -0.5f;  // rounds to a zero that must come back positive
    odd.row = 4.5f;
    world.player.velocityX = -2.5f;
    // Made first: a new world removes the save-point file.
    World fromFile = MovingWorld();
    World fromMemory = MovingWorld();
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
