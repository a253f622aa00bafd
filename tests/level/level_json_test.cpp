#include "level/level_json.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "runtime/random.h"

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

// Reading the text element by element gives what reading the parsed tree gives: the level, or
// the same reason and an unchanged level.
class TextReading : public ::testing::TestWithParam<std::string> {};

TEST_P(TextReading, MatchesReadingTheParsedTree) {
    const std::string& text = GetParam();
    Level before;
    before.levelWidth = 1;
    before.levelHeight = 1;
    BuildFreshGrid(before.elements, 1, 1);
    Level fromTree = before;
    Level fromText = before;
    std::string treeError;
    std::string textError;
    const nlohmann::json tree = nlohmann::json::parse(text, nullptr, false);
    const bool treeRead = tree.is_discarded() ? (treeError = "malformed JSON", false)
                                              : LevelFromJson(tree, fromTree, treeError);
    EXPECT_EQ(LevelFromJsonText(text, fromText, textError), treeRead);
    EXPECT_EQ(textError, treeError);
    EXPECT_EQ(fromText.elements, fromTree.elements);
    EXPECT_EQ(std::pair(fromText.viewX, fromText.viewY), std::pair(fromTree.viewX, fromTree.viewY));
    EXPECT_EQ(std::pair(fromText.levelWidth, fromText.levelHeight),
              std::pair(fromTree.levelWidth, fromTree.levelHeight));
}

std::string LevelText(int width, int height) {
    Level level;
    level.viewX = 2.5f;
    level.levelWidth = width;
    level.levelHeight = height;
    BuildFreshGrid(level.elements, width, height);
    level.elements.back().speedX = 0.6f;
    return LevelToJsonText(level);
}

// The text of a 2 x 2 level with one part replaced.
std::string Damaged(const std::string& from, const std::string& to) {
    std::string text = LevelText(2, 2);
    return text.replace(text.find(from), from.size(), to);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextReading,
    ::testing::Values(
        LevelText(2, 2), LevelText(7, 3),
        // The elements first, the level-wide values after them.
        R"({"elements": [], "levelHeight": 0, "levelWidth": 0, "viewX": 1, "viewY": 2})",
        Damaged("\"pause2\"", "\"pauseX\""), Damaged("{\"background\"", "7, {\"background\""),
        Damaged("{\"background\"", "[{}], {\"background\""), Damaged("\"viewX\"", "\"viewZ\""),
        Damaged("\"levelWidth\": 2", "\"levelWidth\": 2.5"),
        // An element's fault comes after a level-wide one, and the last of two
        // "elements" counts, also when it is no array.
        Damaged("\"pause2\"", "\"pauseX\"") + "x",
        R"({"elements": [1], "elements": [], )"
        R"("levelHeight": 0, "levelWidth": 0, "viewX": 1, "viewY": 2})",
        R"({"elements": [], "elements": {"a": [1]}, )"
        R"("levelHeight": 0, "levelWidth": 0, "viewX": 1, "viewY": 2})",
        R"({"elements": [{"pause2": [1]}], )"
        R"("levelHeight": 0, "levelWidth": 0.5, "viewX": 1, "viewY": 2})",
        "[]", "", "{\"elements\": ["));

}  // namespace
}  // namespace tessaron::level
