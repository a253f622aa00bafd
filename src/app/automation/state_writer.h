// The state file of a run: the loop's, the player's and the level's values and every element,
// the elements in the same form as the level tool's dump.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "app/state.h"

namespace tessaron::app {

nlohmann::ordered_json StateToJson(const GameState& state);

// Writes the state as JSON; false (and why in error) when the file cannot be written. The
// editor's reach layer, while on, adds its lines as "reach".
bool WriteState(const std::filesystem::path& file, const GameState& state, std::string& error,
                const std::vector<std::string>& reachLines = {});

}  // namespace tessaron::app
