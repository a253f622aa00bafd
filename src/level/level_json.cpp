#include "level/level_json.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

namespace tessaron::level {

namespace {
// Whole floats up to this magnitude are written as JSON integers; every whole float is exact
// as a 64-bit integer there.
constexpr float kLargestIntegerWritten = 9.0e15f;
}  // namespace

nlohmann::json FloatToJson(float value) {
    if (!std::isfinite(value)) {
        return nullptr;
    }
    if (value == std::trunc(value) && std::fabs(value) < kLargestIntegerWritten) {
        if (value == 0.0f && std::signbit(value)) {
            return -0.0;  // keeps the sign of a negative zero
        }
        return static_cast<std::int64_t>(value);
    }
    // The shortest decimal that reads back as this float, held as the double nearest to it; the
    // JSON writer prints that double as briefly as it reads back, so the text stays short. In
    // the rare case where the double does not round to the same float, the float's own exact
    // value is written instead.
    char text[64];
    const auto written = std::to_chars(text, text + sizeof text, value);
    double shortest = 0.0;
    const auto parsed = std::from_chars(text, written.ptr, shortest);
    if (parsed.ec != std::errc() || static_cast<float>(shortest) != value) {
        return static_cast<double>(value);
    }
    return shortest;
}

nlohmann::json ElementToJson(const Element& element) {
    nlohmann::json object = nlohmann::json::object();
    for (int i = 0; i < kElementFieldCount; ++i) {
        object[std::string(kElementFieldNames[static_cast<std::size_t>(i)])] =
            FloatToJson(Field(element, i));
    }
    return object;
}

nlohmann::json ElementsToJson(const ElementList& elements) {
    nlohmann::json array = nlohmann::json::array();
    for (const Element& element : elements) {
        array.push_back(ElementToJson(element));
    }
    return array;
}

nlohmann::json LevelToJson(const Level& level) {
    nlohmann::json object = nlohmann::json::object();
    object["viewX"] = FloatToJson(level.viewX);
    object["viewY"] = FloatToJson(level.viewY);
    object["levelWidth"] = level.levelWidth;
    object["levelHeight"] = level.levelHeight;
    object["elements"] = ElementsToJson(level.elements);
    return object;
}

std::string LevelToJsonText(const Level& level) {
    std::string text = "{\n";
    text += "  \"viewX\": " + FloatToJson(level.viewX).dump() + ",\n";
    text += "  \"viewY\": " + FloatToJson(level.viewY).dump() + ",\n";
    text += "  \"levelWidth\": " + std::to_string(level.levelWidth) + ",\n";
    text += "  \"levelHeight\": " + std::to_string(level.levelHeight) + ",\n";
    text += "  \"elements\": [";
    for (std::size_t e = 0; e < level.elements.size(); ++e) {
        text += e == 0 ? "\n    {" : ",\n    {";
        for (int i = 0; i < kElementFieldCount; ++i) {
            if (i > 0) {
                text += ", ";
            }
            text += '"';
            text += kElementFieldNames[static_cast<std::size_t>(i)];
            text += "\": ";
            text += FloatToJson(Field(level.elements[e], i)).dump();
        }
        text += '}';
    }
    text += level.elements.empty() ? "]\n}\n" : "\n  ]\n}\n";
    return text;
}

bool FloatFromJson(const nlohmann::json& value, float& result) {
    if (!value.is_number()) {
        return false;
    }
    double number = 0.0;
    if (value.is_number_integer() && !value.is_number_unsigned()) {
        number = static_cast<double>(value.get<std::int64_t>());
    } else if (value.is_number_unsigned()) {
        number = static_cast<double>(value.get<std::uint64_t>());
    } else {
        number = value.get<double>();
    }
    // A number rounds to the nearest float, as a float reader would: the shortest text of the
    // largest float ("3.4028235e+38") lies a little beyond it and still means it. Only a number
    // that would round to infinity is out of range.
    constexpr double kRoundsToInfinity = 0x1.ffffffp+127;  // the largest float + half a step
    constexpr double kLargest = std::numeric_limits<float>::max();
    if (!std::isfinite(number) || std::fabs(number) >= kRoundsToInfinity) {
        return false;
    }
    result = std::fabs(number) > kLargest ? static_cast<float>(std::copysign(kLargest, number))
                                          : static_cast<float>(number);
    return true;
}

bool ElementFromJson(const nlohmann::json& value, Element& element, std::string& error) {
    if (!value.is_object()) {
        error = "an element is not an object";
        return false;
    }
    Element read;
    for (int i = 0; i < kElementFieldCount; ++i) {
        const std::string name(kElementFieldNames[static_cast<std::size_t>(i)]);
        const auto it = value.find(name);
        if (it == value.end()) {
            error = "an element has no \"" + name + "\"";
            return false;
        }
        if (!FloatFromJson(*it, Field(read, i))) {
            error = "\"" + name + "\" of an element is not a number within the float range";
            return false;
        }
    }
    element = read;
    return true;
}

namespace {
bool Int32FromJson(const nlohmann::json& object, const char* name, std::int32_t& result,
                   std::string& error) {
    const auto it = object.find(name);
    if (it == object.end()) {
        error = std::string("no \"") + name + "\"";
        return false;
    }
    double number = 0.0;
    if (it->is_number_unsigned()) {
        number = static_cast<double>(it->get<std::uint64_t>());
    } else if (it->is_number_integer()) {
        number = static_cast<double>(it->get<std::int64_t>());
    } else if (it->is_number_float()) {
        number = it->get<double>();
    }
    if (!it->is_number() || !std::isfinite(number) || number != std::trunc(number) ||
        number < std::numeric_limits<std::int32_t>::min() ||
        number > std::numeric_limits<std::int32_t>::max()) {
        error = std::string("\"") + name + "\" is not a whole number within the 32-bit range";
        return false;
    }
    result = static_cast<std::int32_t>(number);
    return true;
}

bool FloatMemberFromJson(const nlohmann::json& object, const char* name, float& result,
                         std::string& error) {
    const auto it = object.find(name);
    if (it == object.end()) {
        error = std::string("no \"") + name + "\"";
        return false;
    }
    if (!FloatFromJson(*it, result)) {
        error = std::string("\"") + name + "\" is not a number within the float range";
        return false;
    }
    return true;
}
}  // namespace

bool LevelFromJson(const nlohmann::json& value, Level& level, std::string& error) {
    if (!value.is_object()) {
        error = "the level is not a JSON object";
        return false;
    }
    float viewX = 0.0f;
    float viewY = 0.0f;
    std::int32_t width = 0;
    std::int32_t height = 0;
    if (!FloatMemberFromJson(value, "viewX", viewX, error) ||
        !FloatMemberFromJson(value, "viewY", viewY, error) ||
        !Int32FromJson(value, "levelWidth", width, error) ||
        !Int32FromJson(value, "levelHeight", height, error)) {
        return false;
    }
    const auto elements = value.find("elements");
    if (elements == value.end() || !elements->is_array()) {
        error = "no \"elements\" array";
        return false;
    }
    ElementList list;
    list.reserve(elements->size());
    for (std::size_t i = 0; i < elements->size(); ++i) {
        Element element;
        if (!ElementFromJson((*elements)[i], element, error)) {
            error = "element " + std::to_string(i) + ": " + error;
            return false;
        }
        list.push_back(element);
    }
    level.viewX = viewX;
    level.viewY = viewY;
    level.levelWidth = width;
    level.levelHeight = height;
    ReplaceElements(level, std::move(list));
    return true;
}

}  // namespace tessaron::level
