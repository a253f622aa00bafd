// Sound, the message box and the file requesters in a run without a display or a sound device.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

TEST(ScreenSound, PlayCountsLoadedSoundsOnlyAndBrokenFilesAreRefused) {
    std::vector<std::int16_t> samples(2205);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        samples[i] = std::int16_t(i % 50 < 25 ? 8000 : -8000);
    }
    WriteWave("WAV\\Punkte.wav", samples, 22050);
    Sound sound(TestMachine());
    ASSERT_TRUE(sound.Load(1, "wav\\punkte.WAV"));
    sound.Play(1);
    sound.Play(1);  // stops, rewinds, plays again
    sound.Play(2);  // no sound of that number: nothing
    EXPECT_EQ(sound.PlayCount(1), 2);
    EXPECT_EQ(sound.PlayCount(2), 0);

    EXPECT_FALSE(sound.Load(3, "WAV\\Fehlt.wav"));
    WriteBitmap("WAV\\Bild.wav", Picture(2, 2, 0));
    EXPECT_FALSE(sound.Load(1, "WAV\\Bild.wav"));
    sound.Play(1);  // the failed load left number 1 without a sound
    EXPECT_EQ(sound.PlayCount(1), 0);
}

// A small file can describe a sound far larger than memory once converted to the device's rate.
TEST(ScreenSound, SoundsThatWouldTakeUnboundedMemoryAreRefusedWithTheReason) {
    Sound sound(TestMachine());
    std::string problem;
    WriteWave("WAV\\Langsam.wav", std::vector<std::int16_t>(500000, 1000), 1);
    EXPECT_FALSE(sound.Load(1, "WAV\\Langsam.wav", &problem));
    EXPECT_EQ(problem, "ungewöhnliche Abtastrate (1 Hz; 1000 bis 384000 Hz gehen)");

    // 15 MB at 8 kHz: some 160 MB at the device's rate and in stereo.
    WriteWave("WAV\\Lang.wav", std::vector<std::int16_t>(7500000, 1000), 8000);
    EXPECT_FALSE(sound.Load(1, "WAV\\Lang.wav", &problem));
    EXPECT_TRUE(problem.starts_with("größer als 64 MB nach der Umwandlung")) << problem;
    sound.Play(1);
    EXPECT_EQ(sound.PlayCount(1), 0);
}

// The mixer plays through SDL's silent driver in tests: voices overlap up to the sound's cap,
// the sum of loud voices stays under full scale, the levels silence it, the music loops and
// pauses.
TEST(ScreenSound, VoicesOverlapUpToTheirCapAndTheMixNeverClips) {
    // Half a second of a tone at 90 % of full scale.
    std::vector<std::int16_t> tone(22050);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        tone[i] = std::int16_t(29500.0 * std::sin(double(i) * 0.0627));
    }
    WriteWave("WAV\\Laut.wav", tone, 44100);
    Sound sound(TestMachine());
    ASSERT_TRUE(sound.Load(2, "WAV\\Laut.wav"));
    sound.SetVoices(2, 3);
    for (int i = 0; i < 5; ++i) {
        sound.Start(2);
    }
    EXPECT_EQ(sound.Playing(2), 3);
    sound.Play(2);  // starts over on its first voice
    EXPECT_EQ(sound.Playing(2), 3);

    // Three voices add up to 2.7 times full scale before the limiter.
    sound.TakeLoudestOutput();
    float loudest = 0.0f;
    for (int wait = 0; wait < 200 && loudest == 0.0f; ++wait) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        loudest = sound.TakeLoudestOutput();
    }
    EXPECT_GT(loudest, 0.5f) << "the silent driver mixed the voices";
    EXPECT_LT(loudest, 0.9f) << "held under full scale";

    sound.SetVolumes(0, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    sound.TakeLoudestOutput();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(sound.TakeLoudestOutput(), 0.0f);
    sound.SetVolumes(100, 100);

    EXPECT_FALSE(sound.LoadMusic("WAV\\Fehlt.wav"));
    ASSERT_TRUE(sound.LoadMusic("WAV\\Laut.wav"));
    EXPECT_FALSE(sound.MusicPlaying());
    sound.PlayMusic();
    EXPECT_TRUE(sound.MusicPlaying());
    // The loop goes on past the file's end.
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    EXPECT_TRUE(sound.MusicPlaying());
    sound.PauseMusic();
    EXPECT_FALSE(sound.MusicPlaying());
}

TEST(ScreenDialogs, HeadlessRequestersCancelAndMessagesGoToStandardError) {
    if (!TestMachine().Headless()) {
        GTEST_SKIP() << "with a display the dialogs would wait for a person";
    }
    DialogRequesters requesters(TestMachine());
    EXPECT_EQ(requesters.OpenFile("Spiel laden", "LEVEL\\", "*.TXT"), "");
    EXPECT_EQ(requesters.SaveFile("Spiel speichern", "LEVEL\\Level1.TXT", "*.TXT"), "");
    Windows windows(TestMachine());
    testing::internal::CaptureStderr();
    windows.MessageBox("Error", "Keine Tastatur");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Error: Keine Tastatur\n");
}

}  // namespace
}  // namespace tessaron::runtime::test
