// Sound on SDL2's audio: a numbered sound is its samples in the device's format; playing it
// clears the device's queue and queues the sound again, which stops, rewinds and restarts it.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/qt_internal.h"

namespace tessaron::runtime {

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
    if (m.soundStarted) {
        const SDL_AudioSpec& device = m.audioSpec;
        SDL_AudioCVT cvt;
        const int built = SDL_BuildAudioCVT(&cvt, format.format, format.channels, format.freq,
                                            device.format, device.channels, device.freq);
        if (built < 0) {
            SDL_FreeWAV(buffer);
            if (problem != nullptr) {
                *problem = std::string("nicht abspielbar: ") + SDL_GetError();
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
