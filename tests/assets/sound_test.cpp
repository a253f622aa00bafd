// The pickup sound in the game folder: a short 16-bit PCM chime without clicks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "asset_files.h"

namespace tessaron::assets_test {
namespace {

TEST(Sound, PickupChimeIsShortSixteenBitPcmWithSoftEnds) {
    const auto wave = ReadWav(std::string(TESSARON_GAME_DIR) + "/WAV/Punkte.wav");
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

}  // namespace
}  // namespace tessaron::assets_test
