// The level and its records as JSON: the level tool's dump and pack format, also used for the
// state files of scripted runs.
//
// A level is one object: "viewX", "viewY", "levelWidth", "levelHeight" and "elements", an array
// in list order of objects with the fifteen record fields under their names ("background",
// "homeColumn", ... "pause2"). Numbers are written so that reading them back as 32-bit floats
// gives exactly the same value, and as briefly as that allows (0.6, 100).
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "level/element.h"
#include "level/level.h"

namespace tessaron::level {

// A float as a JSON number: a whole number where the value is whole, otherwise the shortest
// decimal that reads back as the same float. Infinities and NaN, which JSON cannot hold, are
// written as null.
nlohmann::json FloatToJson(float value);
nlohmann::json ElementToJson(const Element& element);
nlohmann::json ElementsToJson(const ElementList& elements);
// viewX, viewY, levelWidth, levelHeight and elements.
nlohmann::json LevelToJson(const Level& level);

// LevelToJson as text laid out for reading and comparing: the level-wide values first, then one
// element per line with its fields in record order. Ends with a line feed.
std::string LevelToJsonText(const Level& level);

// A JSON number as the nearest float; false when it is not a number or would round to infinity.
bool FloatFromJson(const nlohmann::json& value, float& result);
// Every one of the fifteen fields must be present and a number; other keys are ignored.
bool ElementFromJson(const nlohmann::json& value, Element& element, std::string& error);
// Reads viewX, viewY, levelWidth, levelHeight and elements into the level; the other level-wide
// values are left as they are. On failure the level is unchanged and error says why.
bool LevelFromJson(const nlohmann::json& value, Level& level, std::string& error);
// LevelFromJson of the parsed text, with the same result and reasons ("malformed JSON" where
// the text is no JSON), turning each element into a record as soon as it is parsed: the tree
// of a large level, some thirty times the size of its records, is never held whole.
bool LevelFromJsonText(std::string_view text, Level& level, std::string& error);

}  // namespace tessaron::level
