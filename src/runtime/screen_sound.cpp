// Sound on SDL2's audio: a numbered sound is its samples in the device's format; playing it
// clears the device's queue and queues the sound again, which stops, rewinds and restarts it.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/qt_internal.h"

namespace tessaron::runtime {

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

}  // namespace

struct Sound::Impl {
    struct Loaded {
        std::vector<std::uint8_t> samples;  // in the device's format; empty without a device
        int plays = 0;
    };
    std::map<int, Loaded> sounds;
};

Sound::Sound(Machine& machine) : machine_(machine), impl_(std::make_unique<Impl>()) {}

Sound::~Sound() = default;

bool Sound::Load(int number, std::string_view path, std::string* problem) {
    impl_->sounds.erase(number);
    std::string why;
    // Read whole first: only a regular file of sane size, and its name is never decoded.
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(machine_.Folder().ResolveShared(FixedPath(path)), kLargestSoundFile, bytes,
                       why)) {
        if (problem != nullptr) {
            *problem = why;
        }
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
    impl_->sounds[number] = std::move(loaded);
    return true;
}

void Sound::Play(int number) {
    auto it = impl_->sounds.find(number);
    if (it == impl_->sounds.end()) {
        return;
    }
    ++it->second.plays;
    const Machine::Impl& m = machine_.Internals();
    if (!m.soundStarted || it->second.samples.empty()) {
        return;
    }
    SDL_ClearQueuedAudio(m.audioDevice);
    SDL_QueueAudio(m.audioDevice, it->second.samples.data(), Uint32(it->second.samples.size()));
}

int Sound::PlayCount(int number) const {
    auto it = impl_->sounds.find(number);
    return it == impl_->sounds.end() ? 0 : it->second.plays;
}

}  // namespace tessaron::runtime
