// The player's ball, the light drawn over it, the collision mask that matches it, the editor's
// grid and the empty picture.
#include <cmath>

#include "paint.h"
#include "pictures.h"

namespace tessaron::assets {

namespace {

// The ball is 58 pixels across; the light and the mask are 60 x 60 and are drawn one pixel
// further up and left, so all three share the same centre on the screen.
constexpr int kBallSize = 58;
constexpr float kBallRadius = 29.0f;
constexpr int kLightSize = 60;

}  // namespace

Image PaintBall() {
    // Six coloured wedges round a white cap: as the ball turns, the wedges turn with it. The
    // shading is the same all round, because the picture turns; the light over it does not.
    const palette::Ramp wedges[6] = {palette::kRed,  palette::kOrange, palette::kYellow,
                                     palette::kGrass, palette::kBlue,   palette::kViolet};
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
            const float u = r / kBallRadius;
            if (r <= 6.0f) {
                const float t = r > 4.8f ? 0.2f : 0.95f - 0.1f * u;
                image.Set(x, y, Shade(palette::kPaper, t, x, y, 0.5f));
                continue;
            }
            // The wedges curve a little, like the seams on a sphere seen from its pole.
            const float angle = std::atan2(dy, dx) + 0.35f * u;
            int wedge = static_cast<int>(std::floor((angle + 3.14159265f) / 6.28318531f * 6.0f));
            wedge = ((wedge % 6) + 6) % 6;
            const palette::Ramp ramp = wedges[wedge];
            const float t = 0.92f - 0.55f * u * u;
            image.Set(x, y, Shade(ramp, t, x, y, 0.7f));
        }
    }
    InnerOutline(image, palette::kOutline);
    return image;
}

Image PaintBallLight() {
    // Drawn unturned at opacity 150 over the ball: a soft highlight at the top left and a
    // shadow at the bottom right make the ball round. Black is left out, so the shadow uses
    // a deep blue rather than black, and soft edges are dithered.
    Image image(kLightSize, kLightSize);
    const float centre = 30.0f;
    for (int y = 0; y < kLightSize; ++y) {
        for (int x = 0; x < kLightSize; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > kBallRadius - 0.5f) {
                continue;
            }
            const bool checker = (x + y) % 2 == 0;
            // Highlight.
            const float hx = static_cast<float>(x) + 0.5f - 20.5f;
            const float hy = static_cast<float>(y) + 0.5f - 19.5f;
            const float h = std::sqrt(hx * hx * 0.8f + hy * hy);
            if (h <= 4.0f) {
                image.Set(x, y, Rgb{255, 255, 250});
                continue;
            }
            if (h <= 6.5f) {
                image.Set(x, y, Rgb{226, 238, 255});
                continue;
            }
            if (h <= 9.0f && checker) {
                image.Set(x, y, Rgb{200, 220, 255});
                continue;
            }
            // Shadow: a crescent between the ball's rim and a circle shifted to the top left.
            const float sx = static_cast<float>(x) + 0.5f - 25.0f;
            const float sy = static_cast<float>(y) + 0.5f - 25.0f;
            const float s = std::sqrt(sx * sx + sy * sy);
            if (s > 28.5f) {
                image.Set(x, y, Rgb{22, 18, 56});
            } else if (s > 26.0f) {
                image.Set(x, y, Rgb{40, 34, 90});
            } else if (s > 23.5f && checker) {
                image.Set(x, y, Rgb{56, 48, 110});
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

Image PaintEmpty() { return Image(40, 40); }

}  // namespace tessaron::assets
