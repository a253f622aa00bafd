#include "app/automation/state_writer.h"

#include <fstream>

#include "level/level_json.h"

namespace tessaron::app {

nlohmann::ordered_json StateToJson(const GameState& state) {
    const level::Level& level = state.level;
    nlohmann::ordered_json json;
    json["mode"] = static_cast<int>(state.loop.mode);
    json["score"] = level.score;
    json["viewX"] = level::FloatToJson(level.viewX);
    json["viewY"] = level::FloatToJson(level.viewY);
    json["velocityX"] = level::FloatToJson(state.player.velocityX);
    json["velocityY"] = level::FloatToJson(state.player.velocityY);
    json["startX"] = level.startX;
    json["startY"] = level.startY;
    json["levelWidth"] = level.levelWidth;
    json["levelHeight"] = level.levelHeight;
    json["triggeredLink"] = level.triggeredLink;
    json["crushCount"] = state.player.crushCount;
    json["tick"] = state.loop.tick;
    json["ballAngle"] = state.render.ballAngle;
    json["levelFileName"] = level.levelFileName;
    json["elements"] = level::ElementsToJson(level.elements);
    return json;
}

bool WriteState(const std::filesystem::path& file, const GameState& state, std::string& error) {
    std::string text;
    try {
        // A level file name that is not valid UTF-8 is written with replacement characters
        // rather than refused.
        text = StateToJson(state).dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    } catch (const std::exception& exception) {
        error = std::string("cannot write the state: ") + exception.what();
        return false;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text << '\n';
    out.close();
    if (!out) {
        error = "cannot write the state file " + file.string();
        return false;
    }
    return true;
}

}  // namespace tessaron::app
