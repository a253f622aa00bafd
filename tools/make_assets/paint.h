// Painting helpers shared by all pictures: deterministic noise, ordered dithering over a colour
// ramp, shapes and outlines. Everything is a pure function of its arguments, so the generator
// paints the same pixels on every run and every machine.
#pragma once

#include <cstdint>
#include <span>

#include "image.h"
#include "palette.h"

namespace tessaron::assets {

// A well-mixed 32-bit hash of two coordinates and a seed.
std::uint32_t Hash(int x, int y, std::uint32_t seed);
// The same as a number in [0, 1).
float Random01(int x, int y, std::uint32_t seed);

// Smooth value noise in [0, 1] on a lattice of `cell` pixels that repeats every `period`
// pixels in both directions (period a multiple of cell), so textures built on it tile.
float TiledNoise(float x, float y, int cell, int period, std::uint32_t seed);
// Two octaves of TiledNoise, the second at half the cell size and half the weight.
float TiledFractal(float x, float y, int cell, int period, std::uint32_t seed);

// The 4 x 4 Bayer threshold of a pixel, in [0, 1).
float Bayer(int x, int y);

// Picks a ramp colour for a shade t in [0, 1] (0 darkest). `dither` from 0 (plain rounding,
// clean bands) to 1 (full ordered dithering between neighbouring colours).
Rgb Shade(palette::Ramp ramp, float t, int x, int y, float dither = 0.6f);
// The ramp colour at a whole index, clamped to the ramp.
Rgb Step(palette::Ramp ramp, int index);

// Whether a pixel's centre lies inside a circle or an ellipse.
bool InDisc(int x, int y, float cx, float cy, float radius);
bool InEllipse(int x, int y, float cx, float cy, float rx, float ry);

// Light falling from the top left onto a surface whose outward normal is (nx, ny): 1 facing the
// light, 0 facing away. The normal need not be unit length.
float LightFacing(float nx, float ny);

// Turns every visible pixel that has a transparent 4-neighbour (or lies on the picture's edge
// when `edges` is true) into the outline colour.
void InnerOutline(Image& image, Rgb colour = palette::kOutline, bool edges = false);
// Draws the outline colour on every transparent pixel that touches a visible one.
void OuterOutline(Image& image, Rgb colour = palette::kOutline);

// Draws a one-pixel line from (x0, y0) to (x1, y1).
void Line(Image& image, int x0, int y0, int x1, int y1, Rgb colour);

// A 5 x 9 bold digit (0-9) drawn with its top-left corner at (x, y); `ink` for its strokes and
// `edge` (when given) for a one-pixel highlight below and to the right, as if struck into metal.
void Digit(Image& image, int digit, int x, int y, Rgb ink, const Rgb* edge = nullptr);
inline constexpr int kDigitWidth = 5;
inline constexpr int kDigitHeight = 9;

}  // namespace tessaron::assets
