// The player's ball, the light drawn over it, the collision mask that matches it, the editor's
// grid and the empty picture.
#include <cmath>

#include "ball.h"
#include "paint.h"
#include "pictures.h"

namespace tessaron::assets {

namespace {

// The ball is 58 pixels across; the light and the mask are 60 x 60 and are drawn one pixel
// further up and left, so all three share the same centre on the screen.
constexpr int kBallSize = 58;
constexpr float kBallRadius = ball::kRadius;
constexpr int kLightSize = 60;

}  // namespace

namespace ball {

SurfacePoint SurfaceAt(float dx, float dy, float r) {
    const float u = r / kRadius;
    if (r <= kCapRadius) {
        const float t = r > kCapRingRadius ? 0.2f : 0.95f - 0.1f * u;
        return SurfacePoint{palette::kPaper, t, 0.5f};
    }
    // The wedges curve a little, like the seams on a sphere seen from its pole.
    const float angle = std::atan2(dy, dx) + kSeamTwist * u;
    int wedge = static_cast<int>(std::floor((angle + 3.14159265f) / 6.28318531f * 6.0f));
    wedge = ((wedge % 6) + 6) % 6;
    const float t = 0.92f - 0.55f * u * u;
    return SurfacePoint{kWedges[wedge], t, 0.7f};
}

LightPoint LightAt(float dx, float dy) {
    // A soft highlight at the top left and a shadow at the bottom right make the ball round.
    // Black is left out, so the shadow uses a deep blue rather than black.
    const float hx = dx - kHighlightX;
    const float hy = dy - kHighlightY;
    const float h = std::sqrt(hx * hx * kHighlightSquash + hy * hy);
    for (const LightBand& band : kHighlightBands) {
        if (h <= band.radius) {
            return LightPoint{band.colour, band.cover};
        }
    }
    const float sx = dx - kShadowX;
    const float sy = dy - kShadowY;
    const float s = std::sqrt(sx * sx + sy * sy);
    for (const LightBand& band : kShadowBands) {
        if (s > band.radius) {
            return LightPoint{band.colour, band.cover};
        }
    }
    return LightPoint{};
}

}  // namespace ball

Image PaintBall() {
    // Six coloured wedges round a white cap: as the ball turns, the wedges turn with it. The
    // shading is the same all round, because the picture turns; the light over it does not.
    Image image(kBallSize, kBallSize);
    const float centre = kBallRadius;
    for (int y = 0; y < kBallSize; ++y) {
        for (int x = 0; x < kBallSize; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > kBallRadius) {
                continue;
            }
            const ball::SurfacePoint point = ball::SurfaceAt(dx, dy, r);
            image.Set(x, y, Shade(point.ramp, point.t, x, y, point.dither));
        }
    }
    InnerOutline(image, palette::kOutline);
    return image;
}

Image PaintBallLight() {
    // Drawn unturned at opacity 150 over the ball; half-covering bands are dithered.
    Image image(kLightSize, kLightSize);
    const float centre = 30.0f;
    for (int y = 0; y < kLightSize; ++y) {
        for (int x = 0; x < kLightSize; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > ball::kLightRadius) {
                continue;
            }
            const bool checker = (x + y) % 2 == 0;
            const ball::LightPoint light = ball::LightAt(dx, dy);
            if (light.cover >= 1.0f || (light.cover > 0.0f && checker)) {
                image.Set(x, y, light.colour);
            }
        }
    }
    return image;
}

Image PaintPlayerMask() {
    // The same disc as the drawn ball, shifted by one pixel into the 60 x 60 picture.
    Image image(kLightSize, kLightSize);
    for (int y = 0; y < kLightSize; ++y) {
        for (int x = 0; x < kLightSize; ++x) {
            if (InDisc(x, y, 30.0f, 30.0f, kBallRadius)) {
                image.Set(x, y, palette::kWhite);
            }
        }
    }
    return image;
}

Image PaintGrid() {
    // One line along the top and the left of each cell: side by side the cells make a grid of
    // single lines. Light and dark pixels alternate, and the corners are white, so the grid reads
    // on light and dark ground alike.
    Image image(40, 40);
    const Rgb line{150, 162, 188};
    for (int i = 0; i < 40; ++i) {
        const Rgb colour = (i % 2 == 0) ? line : Rgb{64, 72, 96};
        image.Set(i, 0, colour);
        image.Set(0, i, colour);
    }
    for (int i = 0; i < 3; ++i) {
        image.Set(i, 0, palette::kWhite);
        image.Set(0, i, palette::kWhite);
    }
    return image;
}

Image PaintEmpty() {
    return Image(40, 40);
}

}  // namespace tessaron::assets
