// The drawing stage: four walks of the element list for the map, then the ball or the cursor,
// then the value display or the score line.
//
// Every position follows one rule: a cell's reference point is (R(40 * column) + viewX,
// R(40 * row) + viewY) in floating point, and a picture's top-left corner is R(reference - 20).
// The walks visit every element in every pass; what falls off the screen costs one bounds test.
#include "render/render.h"

#include <cmath>
#include <cstdint>
#include <string_view>

#include "level/element.h"
#include "render/geometry.h"

namespace tessaron::render {

using detail::CellCentre;
using detail::kDegree;
using detail::kHalfCell;
using detail::Round;
using level::Element;
using level::Mode;
using runtime::PlayScreen;

namespace {

constexpr float kAir = 100.0f;
constexpr float kWater = 200.0f;
constexpr float kEmpty = 1000.0f;
constexpr float kSensor = 2002.0f;
constexpr float kPickupsFrom = 4000.0f;  // exclusive: 4000 itself is never drawn
constexpr float kPickupsTo = 5000.0f;    // exclusive: taken pickups (5001..5099) are not drawn

constexpr int kAirSprite = 100;
constexpr int kWaterSprite = 200;
constexpr int kSensorSprite = 2002;
constexpr int kOpaque = 255;

// The water backdrop sits 3 pixels left of the cell and sways by up to 3 pixels in play.
constexpr float kWaterShift = 23.0f;
constexpr float kWaterSway = 3.0f;

// The ball and its light, both centred on the player's fixed point (512, 384).
constexpr int kBallSize = 58;
constexpr int kBallX = 483;
constexpr int kBallY = 355;
constexpr int kLightSize = 60;
constexpr int kLightX = 482;
constexpr int kLightY = 354;
constexpr int kLightOpacity = 150;

constexpr int kSensorOpacityBase = 75;
constexpr int kSensorOpacityRange = 50;

// True when a width x height rectangle at (x, y) misses the play screen. The 64-bit sums keep
// positions near the 32-bit limits from wrapping.
bool OffScreen(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    return x >= PlayScreen::kWidth || y >= PlayScreen::kHeight ||
           std::int64_t{x} + width <= 0 || std::int64_t{y} + height <= 0;
}

// The sprite number a kind code names; a code beyond the 32-bit range names no sprite.
int SpriteOf(float kind) { return Round(kind); }

// Kinds drawn by the two element walks: everything below the pickups except the empty cell and
// the sensor, which the pickup walk draws half-transparent.
bool IsElementPicture(float kind) {
    return kind != kEmpty && kind != kSensor && kind < kPickupsFrom;
}

struct CellPoint {
    float x;
    float y;
};

CellPoint Reference(const Element& e, const level::Level& level) {
    return {CellCentre(e.column, level.viewX), CellCentre(e.row, level.viewY)};
}

CellPoint HomeReference(const Element& e, const level::Level& level) {
    return {CellCentre(e.homeColumn, level.viewX), CellCentre(e.homeRow, level.viewY)};
}

void DrawBackdrops(const level::Level& level, const FrameInputs& inputs, PlayScreen& screen) {
    const bool editor = inputs.mode == Mode::Editor;
    // The sway's phase for this pass: t * k * 10, in that order, before the row is added.
    const float swayPhase = static_cast<float>(inputs.tick) * kDegree * 10.0f;
    for (const Element& e : level.elements) {
        const CellPoint home = HomeReference(e, level);
        const std::int32_t homeTop = Round(home.y - kHalfCell);
        if (e.background == kAir) {
            screen.DrawSprite(kAirSprite, Round(home.x - kHalfCell), homeTop);
        } else if (e.background == kWater) {
            float left;
            if (editor) {
                left = home.x - kWaterShift;
            } else {
                left = home.x + kWaterSway * std::sin(swayPhase + e.homeRow) - kWaterShift;
            }
            screen.DrawSprite(kWaterSprite, Round(left), homeTop);
        }
        if (editor && e.kind == kEmpty) {
            const CellPoint c = Reference(e, level);
            screen.DrawSprite(kGridSprite, Round(c.x - kHalfCell), Round(c.y - kHalfCell));
        }
    }
}

// One of the two element walks. Moving elements (length > 0) are drawn first so that resting
// ones cover them. An element with a negative length cannot move, so it is drawn with the
// resting ones rather than not at all (an invisible but solid block would only puzzle).
void DrawElements(const level::Level& level, bool editor, bool moving, PlayScreen& screen) {
    for (const Element& e : level.elements) {
        if (!IsElementPicture(e.kind)) continue;
        if ((e.length > 0.0f) != moving) continue;
        const CellPoint c = Reference(e, level);
        const std::int32_t x = Round(c.x - kHalfCell);
        const std::int32_t y = Round(c.y - kHalfCell);
        screen.DrawSprite(SpriteOf(e.kind), x, y);
        if (editor) screen.DrawSprite(kGridSprite, x, y);
    }
}

void DrawPickupsAndSensors(const level::Level& level, const FrameInputs& inputs,
                           PlayScreen& screen, runtime::Random& random) {
    const bool editor = inputs.mode == Mode::Editor;
    const float spinPhase = static_cast<float>(inputs.tick) / 10.0f;
    for (const Element& e : level.elements) {
        if (e.kind > kPickupsFrom && e.kind < kPickupsTo) {
            const int sprite = SpriteOf(e.kind);
            const CellPoint c = Reference(e, level);
            const std::int32_t y = Round(c.y - kHalfCell);
            if (editor) {
                const std::int32_t x = Round(c.x - kHalfCell);
                screen.SetBlendedSize(sprite, 40, 40);
                if (!OffScreen(x, y, 40, 40)) screen.DrawBlended(sprite, x, y, kOpaque);
                screen.DrawSprite(kGridSprite, x, y);
            } else {
                // The pickup spins about its vertical axis: its half-width w follows a sine of
                // the clock, with a phase from its position.
                const float angle = spinPhase + e.column * e.row * kDegree;
                const std::int32_t w = Round(std::fabs(20.0f * std::sin(angle)));
                const std::int32_t x = Round(c.x - static_cast<float>(w));
                // The size is set even when nothing is drawn: it stays with the sprite for
                // later users such as the brush preview.
                screen.SetBlendedSize(sprite, 2 * w, 40);
                if (w > 0 && !OffScreen(x, y, 2 * w, 40)) {
                    screen.DrawBlended(sprite, x, y, kOpaque);
                }
            }
        }
        if (e.kind == kSensor) {
            // The random number is drawn for every sensor, visible or not, in list order: the
            // sequence is part of what a scripted run reproduces.
            const int opacity =
                editor ? kOpaque : kSensorOpacityBase + random.Next(kSensorOpacityRange);
            const CellPoint c = Reference(e, level);
            const std::int32_t x = Round(c.x - kHalfCell);
            const std::int32_t y = Round(c.y - kHalfCell);
            const bool upright = screen.BlendedRotation(kSensorSprite) == 0.0f;
            if (!upright || !OffScreen(x, y, screen.BlendedWidth(kSensorSprite),
                                       screen.BlendedHeight(kSensorSprite))) {
                screen.DrawBlended(kSensorSprite, x, y, opacity);
            }
            if (editor) screen.DrawSprite(kGridSprite, x, y);
        }
    }
}

void DrawBall(const RenderState& state, PlayScreen& screen) {
    screen.SetBlendedSize(kBallSprite, kBallSize, kBallSize);
    screen.SetBlendedRotation(kBallSprite, static_cast<float>(state.ballAngle),
                              runtime::RotationCentre::Quad);
    screen.DrawBlended(kBallSprite, kBallX, kBallY, kOpaque);
    screen.SetBlendedSize(kLightSprite, kLightSize, kLightSize);
    screen.DrawBlended(kLightSprite, kLightX, kLightY, kLightOpacity);
}

// The value labels of one element for choices 1 to 4. Under choices 3 and 4 both labels are
// drawn as soon as one of the two values passes, so a 0 can show beside the other value.
void DrawLabels(const Element& e, const CellPoint& c, int choice, PlayScreen& screen,
                detail::TextBuffer& buffer) {
    const auto write = [&](std::string_view text, std::int32_t x, std::int32_t y) {
        screen.SetTextPosition(x, y);
        screen.DrawText(text);
    };
    // The half width stays a float: it is not rounded before it is subtracted.
    const auto halfWidth = [&](std::string_view text) {
        return static_cast<float>(screen.TextWidth(text)) / 2.0f;
    };
    switch (choice) {
        case 1:
            if (e.link > 0.0f) {
                write(detail::LabelText(buffer, e.link), Round(c.x - 20.0f), Round(c.y - 20.0f));
            }
            break;
        case 2:
            if (e.length > 0.0f) {
                const std::string_view s = detail::LabelText(buffer, e.length);
                write(s, Round(c.x - halfWidth(s)), Round(c.y - 6.0f));
            }
            break;
        case 3:
            if (e.speedX != 0.0f || e.speedY != 0.0f) {
                std::string_view s = detail::LabelText(buffer, e.speedY);
                write(s, Round(c.x - halfWidth(s)), Round(c.y + 8.0f));
                s = detail::LabelText(buffer, e.speedX);
                const float width = static_cast<float>(screen.TextWidth(s));
                write(s, Round(c.x - width + 20.0f), Round(c.y - 6.0f));
            }
            break;
        case 4:
            if (e.pause1 > 0.0f || e.pause2 > 0.0f) {
                std::string_view s = detail::LabelText(buffer, e.pause1);
                write(s, Round(c.x - halfWidth(s)), Round(c.y - 16.0f));
                s = detail::LabelText(buffer, e.pause2);
                write(s, Round(c.x - halfWidth(s)), Round(c.y + 4.0f));
            }
            break;
        default:
            break;
    }
}

void DrawValueDisplay(const level::Level& level, const FrameInputs& inputs, PlayScreen& screen) {
    screen.BeginDrawing();
    screen.SetDrawingMode(0);  // opaque text background
    screen.SetBackColour({255, 255, 255});
    screen.SetFrontColour({0, 0, 0});
    screen.UseFont(kLabelFont);
    const int choice = inputs.valueDisplayChoice;
    if (choice >= 1 && choice <= 4) {
        detail::TextBuffer buffer;
        // Every label lies within its widest possible width (and its height, far less) of the
        // cell's reference point. An element farther than that from the screen cannot show a
        // label, so it is skipped before any text is measured.
        const float reach =
            2.0f * static_cast<float>(screen.TextWidth(" -2147483648 ")) + 40.0f;
        for (const Element& e : level.elements) {
            const CellPoint c = Reference(e, level);
            if (!(c.x + reach >= 0.0f && c.x - reach < PlayScreen::kWidth &&
                  c.y + reach >= 0.0f && c.y - reach < PlayScreen::kHeight)) {
                continue;
            }
            DrawLabels(e, c, choice, screen, buffer);
        }
    }
    screen.EndDrawing();
}

void DrawScoreLine(const level::Level& level, PlayScreen& screen) {
    detail::TextBuffer buffer;
    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kTransparentText);
    screen.SetFrontColour({255, 255, 255});
    screen.UseFont(0);
    screen.SetTextPosition(0, 0);
    screen.DrawText(detail::ScoreText(buffer, level.score));
    screen.EndDrawing();
}

}  // namespace

void DrawMap(const level::Level& level, const FrameInputs& inputs, RenderState& state,
             PlayScreen& screen, runtime::Random& random) {
    const bool editor = inputs.mode == Mode::Editor;
    DrawBackdrops(level, inputs, screen);
    DrawElements(level, editor, /*moving=*/true, screen);
    DrawElements(level, editor, /*moving=*/false, screen);
    DrawPickupsAndSensors(level, inputs, screen, random);

    state.ballAngle = detail::NextBallAngle(state.ballAngle, inputs.velocityX);
    if (editor) {
        screen.DrawSprite(inputs.kindChoice, inputs.mouseX, inputs.mouseY);
    } else {
        DrawBall(state, screen);
    }
    screen.EndScene();
}

void AdvanceWithoutDrawing(const level::Level& level, const FrameInputs& inputs,
                           RenderState& state, runtime::Random& random) {
    if (inputs.mode == Mode::Play) {
        for (const Element& e : level.elements) {
            if (e.kind == kSensor) {
                random.Next(kSensorOpacityRange);
            }
        }
    }
    state.ballAngle = detail::NextBallAngle(state.ballAngle, inputs.velocityX);
}

void DrawOverlays(const level::Level& level, const FrameInputs& inputs, PlayScreen& screen) {
    if (inputs.mode == Mode::Editor) {
        DrawValueDisplay(level, inputs, screen);
    } else {
        DrawScoreLine(level, screen);
    }
}

}  // namespace tessaron::render
