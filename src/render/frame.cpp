#include "render/frame.h"

#include "render/geometry.h"

namespace tessaron::render {

namespace {

using detail::kSensor;
constexpr int kSensorOpacityBase = 75;
constexpr int kSensorOpacityRange = 50;

}  // namespace

void DrawSensorNumbers(const level::Level& level, runtime::Random& random,
                       std::vector<std::int32_t>* opacities) {
    for (const std::int32_t i : level::IndexOf(level).Sensors()) {
        const bool sensor = level.elements[static_cast<std::size_t>(i)].kind == kSensor;
        const int number = sensor ? random.Next(kSensorOpacityRange) : 0;
        if (opacities != nullptr)
            opacities->push_back(kSensorOpacityBase + number);
    }
}

void AdvanceWithoutDrawing(const level::Level& level, const FrameInputs& inputs, RenderState& state,
                           runtime::Random& random) {
    if (inputs.mode == level::Mode::Play) {
        DrawSensorNumbers(level, random, nullptr);
    }
    state.ballAngle = detail::NextBallAngle(state.ballAngle, inputs.velocityX);
}

}  // namespace tessaron::render
