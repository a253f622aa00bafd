// The ball's look as points of its surface, shared by the game's ball picture, its light, and the
// icon that is drawn from them at any size. Coordinates are in the ball picture's pixels,
// measured from the ball's centre; the ball's radius is 29.
#pragma once

#include "image.h"
#include "palette.h"

namespace tessaron::assets::ball {

inline constexpr float kRadius = 29.0f;
// The white cap at the centre, and the darker ring round its edge.
inline constexpr float kCapRadius = 6.0f;
inline constexpr float kCapRingRadius = 4.8f;
// How far the wedges' seams turn from the centre to the rim, in radians.
inline constexpr float kSeamTwist = 0.35f;
// The light covers the ball up to half a pixel inside its rim.
inline constexpr float kLightRadius = kRadius - 0.5f;
// The opacity the game draws the light with.
inline constexpr int kLightOpacity = 150;

// The six wedges, from the one whose seam starts at the left, turning clockwise on the screen.
inline constexpr palette::Ramp kWedges[6] = {palette::kRed,   palette::kOrange, palette::kYellow,
                                             palette::kGrass, palette::kBlue,   palette::kViolet};

// A point of the ball's surface: the ramp it is painted from, the shade on it, and how much
// the picture dithers there.
struct SurfacePoint {
    palette::Ramp ramp;
    float t = 0.0f;
    float dither = 0.0f;
};

// The surface at (dx, dy) from the centre, r = sqrt(dx^2 + dy^2) not beyond kRadius.
SurfacePoint SurfaceAt(float dx, float dy, float r);

// The light over a point: its colour and how much of the point it covers (1, or 0.5 where the
// picture dithers it, or 0 where it leaves the ball as it is).
struct LightPoint {
    Rgb colour;
    float cover = 0.0f;
};

// The light at (dx, dy) from the centre, inside kLightRadius.
LightPoint LightAt(float dx, float dy);

// The highlight: ellipses of the radii below round this point, squashed across by kHighlightSquash.
inline constexpr float kHighlightX = -9.5f;
inline constexpr float kHighlightY = -10.5f;
inline constexpr float kHighlightSquash = 0.8f;
// The shadow: a crescent between the rim and circles of the radii below round this point.
inline constexpr float kShadowX = -5.0f;
inline constexpr float kShadowY = -5.0f;

struct LightBand {
    float radius;  // the band is inside this radius (highlight) or outside it (shadow)
    Rgb colour;
    float cover;
};
inline constexpr LightBand kHighlightBands[3] = {
    {4.0f, {255, 255, 250}, 1.0f}, {6.5f, {226, 238, 255}, 1.0f}, {9.0f, {200, 220, 255}, 0.5f}};
inline constexpr LightBand kShadowBands[3] = {
    {28.5f, {22, 18, 56}, 1.0f}, {26.0f, {40, 34, 90}, 1.0f}, {23.5f, {56, 48, 110}, 0.5f}};

}  // namespace tessaron::assets::ball
