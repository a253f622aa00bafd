// Pickups: coins, the floppy disk and the goal. In play they spin about their vertical axis
// and are drawn squeezed to any width from 0 to 40, so their detail sits in the middle and
// their shapes are bold.
#include <algorithm>
#include <cmath>
#include <string>

#include "paint.h"
#include "pictures.h"

namespace tessaron::assets {

namespace {

constexpr int kCell = 40;

}  // namespace

Image PaintCoin(int value) {
    // Copper for the small values, silver for the middle ones, gold for the large ones, and
    // the coins grow with their value, so they tell apart even before the digits can be read.
    palette::Ramp ramp = palette::kStone;
    float radius = 14.5f;
    if (value == 1 || value == 2) {
        ramp = palette::kCopper;
        radius = 14.5f;
    } else if (value == 5 || value == 10) {
        ramp = palette::kSilver;
        radius = 15.5f;
    } else if (value >= 20) {
        ramp = palette::kGold;
        radius = 16.5f;
    }
    const float centre = 20.0f;
    Image image(kCell, kCell);
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - centre;
            const float dy = static_cast<float>(y) + 0.5f - centre;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > radius) {
                continue;
            }
            float t;
            if (r > radius - 2.5f) {
                t = 0.15f + 0.8f * LightFacing(dx, dy);  // raised rim
            } else if (r > radius - 3.5f) {
                t = 0.2f + 0.5f * (1.0f - LightFacing(dx, dy));  // its inner wall, lit from across
            } else {
                t = 0.6f + 0.22f * (-dx - dy) / (radius * 1.41f);  // the face
                // A glint on the face's upper left, clear of the value in the middle.
                if (std::fabs(dx - dy + 6.0f) < 1.2f && dx + dy < -9.0f) {
                    t += 0.2f;
                }
            }
            image.Set(x, y, Shade(ramp, t, x, y, 0.3f));
        }
    }
    InnerOutline(image, Step(ramp, 0));
    const std::string digits = std::to_string(value);
    const int count = static_cast<int>(digits.size());
    const int width = count * kDigitWidth + (count - 1);
    const int left = 20 - (width + 1) / 2;
    const Rgb ink = Step(ramp, 1);
    const Rgb edge = Step(ramp, static_cast<int>(ramp.size()) - 1);
    for (int i = 0; i < count; ++i) {
        Digit(image, digits[static_cast<std::size_t>(i)] - '0', left + i * (kDigitWidth + 1), 16,
              ink, &edge);
    }
    return image;
}

Image PaintDisk() {
    Image image(kCell, kCell);
    constexpr int kLeft = 7, kTop = 6, kRight = 32, kBottom = 33;  // inclusive
    for (int y = kTop; y <= kBottom; ++y) {
        for (int x = kLeft; x <= kRight; ++x) {
            // The clipped corner at the top right.
            if (x - kRight + (kTop - y) > -4) {
                continue;
            }
            int index = 3;
            if (y == kTop + 1 || x == kLeft + 1) {
                index = 4;
            } else if (y == kBottom - 1 || x == kRight - 1 || x - kRight + (kTop - y) == -4) {
                index = 2;
            }
            image.Set(x, y, Step(palette::kBlue, index));
        }
    }
    InnerOutline(image, palette::kOutline);
    // Metal shutter with its window.
    for (int y = kTop + 1; y <= kTop + 10; ++y) {
        for (int x = 12; x <= 25; ++x) {
            int index = 4;
            if (x == 12 || y == kTop + 1) {
                index = 6;
            } else if (x == 25 || y == kTop + 10) {
                index = 2;
            }
            image.Set(x, y, Step(palette::kSilver, index));
        }
    }
    for (int y = kTop + 3; y <= kTop + 8; ++y) {
        for (int x = 20; x <= 23; ++x) {
            image.Set(x, y, x == 20 || y == kTop + 3 ? palette::kOutline : palette::kBlue[1]);
        }
    }
    // Paper label with ruled lines.
    for (int y = 20; y <= kBottom - 1; ++y) {
        for (int x = 10; x <= 29; ++x) {
            int index = 3;
            if (x == 29 || y == kBottom - 1) {
                index = 1;
            } else if (x == 10 || y == 20) {
                index = 2;
            }
            image.Set(x, y, Step(palette::kPaper, index));
        }
    }
    for (int y : {23, 26, 29}) {
        for (int x = 12; x <= 27; ++x) {
            image.Set(x, y, palette::kBlue[4]);
        }
    }
    image.Set(12, 23, palette::kRed[3]);
    image.Set(13, 23, palette::kRed[3]);
    // Write-protect notch.
    image.Set(8, kBottom - 3, palette::kOutline);
    image.Set(9, kBottom - 3, palette::kOutline);
    image.Set(8, kBottom - 2, palette::kOutline);
    image.Set(9, kBottom - 2, palette::kOutline);
    return image;
}

Image PaintGoal() {
    // A golden cup with a star on a dark plinth.
    Image image(kCell, kCell);
    auto bowlHalf = [](int y) {
        const float v = (static_cast<float>(y) - 5.0f) / 15.0f;  // 0 at the rim, 1 at the foot
        return 11.0f - 8.0f * v * v;
    };
    for (int y = 5; y <= 20; ++y) {
        const float half = bowlHalf(y);
        for (int x = 0; x < kCell; ++x) {
            const float dx = (static_cast<float>(x) + 0.5f - 20.0f) / half;
            if (std::fabs(dx) > 1.0f) {
                continue;
            }
            float t = 0.55f - 0.42f * dx + 0.12f * (1.0f - static_cast<float>(y - 5) / 15.0f);
            if (y <= 6) {
                t = y == 5 ? 0.95f : 0.35f;  // the rim's lip
            }
            if (dx > -0.86f && dx < -0.7f && y > 7 && y < 17) {
                t = 1.0f;  // the glint
            }
            image.Set(x, y, Shade(palette::kGold, t, x, y, 0.4f));
        }
    }
    // Handles: half rings at both sides.
    for (int y = 6; y <= 17; ++y) {
        for (int x = 2; x < kCell - 2; ++x) {
            if (!image.IsClear(x, y)) {
                continue;
            }
            const float dx = std::fabs(static_cast<float>(x) + 0.5f - 20.0f) - 9.5f;
            const float dy = static_cast<float>(y) + 0.5f - 11.5f;
            const float r = std::sqrt(dx * dx + dy * dy);
            // Open at the lower inner end, like a curled handle, so no closed loop of gold
            // holds a transparent hole.
            if (dx > 0.0f && r >= 3.2f && r <= 5.4f && !(dy > 1.5f && dx < 2.8f)) {
                const bool left = x < 20;
                image.Set(x, y,
                          Shade(palette::kGold,
                                left ? 0.3f + 0.6f * LightFacing(-dx, dy)
                                     : 0.15f + 0.6f * LightFacing(dx, dy),
                                x, y, 0.0f));
            }
        }
    }
    // Stem, knot and foot.
    for (int y = 21; y <= 29; ++y) {
        const int half = y == 23 || y == 24 ? 4 : (y >= 27 ? 7 : 2);
        for (int x = 20 - half; x < 20 + half; ++x) {
            const float u = (static_cast<float>(x) + 0.5f - 20.0f) / static_cast<float>(half);
            image.Set(x, y, Shade(palette::kGold, 0.6f - 0.45f * u, x, y, 0.3f));
        }
    }
    for (int y = 30; y <= 35; ++y) {
        for (int x = 9; x <= 30; ++x) {
            int index = 2;
            if (y == 30 || x == 9) {
                index = 4;
            } else if (y == 35 || x == 30) {
                index = 0;
            }
            image.Set(x, y, Step(palette::kOak, index));
        }
    }
    for (int x = 15; x <= 24; ++x) {
        image.Set(x, 32, palette::kGold[4]);
        image.Set(x, 33, palette::kGold[2]);
    }
    // A five-pointed star on the bowl, outlined, its lower right edges in deeper shadow.
    const float cx = 20.0f, cy = 12.5f;
    // Ten corners, alternately on an outer and an inner circle, the first point up.
    float starX[10], starY[10];
    for (int i = 0; i < 10; ++i) {
        const float radius = i % 2 == 0 ? 6.0f : 2.6f;
        const float angle = -1.5707963f + 0.62831853f * static_cast<float>(i);
        starX[i] = cx + radius * std::cos(angle);
        starY[i] = cy + radius * std::sin(angle);
    }
    auto inStar = [&](int x, int y) {
        // Even-odd rule on the pixel's centre.
        const float px = static_cast<float>(x) + 0.5f;
        const float py = static_cast<float>(y) + 0.5f;
        bool inside = false;
        for (int i = 0, j = 9; i < 10; j = i++) {
            if ((starY[i] > py) != (starY[j] > py) &&
                px < (starX[j] - starX[i]) * (py - starY[i]) / (starY[j] - starY[i]) + starX[i]) {
                inside = !inside;
            }
        }
        return inside;
    };
    for (int y = 6; y <= 19; ++y) {
        for (int x = 13; x <= 27; ++x) {
            if (inStar(x, y)) {
                image.Set(x, y, x + y < 32 ? palette::kGold[6] : palette::kGold[5]);
            } else if (inStar(x - 1, y) || inStar(x + 1, y) || inStar(x, y - 1) ||
                       inStar(x, y + 1)) {
                image.Set(
                    x, y,
                    (inStar(x - 1, y) || inStar(x, y - 1)) ? palette::kGold[1] : palette::kGold[2]);
            }
        }
    }
    OuterOutline(image, palette::kOutline);
    return image;
}

}  // namespace tessaron::assets
