// Which sounds answer a pass, how often, and the player's sound setting kept between runs.
#include "app/sound_effects.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

namespace tessaron::app::sounds {
namespace {

using game::GameEvent;

game::PassEvents Noted(std::initializer_list<GameEvent> events) {
    game::PassEvents noted;
    for (const GameEvent event : events) {
        noted.Note(event);
    }
    return noted;
}

TEST(SoundEffects, EveryNoticedEventStartsItsOwnEffectAndCoinsLeaveItToTheChime) {
    const std::pair<GameEvent, Effect> answers[] = {
        {GameEvent::Jump, Effect::Jump},
        {GameEvent::Landing, Effect::Landing},
        {GameEvent::EnterWater, Effect::EnterWater},
        {GameEvent::LeaveWater, Effect::LeaveWater},
        {GameEvent::SwitchPressed, Effect::Switch},
        {GameEvent::SensorPassed, Effect::Sensor},
        {GameEvent::MoverStarted, Effect::Mover},
        {GameEvent::DiskTaken, Effect::Disk},
        {GameEvent::SentBack, Effect::SentBack},
        {GameEvent::GoalTaken, Effect::Goal},
    };
    std::set<int> numbers = {1};  // the chime's
    for (const auto& [event, effect] : answers) {
        Recent recent;
        EXPECT_EQ(EffectsFor(Noted({event}), level::Mode::Play, false, 1, recent),
                  std::vector<Effect>{effect})
            << static_cast<int>(event);
        EXPECT_TRUE(numbers.insert(SoundOf(effect).number).second) << "a number of its own";
    }
    EXPECT_TRUE(numbers.insert(SoundOf(Effect::Click).number).second);
    Recent recent;
    EXPECT_TRUE(
        EffectsFor(Noted({GameEvent::CoinTaken}), level::Mode::Play, false, 1, recent).empty());
}

TEST(SoundEffects, NothingSoundsInTheEditorOrInScriptedRuns) {
    const game::PassEvents all = Noted(
        {GameEvent::Jump, GameEvent::SwitchPressed, GameEvent::GoalTaken, GameEvent::SentBack});
    Recent recent;
    EXPECT_TRUE(EffectsFor(all, level::Mode::Editor, false, 1, recent).empty());
    EXPECT_TRUE(EffectsFor(all, level::Mode::Play, true, 2, recent).empty());
    // Nothing was counted as started either.
    EXPECT_EQ(EffectsFor(all, level::Mode::Play, false, 3, recent).size(), 4u);
}

TEST(SoundEffects, EachEffectOncePerPassAndNotAgainWithinItsRest) {
    Recent recent;
    game::PassEvents twenty;
    for (int i = 0; i < 20; ++i) {
        twenty.Note(GameEvent::SwitchPressed);
        twenty.Note(GameEvent::MoverStarted);
    }
    EXPECT_EQ(EffectsFor(twenty, level::Mode::Play, false, 100, recent),
              (std::vector<Effect>{Effect::Switch, Effect::Mover}));
    const int rest = SoundOf(Effect::Switch).rest;
    ASSERT_GT(rest, 0);
    EXPECT_TRUE(
        EffectsFor(Noted({GameEvent::SwitchPressed}), level::Mode::Play, false, 100 + rest, recent)
            .empty());
    EXPECT_EQ(
        EffectsFor(Noted({GameEvent::SwitchPressed}), level::Mode::Play, false, 101 + rest, recent),
        std::vector<Effect>{Effect::Switch});
    // A rest of its own per effect: the jump is not held back by the switch.
    EXPECT_EQ(EffectsFor(Noted({GameEvent::Jump}), level::Mode::Play, false, 101 + rest, recent),
              std::vector<Effect>{Effect::Jump});
}

TEST(SoundEffects, BeingSentBackDrownsTheLandingAndTheWaterOfItsPass) {
    Recent recent;
    EXPECT_EQ(EffectsFor(Noted({GameEvent::Landing, GameEvent::EnterWater, GameEvent::LeaveWater,
                                GameEvent::SentBack, GameEvent::Jump}),
                         level::Mode::Play, false, 1, recent),
              (std::vector<Effect>{Effect::Jump, Effect::SentBack}));
}

TEST(SoundSetting, MGoesRoundAndTheChoiceIsKeptInTheConfigurationFolder) {
    EXPECT_EQ(Next(Setting::On), Setting::EffectsOnly);
    EXPECT_EQ(Next(Setting::EffectsOnly), Setting::Silent);
    EXPECT_EQ(Next(Setting::Silent), Setting::On);

    EXPECT_EQ(ConfigFolder("/x/config", "/home/a"), std::filesystem::path("/x/config/tessaron"));
    EXPECT_EQ(ConfigFolder("relative", "/home/a"),
              std::filesystem::path("/home/a/.config/tessaron"));
    EXPECT_EQ(ConfigFolder("", ""), std::filesystem::path());

    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("tessaron-sound-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())) /
        "tessaron";
    std::filesystem::remove_all(folder.parent_path());
    EXPECT_EQ(ReadSetting(folder), Setting::On);  // no file yet
    for (const Setting setting : {Setting::EffectsOnly, Setting::Silent, Setting::On}) {
        std::string problem;
        ASSERT_TRUE(WriteSetting(folder, setting, problem)) << problem;
        EXPECT_EQ(ReadSetting(folder), setting);
    }
    std::ofstream(folder / kSettingsFile) << "laut\n";
    EXPECT_EQ(ReadSetting(folder), Setting::On);
    std::filesystem::remove_all(folder.parent_path());
}

}  // namespace
}  // namespace tessaron::app::sounds
