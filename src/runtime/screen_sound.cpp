// Sound on SDL_mixer: a numbered sound is its samples in the mixer's format, played on voices
// (mixer channels) of its own. Play stops, rewinds and restarts the sound on its first voice;
// Start lets it overlap itself up to its number of voices. The music is a WAV file streamed in a
// loop. The sum of everything is kept under full scale by the machine's limiter.
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/qt_internal.h"

namespace tessaron::runtime {

// ---------------------------------------------------------------------------------------------
// The mixer's voices and the limiter

int Machine::Impl::TakeMixChannel() {
    if (!freeMixChannels.empty()) {
        const int channel = freeMixChannels.back();
        freeMixChannels.pop_back();
        return channel;
    }
    Mix_AllocateChannels(mixChannels + 1);
    return mixChannels++;
}

void Machine::Impl::GiveBackMixChannel(int channel) {
    Mix_HaltChannel(channel);
    Mix_GroupChannel(channel, -1);
    freeMixChannels.push_back(channel);
}

PeakLimiter::PeakLimiter(int sampleRate, int channelCount)
    : channels(std::max(1, channelCount)),
      // The scale comes back by about 1/e in a tenth of a second.
      release(std::exp(-1.0f / (0.1f * static_cast<float>(std::max(1, sampleRate))))) {}

void PeakLimiter::Process(float* samples, int count) {
    float loudestHere = 0.0f;
    for (int frame = 0; frame + channels <= count; frame += channels) {
        float peak = 0.0f;
        for (int c = 0; c < channels; ++c) {
            peak = std::max(peak, std::fabs(samples[frame + c]));
        }
        envelope = std::max(peak, envelope * release);
        // The envelope is never below this frame's peak, so the scaled frame stays within the
        // ceiling.
        const float scale = envelope > kCeiling ? kCeiling / envelope : 1.0f;
        for (int c = 0; c < channels; ++c) {
            samples[frame + c] *= scale;
            loudestHere = std::max(loudestHere, std::fabs(samples[frame + c]));
        }
    }
    float seen = loudest.load();
    while (loudestHere > seen && !loudest.compare_exchange_weak(seen, loudestHere)) {
    }
}

// ---------------------------------------------------------------------------------------------
// Sounds

namespace {

// A sound file is at most 16 MB, but the samples it makes once converted to the device's format
// have a bound of their own: a file of 1 MB at 1 Hz would ask for hundreds of gigabytes. The
// bound holds six minutes at 44.1 kHz in 16-bit stereo; the rates are those of real recordings.
constexpr double kLargestConvertedSound = 64.0 * 1024 * 1024;
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;

double FrameBytes(const SDL_AudioSpec& format) {
    return SDL_AUDIO_BITSIZE(format.format) / 8.0 * format.channels;
}

// Why a sound of `length` bytes in the format `from` is not to be played, or empty when it may
// be: its rate must be a real one and, where there is a device (`to`, whose conversion works in
// `workFactor` times the sound's bytes), neither the converted samples nor the room the
// conversion needs may pass the bound. Judged before any of that memory is asked for.
std::string ConversionProblem(const SDL_AudioSpec& from, std::uint32_t length,
                              const SDL_AudioSpec* to, int workFactor) {
    if (from.freq < kLowestRate || from.freq > kHighestRate) {
        return "ungewöhnliche Abtastrate (" + std::to_string(from.freq) + " Hz; " +
               std::to_string(kLowestRate) + " bis " + std::to_string(kHighestRate) + " Hz gehen)";
    }
    if (to == nullptr || FrameBytes(from) <= 0.0) {
        return {};
    }
    const double frames = std::ceil(length / FrameBytes(from) * to->freq / from.freq);
    const double converted = frames * FrameBytes(*to);
    const double work = static_cast<double>(length) * std::max(1, workFactor);
    if (std::max(converted, work) > kLargestConvertedSound) {
        return "größer als " + std::to_string(static_cast<int>(kLargestConvertedSound / 1048576)) +
               " MB nach der Umwandlung (" +
               std::to_string(static_cast<long long>(std::max(converted, work) / 1048576)) + " MB)";
    }
    return {};
}

// A sound file read whole first: only a regular file of sane size, and its name is never decoded.
bool ReadSoundFile(const Machine& machine, std::string_view path, std::vector<std::uint8_t>& bytes,
                   std::string* problem) {
    std::string why;
    if (!ReadWholeFile(machine.Folder().ResolveShared(FixedPath(path)), Sound::kLargestSoundFile,
                       bytes, why)) {
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    }
    return true;
}

}  // namespace

struct Sound::Impl {
    struct Loaded {
        std::vector<std::uint8_t> samples;  // in the device's format; empty without a device
        int plays = 0;
        Mix_Chunk* chunk = nullptr;  // over samples; null without a device
        std::vector<int> voices;     // its mixer channels, the first for Play
        int group = -1;
    };
    explicit Impl(Machine::Impl& m) : machine(m) {}
    ~Impl() {
        for (auto& entry : sounds) {
            Release(entry.second);
        }
        if (music != nullptr) {
            Mix_FreeMusic(music);
        }
    }

    // Stops the sound, gives its voices back and frees its chunk.
    void Release(Loaded& loaded) {
        if (machine.soundStarted) {
            for (const int voice : loaded.voices) {
                machine.GiveBackMixChannel(voice);
            }
        }
        loaded.voices.clear();
        if (loaded.chunk != nullptr) {
            Mix_FreeChunk(loaded.chunk);
            loaded.chunk = nullptr;
        }
    }
    void Forget(int number) {
        auto it = sounds.find(number);
        if (it != sounds.end()) {
            Release(it->second);
            sounds.erase(it);
        }
    }
    // Keeps a loaded sound under its number, with one voice.
    void Keep(int number, Loaded loaded) {
        Loaded& kept = sounds[number] = std::move(loaded);
        if (machine.soundStarted && !kept.samples.empty()) {
            kept.chunk =
                Mix_QuickLoad_RAW(kept.samples.data(), static_cast<Uint32>(kept.samples.size()));
            kept.group = machine.nextMixGroup++;
            AddVoices(kept, 1);
        }
    }
    void AddVoices(Loaded& loaded, int count) {
        while (static_cast<int>(loaded.voices.size()) < count) {
            const int voice = machine.TakeMixChannel();
            Mix_GroupChannel(voice, loaded.group);
            Mix_Volume(voice, effectsVolume);
            loaded.voices.push_back(voice);
        }
    }
    Loaded* Playable(int number) {
        auto it = sounds.find(number);
        if (it == sounds.end() || it->second.chunk == nullptr || !machine.soundStarted) {
            return nullptr;
        }
        return &it->second;
    }

    Machine::Impl& machine;
    std::map<int, Loaded> sounds;
    int effectsVolume = MIX_MAX_VOLUME;
    int musicVolume = MIX_MAX_VOLUME;
    // The music file's bytes, which the mixer streams from while it plays.
    std::vector<std::uint8_t> musicBytes;
    Mix_Music* music = nullptr;
};

Sound::Sound(Machine& machine)
    : machine_(machine), impl_(std::make_unique<Impl>(machine.Internals())) {}

Sound::~Sound() = default;

bool Sound::Load(int number, std::string_view path, std::string* problem) {
    impl_->Forget(number);
    std::vector<std::uint8_t> bytes;
    if (!ReadSoundFile(machine_, path, bytes, problem)) {
        return false;
    }
    SDL_AudioSpec format{};
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV_RW(SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size())), 1, &format,
                       &buffer, &length) == nullptr) {
        if (problem != nullptr) {
            *problem = std::string("kein lesbarer WAV-Klang: ") + SDL_GetError();
        }
        return false;
    }
    Impl::Loaded loaded;
    const Machine::Impl& m = machine_.Internals();
    if (const std::string why = ConversionProblem(format, length, nullptr, 1); !why.empty()) {
        SDL_FreeWAV(buffer);
        if (problem != nullptr) {
            *problem = why;
        }
        return false;
    }
    if (m.soundStarted) {
        const SDL_AudioSpec& device = m.audioSpec;
        SDL_AudioCVT cvt;
        const int built = SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq,
                                            device.format, device.channels, device.freq);
        std::string why = built < 0 ? std::string("nicht abspielbar: ") + SDL_GetError()
                                    : ConversionProblem(format, length, &device, cvt.len_mult);
        if (!why.empty()) {
            SDL_FreeWAV(buffer);
            if (problem != nullptr) {
                *problem = why;
            }
            return false;
        }
        std::vector<std::uint8_t> work(std::size_t(length) *
                                       std::size_t(std::max(1, cvt.len_mult)));
        std::copy(buffer, buffer + length, work.begin());
        if (built > 0) {
            cvt.buf = work.data();
            cvt.len = int(length);
            if (SDL_ConvertAudio(&cvt) != 0) {
                SDL_FreeWAV(buffer);
                if (problem != nullptr) {
                    *problem = std::string("nicht abspielbar: ") + SDL_GetError();
                }
                return false;
            }
            work.resize(std::size_t(cvt.len_cvt));
        } else {
            work.resize(length);
        }
        loaded.samples = std::move(work);
    }
    SDL_FreeWAV(buffer);
    impl_->Keep(number, std::move(loaded));
    return true;
}

void Sound::Play(int number) {
    auto it = impl_->sounds.find(number);
    if (it == impl_->sounds.end()) {
        return;
    }
    ++it->second.plays;
    if (Impl::Loaded* loaded = impl_->Playable(number)) {
        // Playing on its own voice stops what that voice played: the sound starts over.
        Mix_PlayChannel(loaded->voices.front(), loaded->chunk, 0);
    }
}

int Sound::PlayCount(int number) const {
    auto it = impl_->sounds.find(number);
    return it == impl_->sounds.end() ? 0 : it->second.plays;
}

void Sound::SetVoices(int number, int voices) {
    if (Impl::Loaded* loaded = impl_->Playable(number)) {
        impl_->AddVoices(*loaded, std::clamp(voices, 1, kMostVoices));
    }
}

void Sound::Start(int number) {
    if (Impl::Loaded* loaded = impl_->Playable(number)) {
        const int voice = Mix_GroupAvailable(loaded->group);
        if (voice >= 0) {
            Mix_PlayChannel(voice, loaded->chunk, 0);
        }
    }
}

int Sound::Playing(int number) const {
    const Impl::Loaded* loaded = impl_->Playable(number);
    if (loaded == nullptr) {
        return 0;
    }
    int playing = 0;
    for (const int voice : loaded->voices) {
        playing += Mix_Playing(voice) != 0 ? 1 : 0;
    }
    return playing;
}

bool Sound::LoadMusic(std::string_view path, std::string* problem) {
    if (impl_->music != nullptr) {
        Mix_FreeMusic(impl_->music);
        impl_->music = nullptr;
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadSoundFile(machine_, path, bytes, problem)) {
        return false;
    }
    if (!impl_->machine.soundStarted) {
        return true;  // nothing to play it on: silence, as for the effects
    }
    impl_->musicBytes = std::move(bytes);
    impl_->music = Mix_LoadMUSType_RW(
        SDL_RWFromConstMem(impl_->musicBytes.data(), static_cast<int>(impl_->musicBytes.size())),
        MUS_WAV, 1);
    if (impl_->music == nullptr) {
        impl_->musicBytes.clear();
        if (problem != nullptr) {
            *problem = std::string("kein lesbarer WAV-Klang: ") + Mix_GetError();
        }
        return false;
    }
    return true;
}

void Sound::PlayMusic() {
    if (impl_->music == nullptr || !impl_->machine.soundStarted) {
        return;
    }
    if (Mix_PlayingMusic() != 0) {
        Mix_ResumeMusic();
    } else {
        Mix_VolumeMusic(impl_->musicVolume);
        Mix_PlayMusic(impl_->music, -1);
    }
}

void Sound::PauseMusic() {
    if (impl_->music != nullptr && impl_->machine.soundStarted) {
        Mix_PauseMusic();
    }
}

bool Sound::MusicPlaying() const {
    return impl_->music != nullptr && impl_->machine.soundStarted && Mix_PlayingMusic() != 0 &&
           Mix_PausedMusic() == 0;
}

void Sound::SetVolumes(int effects, int music) {
    impl_->effectsVolume = std::clamp(effects, 0, 100) * MIX_MAX_VOLUME / 100;
    impl_->musicVolume = std::clamp(music, 0, 100) * MIX_MAX_VOLUME / 100;
    if (!impl_->machine.soundStarted) {
        return;
    }
    for (const auto& entry : impl_->sounds) {
        for (const int voice : entry.second.voices) {
            Mix_Volume(voice, impl_->effectsVolume);
        }
    }
    Mix_VolumeMusic(impl_->musicVolume);
}

float Sound::TakeLoudestOutput() {
    const Machine::Impl& m = impl_->machine;
    return m.soundStarted && m.limiter ? m.limiter->TakeLoudest() : 0.0f;
}

}  // namespace tessaron::runtime
