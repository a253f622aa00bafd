// The sounds in the game folder: the pickup chime, the effects and the music, as the game reads
// them: 16-bit PCM of sensible length and level, never clipped, without clicks at their ends, and
// a music whose end runs on into its beginning.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "asset_files.h"

namespace tessaron::assets_test {
namespace {

std::optional<Wave> GameWave(const std::string& file) {
    return ReadWav(std::string(TESSARON_GAME_DIR) + "/WAV/" + file);
}

TEST(Sound, PickupChimeIsShortSixteenBitPcmWithSoftEnds) {
    const auto wave = GameWave("Punkte.wav");
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->format, 1);
    EXPECT_EQ(wave->channels, 1);
    EXPECT_EQ(wave->bitsPerSample, 16);
    EXPECT_TRUE(wave->sampleRate == 22050 || wave->sampleRate == 44100) << wave->sampleRate;
    ASSERT_GT(wave->sampleRate, 0);
    const double seconds = static_cast<double>(wave->samples.size()) / wave->sampleRate;
    EXPECT_GT(seconds, 0.1);
    EXPECT_LT(seconds, 0.5);

    int peak = 0;
    for (std::int16_t s : wave->samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    EXPECT_GT(peak, 8000) << "audible";
    EXPECT_LT(peak, 32767) << "not clipped";
    // Soft attack: the first millisecond stays well below the peak; it ends in silence.
    const std::size_t millisecond = static_cast<std::size_t>(wave->sampleRate / 1000);
    for (std::size_t i = 0; i < millisecond && i < wave->samples.size(); ++i) {
        EXPECT_LT(std::abs(static_cast<int>(wave->samples[i])), peak / 3) << "sample " << i;
    }
    EXPECT_LT(std::abs(static_cast<int>(wave->samples.front())), 100);
    EXPECT_LT(std::abs(static_cast<int>(wave->samples.back())), 100);
}

int Peak(const std::vector<std::int16_t>& samples) {
    int peak = 0;
    for (std::int16_t s : samples) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
    }
    return peak;
}

TEST(Sound, EffectsAreShortAudibleUnclippedAndEndInSilence) {
    struct Expected {
        const char* file;
        double longest;  // seconds
    };
    // The goal's fanfare is the one long effect; the frequent ones are short.
    const Expected effects[] = {
        {"Sprung.wav", 0.4},     {"Landung.wav", 0.4},  {"Eintauchen.wav", 1.0},
        {"Auftauchen.wav", 0.8}, {"Schalter.wav", 0.4}, {"Sensor.wav", 1.5},
        {"Bewegung.wav", 1.0},   {"Diskette.wav", 2.0}, {"Zurueck.wav", 2.0},
        {"Ziel.wav", 3.5},       {"Klick.wav", 0.15},
    };
    for (const Expected& expected : effects) {
        SCOPED_TRACE(expected.file);
        const auto wave = GameWave(expected.file);
        ASSERT_TRUE(wave.has_value());
        EXPECT_EQ(wave->format, 1);
        EXPECT_EQ(wave->channels, 1);
        EXPECT_EQ(wave->bitsPerSample, 16);
        ASSERT_EQ(wave->sampleRate, 44100);
        const double seconds = static_cast<double>(wave->samples.size()) / wave->sampleRate;
        EXPECT_GT(seconds, 0.04);
        EXPECT_LT(seconds, expected.longest);
        // Between a quarter and three quarters of full scale: heard, with room for the others.
        const int peak = Peak(wave->samples);
        EXPECT_GT(peak, 32767 / 4);
        EXPECT_LT(peak, 32767 * 3 / 4);
        EXPECT_LT(std::abs(static_cast<int>(wave->samples.front())), 100);
        EXPECT_LT(std::abs(static_cast<int>(wave->samples.back())), 100);
    }
    // The goal has a fanfare of its own, longer than the chime.
    const auto goal = GameWave("Ziel.wav");
    ASSERT_TRUE(goal.has_value());
    EXPECT_GT(goal->samples.size(), static_cast<std::size_t>(goal->sampleRate));
}

TEST(Sound, MusicIsAQuietStereoMinuteWithoutASeam) {
    const auto wave = GameWave("Musik.wav");
    ASSERT_TRUE(wave.has_value());
    EXPECT_EQ(wave->format, 1);
    EXPECT_EQ(wave->bitsPerSample, 16);
    ASSERT_EQ(wave->channels, 2);
    ASSERT_GT(wave->sampleRate, 0);
    const std::size_t frames = wave->samples.size() / 2;
    const double seconds = static_cast<double>(frames) / wave->sampleRate;
    EXPECT_GT(seconds, 50.0);
    EXPECT_LT(seconds, 75.0);
    const int peak = Peak(wave->samples);
    EXPECT_GT(peak, 32767 / 5);
    EXPECT_LT(peak, 32767 * 3 / 4);

    const auto at = [&](std::size_t frame, int channel) {
        return static_cast<int>(wave->samples[2 * (frame % frames) + channel]);
    };
    for (int channel = 0; channel < 2; ++channel) {
        SCOPED_TRACE(channel);
        // From the last frame to the first the wave moves no more than it does between the
        // largest one in a thousand neighbouring frames anywhere else: no click.
        std::vector<int> steps;
        for (std::size_t i = 1; i < frames; ++i) {
            steps.push_back(std::abs(at(i, channel) - at(i - 1, channel)));
        }
        std::sort(steps.begin(), steps.end());
        EXPECT_LE(std::abs(at(0, channel) - at(frames - 1, channel)),
                  steps[steps.size() * 999 / 1000]);
        // Nor does the sound fade out before the end or in after the beginning: the half second
        // on either side of the seam is about as loud as the music.
        const std::size_t half = static_cast<std::size_t>(wave->sampleRate / 2);
        double before = 0.0, after = 0.0, all = 0.0;
        for (std::size_t i = 0; i < half; ++i) {
            before += std::pow(at(frames - half + i, channel), 2.0);
            after += std::pow(at(i, channel), 2.0);
        }
        for (std::size_t i = 0; i < frames; ++i) {
            all += std::pow(at(i, channel), 2.0);
        }
        const double mean = all / static_cast<double>(frames);
        EXPECT_GT(before / half, mean / 4.0);
        EXPECT_GT(after / half, mean / 4.0);
    }
}

}  // namespace
}  // namespace tessaron::assets_test
