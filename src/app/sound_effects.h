// The sounds that answer the player: which effect each thing noticed in a pass starts, how often,
// the music, and the player's choice of what is heard (the M key), remembered between runs.
// Sounds play in interactive play only: never in the editor, never in scripted runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "game/events.h"
#include "level/level.h"
#include "runtime/screen.h"

namespace tessaron::app::sounds {

enum class Effect : std::uint8_t {
    Jump,
    Landing,
    EnterWater,
    LeaveWater,
    Switch,
    Sensor,
    Mover,
    Disk,
    SentBack,
    Goal,
    Click,
    Count
};
inline constexpr std::size_t kEffectCount = static_cast<std::size_t>(Effect::Count);

struct EffectSound {
    const char* file;  // a fixed path under the shared folder
    int number;        // the sound's number (1 is the pickup chime)
    // At most this many of it sound at once; a start beyond that is dropped.
    int voices;
    // Passes after a start in which the effect is not started again (a ball bobbing at the water's
    // surface splashes at most every half second).
    int rest;
};
const EffectSound& SoundOf(Effect effect);

inline constexpr const char* kMusicFile = "WAV\\Musik.wav";

// When each effect last started, by pass number.
struct Recent {
    static constexpr std::int64_t kNever = std::numeric_limits<std::int64_t>::min() / 2;
    std::array<std::int64_t, kEffectCount> started;
    Recent() { started.fill(kNever); }
};

// The effects to start after a pass, in the order of Effect. Each thing noticed starts its
// effect once, however often it happened in the pass (twenty switches sound as one), and not
// again within the effect's rest. A pass that sent the ball back has no landing or water of its
// own to be heard. Nothing sounds in the editor or in a scripted run. `recent` is updated.
std::vector<Effect> EffectsFor(const game::PassEvents& events, level::Mode mode, bool scripted,
                               std::int64_t pass, Recent& recent);

// What the player hears; the M key goes round them in this order.
enum class Setting { On, EffectsOnly, Silent };
Setting Next(Setting setting);
// The words of the settings file and of the notice on the play screen.
std::string_view WordOf(Setting setting);
std::optional<Setting> SettingFromWord(std::string_view word);
std::string NoticeOf(Setting setting);

// The folder of the player's settings: $XDG_CONFIG_HOME/tessaron (when absolute), else
// ~/.config/tessaron; empty when neither is known.
std::filesystem::path ConfigFolder(std::string_view xdgConfigHome, std::string_view home);
std::filesystem::path ConfigFolderFromEnvironment();
// The settings file's name in that folder.
inline constexpr const char* kSettingsFile = "Ton.txt";
// The setting the file holds; On when there is no readable file or it holds no setting.
Setting ReadSetting(const std::filesystem::path& folder);
// Writes the setting through the machine's safe writer; false, with why, when it cannot.
bool WriteSetting(const std::filesystem::path& folder, Setting setting, std::string& problem);

// The program's sound desk: loads the effects and the music, starts the effects of each pass and
// keeps the music going in play, changes the setting on the M key and shows it for a moment.
class Desk {
  public:
    // Loads every effect and the music into `sound`; each file that cannot be loaded is told to
    // `unloaded` (path, why). The setting comes from `configFolder` (none when empty).
    void Load(runtime::Sound& sound, std::filesystem::path configFolder,
              const std::function<void(std::string_view, const std::string&)>& unloaded);
    // After each pass of an interactive run: the pass's effects, and the music in play mode.
    void AfterPass(runtime::Sound& sound, const game::PassEvents& events, level::Mode mode,
                   std::int64_t pass);
    void Click(runtime::Sound& sound);
    // The M key: the next setting, heard at once, remembered, and shown for a while.
    void Cycle(runtime::Sound& sound, std::int64_t pass);
    // The notice to show on the score line in this pass; empty when none.
    std::string Notice(std::int64_t pass) const;
    Setting Current() const { return setting_; }

    // Passes the notice stays: two seconds of play.
    static constexpr std::int64_t kNoticePasses = 120;

  private:
    void Apply(runtime::Sound& sound) const;
    Setting setting_ = Setting::On;
    Recent recent_;
    std::filesystem::path configFolder_;
    std::int64_t noticeUntil_ = 0;
    bool loaded_ = false;
};

}  // namespace tessaron::app::sounds
