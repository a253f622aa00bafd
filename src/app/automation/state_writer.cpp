#include "app/automation/state_writer.h"

#include <string>

#include "level/level_json.h"
#include "runtime/file_writer.h"

namespace tessaron::app {

namespace {

// The elements as the level tool dumps them, each with its fields in record order.
nlohmann::ordered_json ElementsInRecordOrder(const level::ElementList& elements) {
    nlohmann::ordered_json list = nlohmann::ordered_json::array();
    for (const level::Element& element : elements) {
        nlohmann::ordered_json fields = nlohmann::ordered_json::object();
        for (int i = 0; i < level::kElementFieldCount; ++i) {
            fields[std::string(level::kElementFieldNames[static_cast<std::size_t>(i)])] =
                level::FloatToJson(level::Field(element, i));
        }
        list.push_back(std::move(fields));
    }
    return list;
}

}  // namespace

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
    json["elements"] = ElementsInRecordOrder(level.elements);
    return json;
}

bool WriteState(const std::filesystem::path& file, const GameState& state, std::string& error,
                const std::vector<std::string>& reachLines) {
    std::string text;
    try {
        nlohmann::ordered_json json = StateToJson(state);
        if (!reachLines.empty()) {
            json["reach"] = reachLines;
        }
        // A level file name that is not valid UTF-8 is written with replacement characters
        // rather than refused.
        text = json.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    } catch (const std::exception& exception) {
        error = std::string("cannot write the state: ") + exception.what();
        return false;
    }
    text += '\n';
    std::string problem;
    if (!runtime::WriteWholeFile(file, text, problem)) {
        error = "cannot write the state file " + file.string() + ": " + problem;
        return false;
    }
    return true;
}

}  // namespace tessaron::app
