// The drawing stage: four walks of the element list for the map, then the ball or the cursor,
// then the value display or the score line.
//
// Every position follows one rule: a cell's reference point is (R(40 * column) + viewX,
// R(40 * row) + viewY) in floating point, and a picture's top-left corner is R(reference - 20).
// The walks visit, in list order, the elements that the level's index finds near the screen:
// an element farther out would draw nothing. What drawing does besides the pixels is kept for
// every element, seen or not: each pickup picture's size ends as its last pickup in the list
// sets it, and every sensor takes its random number in list order.
#include "render/render.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "level/element.h"
#include "render/geometry.h"

namespace tessaron::render {

using detail::CellCentre;
using detail::IsElementPicture;
using detail::IsPickup;
using detail::kAir;
using detail::kDegree;
using detail::kEmpty;
using detail::kHalfCell;
using detail::kSensor;
using detail::kWater;
using detail::Round;
using level::Element;
using level::Mode;
using runtime::PlayScreen;

namespace {

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

// The start marker: the ball where play begins, faded so that the cells show through it.
constexpr int kStartMarkerOpacity = 120;

// True when a width x height rectangle at (x, y) misses the play screen. The 64-bit sums keep
// positions near the 32-bit limits from wrapping.
bool OffScreen(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    return x >= PlayScreen::kWidth || y >= PlayScreen::kHeight || std::int64_t{x} + width <= 0 ||
           std::int64_t{y} + height <= 0;
}

// The sprite number a kind code names; a code beyond the 32-bit range names no sprite.
int SpriteOf(float kind) {
    return Round(kind);
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

// How far beyond the screen an element's reference point may lie and still draw a pixel: the
// largest picture and the water's shift and sway, with room to spare for rounding.
float DrawingReach(const PlayScreen& screen) {
    return static_cast<float>(std::max(screen.LargestSpriteExtent(), 46)) + 40.0f;
}

// The screen box of reference points that may draw within the screen, `reach` beyond it.
level::ScreenBox Around(float reach) {
    return {-reach, -reach, static_cast<float>(PlayScreen::kWidth) + reach,
            static_cast<float>(PlayScreen::kHeight) + reach};
}

// Scratch lists of the level's index that the walks use.
constexpr int kNearScratch = 0;
constexpr int kHomeScratch = 1;
constexpr int kOpacityScratch = 2;
constexpr int kUnionScratch = 3;

// The elements whose picture may show, by their position now, in list order.
const std::vector<std::int32_t>& NearScreen(const level::Level& level, float reach) {
    const level::ElementIndex& index = level::IndexOf(level);
    std::vector<std::int32_t>& near = index.Scratch(kNearScratch);
    index.Near(level::CellGrid::Position::Current, Around(reach), level.viewX, level.viewY, near);
    return near;
}

// How the cells are drawn: the mode chooses the water's sway, the pickups' spin and the sensors'
// flicker; the grid is drawn over the cells only in the editor, and there only when shown.
struct CellStyle {
    Mode mode = Mode::Play;
    GridOverlay grid = GridOverlay::Hidden;
    std::int32_t tick = 0;

    bool Editor() const { return mode == Mode::Editor; }
    bool Grid() const { return grid == GridOverlay::Shown; }
};

void DrawBackdrops(const level::Level& level, const CellStyle& style, PlayScreen& screen,
                   const std::vector<std::int32_t>& near) {
    const bool editor = style.Editor();
    // The sway's phase for this pass: t * k * 10, in that order, before the row is added.
    const float swayPhase = static_cast<float>(style.tick) * kDegree * 10.0f;
    // Backdrops lie at the home cell; the editor's grid on an empty cell at its position now.
    const level::ElementIndex& index = level::IndexOf(level);
    std::vector<std::int32_t>& homes = index.Scratch(kHomeScratch);
    index.Near(level::CellGrid::Position::Home, Around(DrawingReach(screen)), level.viewX,
               level.viewY, homes);
    std::vector<std::int32_t>& walk = editor ? index.Scratch(kUnionScratch) : homes;
    if (editor) {
        walk.clear();
        std::set_union(homes.begin(), homes.end(), near.begin(), near.end(),
                       std::back_inserter(walk));
    }
    for (const std::int32_t i : walk) {
        const Element& e = level.elements[static_cast<std::size_t>(i)];
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
        if (style.Grid() && e.kind == kEmpty) {
            const CellPoint c = Reference(e, level);
            screen.DrawSprite(kGridSprite, Round(c.x - kHalfCell), Round(c.y - kHalfCell));
        }
    }
}

// One of the two element walks. Moving elements (length > 0) are drawn first so that resting
// ones cover them. An element with a negative length cannot move, so it is drawn with the
// resting ones rather than not at all (an invisible but solid block would only puzzle).
void DrawElements(const level::Level& level, const CellStyle& style, bool moving,
                  PlayScreen& screen, const std::vector<std::int32_t>& near) {
    for (const std::int32_t i : near) {
        const Element& e = level.elements[static_cast<std::size_t>(i)];
        if (!IsElementPicture(e.kind))
            continue;
        if ((e.length > 0.0f) != moving)
            continue;
        const CellPoint c = Reference(e, level);
        const std::int32_t x = Round(c.x - kHalfCell);
        const std::int32_t y = Round(c.y - kHalfCell);
        screen.DrawSprite(SpriteOf(e.kind), x, y);
        if (style.Grid())
            screen.DrawSprite(kGridSprite, x, y);
    }
}

// A pickup's half width in play: it spins about its vertical axis, its half-width following a
// sine of the clock with a phase from its position.
std::int32_t SpinHalfWidth(const Element& e, float spinPhase) {
    const float angle = spinPhase + e.column * e.row * kDegree;
    return Round(std::fabs(20.0f * std::sin(angle)));
}

// After the walk each pickup picture has the size that the last pickup of it in the list gives
// it, also when that one was not drawn: the size stays with the sprite for later users such as
// the brush preview.
void SetLastPickupSizes(const level::Level& level, bool editor, float spinPhase,
                        PlayScreen& screen) {
    for (const auto& [sprite, elements] : level::IndexOf(level).PickupsByPicture()) {
        for (auto i = elements.rbegin(); i != elements.rend(); ++i) {
            const Element& e = level.elements[static_cast<std::size_t>(*i)];
            if (!IsPickup(e.kind) || SpriteOf(e.kind) != sprite) {
                continue;  // taken since the index was built
            }
            if (editor) {
                screen.SetBlendedSize(sprite, 40, 40);
            } else {
                screen.SetBlendedSize(sprite, 2 * SpinHalfWidth(e, spinPhase), 40);
            }
            break;
        }
    }
}

void DrawPickupsAndSensors(const level::Level& level, const CellStyle& style, PlayScreen& screen,
                           runtime::Random& random, const std::vector<std::int32_t>& near) {
    const bool editor = style.Editor();
    const float spinPhase = static_cast<float>(style.tick) / 10.0f;
    const level::ElementIndex& index = level::IndexOf(level);
    const std::vector<std::int32_t>& sensors = index.Sensors();
    std::vector<std::int32_t>& opacities = index.Scratch(kOpacityScratch);
    opacities.clear();
    if (!editor)
        DrawSensorNumbers(level, random, &opacities);
    // A turned sensor picture may reach anywhere: then every sensor is visited.
    const bool upright = screen.BlendedRotation(kSensorSprite) == 0.0f;
    const float sensorReach = static_cast<float>(std::max(screen.BlendedWidth(kSensorSprite),
                                                          screen.BlendedHeight(kSensorSprite))) +
                              40.0f;
    std::vector<std::int32_t>& walk = index.Scratch(kHomeScratch);
    if (upright && sensorReach <= DrawingReach(screen)) {
        walk.assign(near.begin(), near.end());
    } else {
        walk.clear();
        std::set_union(near.begin(), near.end(), sensors.begin(), sensors.end(),
                       std::back_inserter(walk));
    }
    for (const std::int32_t i : walk) {
        const Element& e = level.elements[static_cast<std::size_t>(i)];
        if (IsPickup(e.kind)) {
            const int sprite = SpriteOf(e.kind);
            const CellPoint c = Reference(e, level);
            const std::int32_t y = Round(c.y - kHalfCell);
            if (editor) {
                const std::int32_t x = Round(c.x - kHalfCell);
                screen.SetBlendedSize(sprite, 40, 40);
                if (!OffScreen(x, y, 40, 40))
                    screen.DrawBlended(sprite, x, y, kOpaque);
                if (style.Grid())
                    screen.DrawSprite(kGridSprite, x, y);
            } else {
                const std::int32_t w = SpinHalfWidth(e, spinPhase);
                const std::int32_t x = Round(c.x - static_cast<float>(w));
                screen.SetBlendedSize(sprite, 2 * w, 40);
                if (w > 0 && !OffScreen(x, y, 2 * w, 40)) {
                    screen.DrawBlended(sprite, x, y, kOpaque);
                }
            }
        }
        if (e.kind == kSensor) {
            const auto at = std::lower_bound(sensors.begin(), sensors.end(), i);
            const int opacity =
                editor ? kOpaque : opacities[static_cast<std::size_t>(at - sensors.begin())];
            const CellPoint c = Reference(e, level);
            const std::int32_t x = Round(c.x - kHalfCell);
            const std::int32_t y = Round(c.y - kHalfCell);
            const bool upright = screen.BlendedRotation(kSensorSprite) == 0.0f;
            if (!upright || !OffScreen(x, y, screen.BlendedWidth(kSensorSprite),
                                       screen.BlendedHeight(kSensorSprite))) {
                screen.DrawBlended(kSensorSprite, x, y, opacity);
            }
            if (style.Grid())
                screen.DrawSprite(kGridSprite, x, y);
        }
    }
    SetLastPickupSizes(level, editor, spinPhase, screen);
}

// The four walks over the cells near the screen: backdrops, moving elements, resting elements,
// then pickups and sensors.
void DrawCells(const level::Level& level, const CellStyle& style, PlayScreen& screen,
               runtime::Random& random) {
    const std::vector<std::int32_t>& near = NearScreen(level, DrawingReach(screen));
    DrawBackdrops(level, style, screen, near);
    DrawElements(level, style, /*moving=*/true, screen, near);
    DrawElements(level, style, /*moving=*/false, screen, near);
    DrawPickupsAndSensors(level, style, screen, random, near);
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

void DrawValueDisplay(const level::Level& level, int choice, PlayScreen& screen) {
    screen.BeginDrawing();
    screen.SetDrawingMode(0);  // opaque text background
    screen.SetBackColour({255, 255, 255});
    screen.SetFrontColour({0, 0, 0});
    screen.UseFont(kLabelFont);
    if (choice >= 1 && choice <= 4) {
        detail::TextBuffer buffer;
        // Every label lies within its widest possible width (and its height, far less) of the
        // cell's reference point. An element farther than that from the screen cannot show a
        // label, so it is skipped before any text is measured.
        const float reach = 2.0f * static_cast<float>(screen.TextWidth(" -2147483648 ")) + 40.0f;
        for (const std::int32_t i : NearScreen(level, reach)) {
            const Element& e = level.elements[static_cast<std::size_t>(i)];
            const CellPoint c = Reference(e, level);
            if (!(c.x + reach >= 0.0f && c.x - reach < PlayScreen::kWidth && c.y + reach >= 0.0f &&
                  c.y - reach < PlayScreen::kHeight)) {
                continue;
            }
            DrawLabels(e, c, choice, screen, buffer);
        }
    }
    screen.EndDrawing();
}

void DrawMap(const level::Level& level, const FrameInputs& inputs, RenderState& state,
             PlayScreen& screen, runtime::Random& random) {
    const bool editor = inputs.mode == Mode::Editor;
    const CellStyle style{inputs.mode, editor ? GridOverlay::Shown : GridOverlay::Hidden,
                          inputs.tick};
    DrawCells(level, style, screen, random);

    state.ballAngle = detail::NextBallAngle(state.ballAngle, inputs.velocityX);
    if (editor && inputs.startMarker) {
        DrawStartMarker(level, *inputs.startMarker, screen);
    }
    if (editor) {
        screen.DrawSprite(inputs.kindChoice, inputs.mouseX, inputs.mouseY);
    } else {
        DrawBall(state, screen);
    }
    screen.EndScene();
}

void DrawStartMarker(const level::Level& level, level::StartOffset start, PlayScreen& screen) {
    // At the start offset the ball lies where play draws it; the view moves it by the difference.
    const std::int32_t x = Round(static_cast<float>(std::int64_t{kBallX} - start.x) + level.viewX);
    const std::int32_t y = Round(static_cast<float>(std::int64_t{kBallY} - start.y) + level.viewY);
    screen.SetBlendedSize(kBallSprite, kBallSize, kBallSize);
    if (!OffScreen(x, y, kBallSize, kBallSize)) {
        screen.DrawBlended(kBallSprite, x, y, kStartMarkerOpacity);
    }
}

void DrawEditorCells(const level::Level& level, GridOverlay grid, PlayScreen& screen) {
    // The editor's cells draw no random number: sensors are opaque there.
    runtime::Random unused;
    DrawCells(level, CellStyle{Mode::Editor, grid, 0}, screen, unused);
}

void DrawScoreLineNotice(const level::Level& level, std::string_view notice, PlayScreen& screen) {
    // Beside the score, a good space after it, in the score line's own colour and font.
    constexpr int kGap = 24;
    detail::TextBuffer buffer;
    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kTransparentText);
    screen.SetFrontColour({255, 255, 255});
    screen.UseFont(0);
    screen.SetTextPosition(screen.TextWidth(detail::ScoreText(buffer, level.score)) + kGap, 0);
    screen.DrawText(notice);
    screen.EndDrawing();
}

void DrawOverlays(const level::Level& level, const FrameInputs& inputs, PlayScreen& screen) {
    if (inputs.mode == Mode::Editor) {
        DrawValueDisplay(level, inputs.valueDisplayChoice, screen);
    } else {
        DrawScoreLine(level, screen);
    }
}

}  // namespace tessaron::render
