#include "app/sound_effects.h"

#include <cstdlib>
#include <iostream>
#include <utility>

#include "runtime/files.h"

namespace tessaron::app::sounds {

namespace {

using game::GameEvent;

constexpr EffectSound kSounds[kEffectCount] = {
    {"WAV\\Sprung.wav", 2, 2, 6},      {"WAV\\Landung.wav", 3, 2, 8},
    {"WAV\\Eintauchen.wav", 4, 1, 30}, {"WAV\\Auftauchen.wav", 5, 1, 30},
    {"WAV\\Schalter.wav", 6, 2, 12},   {"WAV\\Sensor.wav", 7, 1, 20},
    {"WAV\\Bewegung.wav", 8, 2, 20},   {"WAV\\Diskette.wav", 9, 1, 30},
    {"WAV\\Zurueck.wav", 10, 1, 30},   {"WAV\\Ziel.wav", 11, 1, 60},
    {"WAV\\Klick.wav", 12, 2, 0},
};

// The effect each noticed event starts. A coin has none here: the game plays the pickup chime
// itself, as it does for the disk and the goal, whose effects join it.
constexpr std::pair<GameEvent, Effect> kAnswers[] = {
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

// The music's level under the effects, of 100.
constexpr int kMusicLevel = 45;

bool HeldBackBySendingBack(Effect effect) {
    return effect == Effect::Landing || effect == Effect::EnterWater ||
           effect == Effect::LeaveWater;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

}  // namespace

const EffectSound& SoundOf(Effect effect) {
    return kSounds[static_cast<std::size_t>(effect)];
}

std::vector<Effect> EffectsFor(const game::PassEvents& events, level::Mode mode, bool scripted,
                               std::int64_t pass, Recent& recent) {
    std::vector<Effect> effects;
    if (mode != level::Mode::Play || scripted) {
        return effects;
    }
    const bool sentBack = events.Happened(GameEvent::SentBack);
    for (const auto& [event, effect] : kAnswers) {
        if (!events.Happened(event) || (sentBack && HeldBackBySendingBack(effect))) {
            continue;
        }
        std::int64_t& last = recent.started[static_cast<std::size_t>(effect)];
        if (pass - last <= SoundOf(effect).rest) {
            continue;
        }
        last = pass;
        effects.push_back(effect);
    }
    return effects;
}

Setting Next(Setting setting) {
    switch (setting) {
        case Setting::On:
            return Setting::EffectsOnly;
        case Setting::EffectsOnly:
            return Setting::Silent;
        case Setting::Silent:
            return Setting::On;
    }
    return Setting::On;
}

std::string_view WordOf(Setting setting) {
    switch (setting) {
        case Setting::On:
            return "an";
        case Setting::EffectsOnly:
            return "nur Effekte";
        case Setting::Silent:
            return "aus";
    }
    return "an";
}

std::optional<Setting> SettingFromWord(std::string_view word) {
    for (const Setting setting : {Setting::On, Setting::EffectsOnly, Setting::Silent}) {
        if (word == WordOf(setting)) {
            return setting;
        }
    }
    return std::nullopt;
}

std::string NoticeOf(Setting setting) {
    switch (setting) {
        case Setting::On:
            return "Ton: Musik und Effekte";
        case Setting::EffectsOnly:
            return "Ton: nur Effekte";
        case Setting::Silent:
            return "Ton: aus";
    }
    return {};
}

std::filesystem::path ConfigFolder(std::string_view xdgConfigHome, std::string_view home) {
    // A relative $XDG_CONFIG_HOME is invalid and is ignored.
    const std::filesystem::path xdg(xdgConfigHome);
    if (!xdgConfigHome.empty() && xdg.is_absolute()) {
        return xdg / "tessaron";
    }
    if (!home.empty()) {
        return std::filesystem::path(home) / ".config" / "tessaron";
    }
    return {};
}

std::filesystem::path ConfigFolderFromEnvironment() {
    return ConfigFolder(Environment("XDG_CONFIG_HOME"), Environment("HOME"));
}

Setting ReadSetting(const std::filesystem::path& folder) {
    if (folder.empty()) {
        return Setting::On;
    }
    std::vector<std::uint8_t> bytes;
    std::string problem;
    constexpr std::int64_t kLargest = 256;
    if (!runtime::ReadWholeFile(folder / kSettingsFile, kLargest, bytes, problem)) {
        return Setting::On;
    }
    std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    const std::size_t end = text.find_first_of("\r\n");
    return SettingFromWord(text.substr(0, end)).value_or(Setting::On);
}

bool WriteSetting(const std::filesystem::path& folder, Setting setting, std::string& problem) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const runtime::GameFolder place(folder);
    runtime::Files files(place);
    if (!files.Create(1, kSettingsFile)) {
        problem = files.Problem();
        return false;
    }
    files.WriteLine(WordOf(setting));
    if (!files.Close(1)) {
        problem = files.Problem();
        return false;
    }
    return true;
}

void Desk::Load(runtime::Sound& sound, std::filesystem::path configFolder,
                const std::function<void(std::string_view, const std::string&)>& unloaded) {
    for (const EffectSound& effect : kSounds) {
        std::string problem;
        if (sound.Load(effect.number, effect.file, &problem)) {
            sound.SetVoices(effect.number, effect.voices);
        } else {
            unloaded(effect.file, problem);
        }
    }
    std::string problem;
    if (!sound.LoadMusic(kMusicFile, &problem)) {
        unloaded(kMusicFile, problem);
    }
    configFolder_ = std::move(configFolder);
    setting_ = ReadSetting(configFolder_);
    loaded_ = true;
    Apply(sound);
}

void Desk::Apply(runtime::Sound& sound) const {
    sound.SetVolumes(setting_ == Setting::Silent ? 0 : 100,
                     setting_ == Setting::On ? kMusicLevel : 0);
}

void Desk::AfterPass(runtime::Sound& sound, const game::PassEvents& events, level::Mode mode,
                     std::int64_t pass) {
    if (!loaded_) {
        return;
    }
    for (const Effect effect : EffectsFor(events, mode, false, pass, recent_)) {
        sound.Start(SoundOf(effect).number);
    }
    const bool music = mode == level::Mode::Play && setting_ == Setting::On;
    if (music != sound.MusicPlaying()) {
        if (music) {
            sound.PlayMusic();
        } else {
            sound.PauseMusic();
        }
    }
}

void Desk::Click(runtime::Sound& sound) {
    if (loaded_) {
        sound.Start(SoundOf(Effect::Click).number);
    }
}

void Desk::Cycle(runtime::Sound& sound, std::int64_t pass) {
    setting_ = Next(setting_);
    Apply(sound);
    noticeUntil_ = pass + kNoticePasses;
    if (configFolder_.empty()) {
        return;
    }
    std::string problem;
    if (!WriteSetting(configFolder_, setting_, problem)) {
        // Play goes on with the setting; only the next run will not know it.
        std::cerr << "Die Toneinstellung konnte nicht gespeichert werden: "
                  << (configFolder_ / kSettingsFile).string() << ": " << problem << '\n';
    }
}

std::string Desk::Notice(std::int64_t pass) const {
    return pass < noticeUntil_ ? NoticeOf(setting_) : std::string();
}

}  // namespace tessaron::app::sounds
