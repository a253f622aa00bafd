#include "level/level_json.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "runtime/files.h"

namespace tessaron::level {
namespace {

TEST(LevelJson, FloatsAreWrittenBrieflyAndWholeNumbersAsIntegers) {
    EXPECT_EQ(FloatToJson(0.6f).dump(), "0.6");
    EXPECT_EQ(FloatToJson(-0.02f).dump(), "-0.02");
    EXPECT_EQ(FloatToJson(100.0f).dump(), "100");
    EXPECT_EQ(FloatToJson(-1.0f).dump(), "-1");
    EXPECT_EQ(FloatToJson(16777216.0f).dump(), "16777216");
    EXPECT_TRUE(FloatToJson(std::numeric_limits<float>::infinity()).is_null());
    EXPECT_TRUE(FloatToJson(std::nanf("")).is_null());
}

TEST(LevelJson, EveryFiniteFloatReadsBackExactlyFromItsText) {
    runtime::Random random(11);
    int checked = 0;
    for (int i = 0; i < 200000; ++i) {
        const auto bits = (static_cast<std::uint32_t>(random.Next(0xFFFF)) << 16) |
                          static_cast<std::uint32_t>(random.Next(0xFFFF));
        const float value = std::bit_cast<float>(bits);
        if (!std::isfinite(value)) {
            continue;
        }
        const std::string text = FloatToJson(value).dump();
        float back = 0.0f;
        ASSERT_TRUE(FloatFromJson(nlohmann::json::parse(text), back)) << text;
        ASSERT_EQ(std::bit_cast<std::uint32_t>(back), bits) << text;
        ++checked;
    }
    EXPECT_GT(checked, 190000);

    // The ends of the range, which random bits hardly ever meet: the largest floats are written
    // with fewer digits than they hold, and that text lies just beyond the largest float.
    for (const float value :
         {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
          std::nextafter(std::numeric_limits<float>::max(), 0.0f),
          std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::min()}) {
        const std::string text = FloatToJson(value).dump();
        float back = 0.0f;
        ASSERT_TRUE(FloatFromJson(nlohmann::json::parse(text), back)) << text;
        EXPECT_EQ(std::bit_cast<std::uint32_t>(back), std::bit_cast<std::uint32_t>(value)) << text;
    }
    // A number rounds to the nearest float as a float reader would; only one that would round
    // to infinity lies beyond the range.
    float read = 0.0f;
    ASSERT_TRUE(FloatFromJson(nlohmann::json::parse("-3.40282356e38"), read));
    EXPECT_EQ(read, -std::numeric_limits<float>::max());
    EXPECT_FALSE(FloatFromJson(nlohmann::json::parse("3.4028236e38"), read));
    EXPECT_FALSE(FloatFromJson(nlohmann::json::parse("1e39"), read));
}

TEST(LevelJson, ALevelSurvivesTheTextAndAFailedReadChangesNothing) {
    Level level;
    level.viewX = -10.5f;
    level.viewY = 384.25f;
    level.levelWidth = 3;
    level.levelHeight = 2;
    BuildFreshGrid(level.elements, 3, 2);
    level.elements[4].column = 1.0f / 3.0f;
    level.elements[5].travelled = 0.48000002f;

    const std::string text = LevelToJsonText(level);
    const nlohmann::json parsed = nlohmann::json::parse(text);
    EXPECT_EQ(parsed, LevelToJson(level));
    EXPECT_EQ(parsed["elements"].size(), 6u);

    Level back;
    back.score = 9;
    back.startX = 5;
    std::string error;
    ASSERT_TRUE(LevelFromJson(parsed, back, error)) << error;
    EXPECT_EQ(back.elements, level.elements);
    EXPECT_EQ(std::pair(back.viewX, back.viewY), std::pair(level.viewX, level.viewY));
    EXPECT_EQ(std::pair(back.levelWidth, back.levelHeight), std::pair(3, 2));
    EXPECT_EQ(std::pair(back.score, back.startX), std::pair(9, 5));  // not part of the format

    // Each damage is refused with a reason, leaving the level as it was.
    const auto damaged = [&](auto change) {
        nlohmann::json copy = parsed;
        change(copy);
        Level target = back;
        std::string reason;
        const bool read = LevelFromJson(copy, target, reason);
        EXPECT_EQ(target.elements, back.elements);
        EXPECT_EQ(target.levelWidth, back.levelWidth);
        return read ? std::string() : reason;
    };
    EXPECT_NE(damaged([](nlohmann::json& j) { j.erase("viewX"); }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["levelWidth"] = 2.5; }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["levelWidth"] = 3000000000LL; }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["levelHeight"] = "2"; }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["elements"] = nlohmann::json::object(); }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["elements"][5].erase("pause2"); }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["elements"][0]["kind"] = 1e300; }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j["elements"][1] = 7; }), "");
    EXPECT_NE(damaged([](nlohmann::json& j) { j = nlohmann::json::array(); }), "");
    // A whole number written with a fraction part is still a whole number.
    EXPECT_EQ(damaged([](nlohmann::json& j) { j["levelWidth"] = 3.0; }), "");
}

}  // namespace
}  // namespace tessaron::level
