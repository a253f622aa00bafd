#include "icon.h"

#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ball.h"
#include "palette.h"

namespace tessaron::assets {

namespace {

// The icon's canvas is 64 of the ball picture's pixels across, the ball's 58 in its middle.
constexpr float kCanvas = 64.0f;
// Samples per pixel along each axis: the edges are the coverage of 16 samples.
constexpr int kSamples = 4;
constexpr float kPi = 3.14159265f;

struct Colour {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

Colour ToColour(Rgb c) {
    return Colour{float(c.r), float(c.g), float(c.b)};
}

Colour Mix(Colour a, Colour b, float amount) {
    return Colour{a.r + (b.r - a.r) * amount, a.g + (b.g - a.g) * amount,
                  a.b + (b.b - a.b) * amount};
}

// The ramp's colour at shade t, blended between its steps where the picture dithers.
Colour RampAt(palette::Ramp ramp, float t) {
    const float scaled = std::clamp(t, 0.0f, 1.0f) * float(ramp.size() - 1);
    const auto low = static_cast<std::size_t>(std::floor(scaled));
    const std::size_t high = std::min(low + 1, ramp.size() - 1);
    return Mix(ToColour(ramp[low]), ToColour(ramp[high]), scaled - float(low));
}

// The ball under its light at a point, with the rim drawn as a line as wide as `rim`.
Colour BallAt(float dx, float dy, float r, float rim) {
    Colour colour = ToColour(palette::kOutline);
    if (r <= ball::kRadius - rim) {
        const ball::SurfacePoint point = ball::SurfaceAt(dx, dy, r);
        colour = RampAt(point.ramp, point.t);
    }
    if (r <= ball::kLightRadius) {
        const ball::LightPoint light = ball::LightAt(dx, dy);
        const float opacity = float(ball::kLightOpacity) / 255.0f * light.cover;
        colour = Mix(colour, ToColour(light.colour), opacity);
    }
    return colour;
}

std::string Hex(Colour c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", int(std::lround(c.r)), int(std::lround(c.g)),
                  int(std::lround(c.b)));
    return text;
}

std::string Number(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", double(value));
    std::string s = text;
    while (s.back() == '0') {
        s.pop_back();
    }
    if (s.back() == '.') {
        s.pop_back();
    }
    return s == "-0" ? "0" : s;
}

std::string Point(float r, float angle) {
    return Number(r * std::cos(angle)) + "," + Number(r * std::sin(angle));
}

// The angle of seam k at a distance u (0 centre, 1 rim): where a wedge's angle, turned by the
// seam's twist, crosses a sixth of the circle.
float SeamAngle(int k, float u) {
    return -kPi + float(k) * kPi / 3.0f - ball::kSeamTwist * u;
}

std::string Wedge(int k) {
    constexpr int kSteps = 12;
    const float inner = ball::kCapRadius / ball::kRadius;
    std::string path = "M" + Point(ball::kCapRadius, SeamAngle(k, inner));
    for (int i = 1; i <= kSteps; ++i) {
        const float u = inner + (1.0f - inner) * float(i) / kSteps;
        path += " L" + Point(u * ball::kRadius, SeamAngle(k, u));
    }
    path += " A" + Number(ball::kRadius) + "," + Number(ball::kRadius) + " 0 0 1 " +
            Point(ball::kRadius, SeamAngle(k + 1, 1.0f));
    for (int i = kSteps - 1; i >= 0; --i) {
        const float u = inner + (1.0f - inner) * float(i) / kSteps;
        path += " L" + Point(u * ball::kRadius, SeamAngle(k + 1, u));
    }
    path += " A" + Number(ball::kCapRadius) + "," + Number(ball::kCapRadius) + " 0 0 0 " +
            Point(ball::kCapRadius, SeamAngle(k, inner)) + " Z";
    return path;
}

std::string Circle(float cx, float cy, float r) {
    // As a path, so that it can be cut out of another with the even-odd rule.
    return "M" + Number(cx - r) + "," + Number(cy) + " a" + Number(r) + "," + Number(r) +
           " 0 1 0 " + Number(2 * r) + ",0 a" + Number(r) + "," + Number(r) + " 0 1 0 " +
           Number(-2 * r) + ",0 Z";
}

}  // namespace

RgbaImage PaintIcon(int size) {
    RgbaImage image;
    image.width = size;
    image.height = size;
    image.pixels.assign(std::size_t(size) * std::size_t(size) * 4, 0);
    const float unit = float(size) / kCanvas;  // icon pixels per ball pixel
    // The rim: one ball pixel, as in the game, but never thinner than an icon pixel.
    const float rim = std::max(1.0f, 1.2f / unit);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Colour sum;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const float px = float(x) + (float(sx) + 0.5f) / kSamples;
                    const float py = float(y) + (float(sy) + 0.5f) / kSamples;
                    const float dx = px / unit - kCanvas / 2.0f;
                    const float dy = py / unit - kCanvas / 2.0f;
                    const float r = std::sqrt(dx * dx + dy * dy);
                    if (r > ball::kRadius) {
                        continue;
                    }
                    const Colour c = BallAt(dx, dy, r, rim);
                    sum = Colour{sum.r + c.r, sum.g + c.g, sum.b + c.b};
                    ++covered;
                }
            }
            if (covered == 0) {
                continue;
            }
            std::uint8_t* p =
                &image.pixels[(std::size_t(y) * std::size_t(size) + std::size_t(x)) * 4];
            p[0] = static_cast<std::uint8_t>(std::lround(sum.r / float(covered)));
            p[1] = static_cast<std::uint8_t>(std::lround(sum.g / float(covered)));
            p[2] = static_cast<std::uint8_t>(std::lround(sum.b / float(covered)));
            p[3] = static_cast<std::uint8_t>(
                std::lround(255.0f * float(covered) / float(kSamples * kSamples)));
        }
    }
    return image;
}

std::string DrawIconSvg() {
    const float half = kCanvas / 2.0f;
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" viewBox=\"" +
        Number(-half) + " " + Number(-half) + " " + Number(kCanvas) + " " + Number(kCanvas) +
        "\">\n  <defs>\n";
    // Each wedge darkens towards the rim as the picture's shading does.
    for (int k = 0; k < 6; ++k) {
        svg += "    <radialGradient id=\"wedge" + std::to_string(k) +
               "\" gradientUnits=\"userSpaceOnUse\" cx=\"0\" cy=\"0\" r=\"" +
               Number(ball::kRadius) + "\">\n";
        for (int stop = 0; stop <= 5; ++stop) {
            // From just outside the cap, which hides the middle, to the rim.
            const float r = ball::kCapRadius + 0.01f +
                            (ball::kRadius - ball::kCapRadius - 0.01f) * float(stop) / 5.0f;
            const ball::SurfacePoint point = ball::SurfaceAt(r, 0.0f, r);
            svg += "      <stop offset=\"" + Number(r / ball::kRadius) + "\" stop-color=\"" +
                   Hex(RampAt(ball::kWedges[k], point.t)) + "\"/>\n";
        }
        svg += "    </radialGradient>\n";
    }
    // The light covers the ball only; its shadow's bands are cut out of circles larger than it.
    svg += "    <clipPath id=\"light\"><circle r=\"" + Number(ball::kLightRadius) +
           "\"/></clipPath>\n  </defs>\n";
    for (int k = 0; k < 6; ++k) {
        svg += "  <path fill=\"url(#wedge" + std::to_string(k) + ")\" d=\"" + Wedge(k) + "\"/>\n";
    }
    // The cap: its ring, then its middle.
    for (const float r : {ball::kCapRadius, ball::kCapRingRadius}) {
        const ball::SurfacePoint point = ball::SurfaceAt(r - 0.1f, 0.0f, r - 0.1f);
        svg += "  <circle r=\"" + Number(r) + "\" fill=\"" + Hex(RampAt(point.ramp, point.t)) +
               "\"/>\n";
    }
    svg += "  <circle r=\"" + Number(ball::kRadius - 0.5f) + "\" fill=\"none\" stroke=\"" +
           Hex(ToColour(palette::kOutline)) + "\" stroke-width=\"1\"/>\n";
    // The light, drawn whole at the game's opacity: each band covers the one before it.
    svg += "  <g clip-path=\"url(#light)\" opacity=\"" +
           Number(float(ball::kLightOpacity) / 255.0f) + "\">\n";
    for (int i = 2; i >= 0; --i) {
        const ball::LightBand& band = ball::kShadowBands[i];
        svg += "    <path fill-rule=\"evenodd\" fill=\"" + Hex(ToColour(band.colour)) +
               "\" fill-opacity=\"" + Number(band.cover) + "\" d=\"" +
               Circle(0.0f, 0.0f, ball::kLightRadius) + " " +
               Circle(ball::kShadowX, ball::kShadowY, band.radius) + "\"/>\n";
    }
    for (int i = 2; i >= 0; --i) {
        const ball::LightBand& band = ball::kHighlightBands[i];
        svg += "    <ellipse cx=\"" + Number(ball::kHighlightX) + "\" cy=\"" +
               Number(ball::kHighlightY) + "\" rx=\"" +
               Number(band.radius / std::sqrt(ball::kHighlightSquash)) + "\" ry=\"" +
               Number(band.radius) + "\" fill=\"" + Hex(ToColour(band.colour)) +
               "\" fill-opacity=\"" + Number(band.cover) + "\"/>\n";
    }
    svg += "  </g>\n</svg>\n";
    return svg;
}

bool WritePng(const std::filesystem::path& file, const RgbaImage& image) {
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGBA;
    const bool written = png_image_write_to_file(&png, file.string().c_str(), 0,
                                                 image.pixels.data(), 0, nullptr) != 0;
    png_image_free(&png);
    return written;
}

}  // namespace tessaron::assets
