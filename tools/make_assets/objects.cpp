// Things standing in the level: the switch, the sensor, the door, the wooden block, the spikes
// and the torch.
#include <algorithm>
#include <cmath>

#include "paint.h"
#include "pictures.h"

namespace tessaron::assets {

namespace {

constexpr int kCell = 40;

// A bevelled box: lit top and left edges, shaded bottom and right edges, outlined.
void Box(Image& image, int x, int y, int width, int height, palette::Ramp ramp, int face) {
    for (int row = y; row < y + height; ++row) {
        for (int column = x; column < x + width; ++column) {
            int index = face;
            if (row == y + 1 || column == x + 1) {
                index = face + 1;
            }
            if (row == y + height - 2 || column == x + width - 2) {
                index = face - 1;
            }
            if (row == y || row == y + height - 1 || column == x || column == x + width - 1) {
                image.Set(column, row, palette::kOutline);
            } else {
                image.Set(column, row, Step(ramp, index));
            }
        }
    }
}

void Rivet(Image& image, int x, int y) {
    image.Set(x, y, palette::kIron[5]);
    image.Set(x + 1, y, palette::kIron[3]);
    image.Set(x, y + 1, palette::kIron[3]);
    image.Set(x + 1, y + 1, palette::kIron[1]);
}

}  // namespace

Image PaintSwitch() {
    Image image(kCell, kCell);
    // Housing: a steel box with a yellow and dark warning band.
    Box(image, 3, 17, 34, 23, palette::kIron, 3);
    for (int y = 21; y <= 26; ++y) {
        for (int x = 5; x <= 34; ++x) {
            const bool stripe = ((x + y) / 4) % 2 == 0;
            Rgb colour = stripe ? palette::kYellow[2] : palette::kIron[1];
            if (y == 21) {
                colour = stripe ? palette::kYellow[3] : palette::kIron[2];
            } else if (y == 26) {
                colour = stripe ? palette::kYellow[1] : palette::kIron[0];
            }
            image.Set(x, y, colour);
        }
    }
    for (int x = 5; x <= 34; ++x) {
        image.Set(x, 20, palette::kOutline);
        image.Set(x, 27, palette::kOutline);
    }
    Rivet(image, 6, 30);
    Rivet(image, 32, 30);
    Rivet(image, 6, 35);
    Rivet(image, 32, 35);
    // Grille between the rivets.
    for (int y = 30; y <= 36; y += 2) {
        for (int x = 11; x <= 28; ++x) {
            image.Set(x, y, palette::kIron[1]);
            image.Set(x, y + 1, palette::kIron[4]);
        }
    }
    // Collar and the red push button, a dome lit from the top left.
    for (int x = 7; x <= 32; ++x) {
        image.Set(x, 15, palette::kOutline);
        image.Set(x, 16,
                  x < 12 ? palette::kIron[4] : (x > 27 ? palette::kIron[1] : palette::kIron[2]));
    }
    image.Set(7, 16, palette::kOutline);
    image.Set(32, 16, palette::kOutline);
    for (int y = 4; y <= 14; ++y) {
        for (int x = 8; x <= 31; ++x) {
            if (!InEllipse(x, y, 20.0f, 15.0f, 11.5f, 10.5f)) {
                continue;
            }
            const float nx = (static_cast<float>(x) + 0.5f - 20.0f) / 11.5f;
            const float ny = (static_cast<float>(y) + 0.5f - 15.0f) / 10.5f;
            float t = 0.1f + 0.85f * LightFacing(nx, ny * 1.4f);
            if (InEllipse(x, y, 15.0f, 8.5f, 3.0f, 1.6f)) {
                t = 1.0f;
            }
            image.Set(x, y, Shade(palette::kRed, t, x, y, 0.5f));
        }
    }
    for (int y = 3; y <= 14; ++y) {
        for (int x = 7; x <= 32; ++x) {
            const bool inside = InEllipse(x, y, 20.0f, 15.0f, 11.5f, 10.5f);
            if (!inside && (InEllipse(x + 1, y, 20.0f, 15.0f, 11.5f, 10.5f) ||
                            InEllipse(x - 1, y, 20.0f, 15.0f, 11.5f, 10.5f) ||
                            InEllipse(x, y + 1, 20.0f, 15.0f, 11.5f, 10.5f))) {
                image.Set(x, y, palette::kOutline);
            }
        }
    }
    return image;
}

Image PaintSensor() {
    // Drawn translucent and flickering in play: bright, saturated rings read best.
    Image image(kCell, kCell);
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - 20.0f;
            const float dy = static_cast<float>(y) + 0.5f - 20.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r > 18.0f) {
                continue;
            }
            Rgb colour = kClear;
            if (r > 15.5f) {
                colour = Step(palette::kCyan, r > 17.0f ? 2 : 4);
            } else if (r > 14.5f) {
                colour = palette::kCyan[1];
            } else if (r <= 3.0f) {
                colour = r <= 1.6f ? palette::kCyan[5] : palette::kCyan[4];
            } else if (r <= 5.0f) {
                colour = palette::kCyan[3];
            } else if (r > 9.0f && r <= 10.5f) {
                colour = (x + y) % 2 == 0 ? palette::kCyan[3] : palette::kCyan[2];
            } else if ((x + y) % 2 == 0) {
                colour = palette::kCyan[1];
            }
            // Four beams from the core to the ring.
            if ((std::fabs(dx) < 1.0f || std::fabs(dy) < 1.0f) && r > 5.0f && r <= 14.5f) {
                colour = r < 9.0f ? palette::kCyan[4] : palette::kCyan[3];
            }
            if (colour != kClear) {
                image.Set(x, y, colour);
            }
        }
    }
    return image;
}

Image PaintDoor() {
    Image image(kCell, kCell);
    // Four oak planks with vertical grain, each lit along its left edge.
    constexpr int kSeams[] = {10, 20, 30};
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            int plankStart = 0;
            for (int seam : kSeams) {
                if (x >= seam) {
                    plankStart = seam;
                }
            }
            const int inPlank = x - plankStart;
            float t = 0.55f + 0.3f * (TiledNoise(static_cast<float>(x) * 3.0f,
                                                 static_cast<float>(y) * 0.3f, 4, 40, 151u) -
                                      0.5f);
            if (inPlank == 1) {
                t += 0.22f;
            } else if (inPlank == 9) {
                t -= 0.22f;
            }
            Rgb colour = Shade(palette::kOak, t, x, y, 0.4f);
            if (inPlank == 0 && x > 0) {
                colour = palette::kOak[0];
            }
            image.Set(x, y, colour);
        }
    }
    // Two iron bands with rivets.
    for (int band : {5, 29}) {
        for (int x = 1; x < kCell - 1; ++x) {
            image.Set(x, band, palette::kOutline);
            image.Set(x, band + 1, palette::kIron[4]);
            image.Set(x, band + 2, palette::kIron[3]);
            image.Set(x, band + 3, palette::kIron[2]);
            image.Set(x, band + 4, palette::kIron[1]);
            image.Set(x, band + 5, palette::kOak[0]);
        }
        for (int x : {4, 14, 24, 34}) {
            Rivet(image, x, band + 2);
        }
    }
    // Lock plate with a keyhole, and a round knob beside it.
    for (int y = 15; y <= 24; ++y) {
        for (int x = 29; x <= 35; ++x) {
            int index = 3;
            if (x == 29 || y == 15) {
                index = 4;
            } else if (x == 35 || y == 24) {
                index = 1;
            }
            image.Set(x, y, Step(palette::kIron, index));
        }
    }
    for (int y = 17; y <= 22; ++y) {
        image.Set(32, y, palette::kOutline);
        if (y <= 18) {
            image.Set(31, y, palette::kOutline);
            image.Set(33, y, palette::kOutline);
        }
    }
    for (int y = 18; y <= 22; ++y) {
        for (int x = 23; x <= 27; ++x) {
            const float dx = static_cast<float>(x) + 0.5f - 25.5f;
            const float dy = static_cast<float>(y) + 0.5f - 20.5f;
            const float r = std::sqrt(dx * dx + dy * dy);
            if (r <= 2.6f) {
                image.Set(x, y,
                          r > 1.9f ? palette::kOutline
                                   : Shade(palette::kIron, 0.3f + 0.7f * LightFacing(dx, dy), x, y,
                                           0.0f));
            }
        }
    }
    // A dark frame so the door reads as one movable object against walls.
    for (int i = 0; i < kCell; ++i) {
        image.Set(i, 0, palette::kOutline);
        image.Set(i, kCell - 1, palette::kOutline);
        image.Set(0, i, palette::kOutline);
        image.Set(kCell - 1, i, palette::kOutline);
    }
    return image;
}

Image PaintWoodBlock() {
    Image image(kCell, kCell);
    // Inner planks, horizontal, darker than the frame.
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const int plankRow = (y - 5) % 10;
            float t = 0.42f + 0.3f * (TiledNoise(static_cast<float>(x) * 0.3f,
                                                 static_cast<float>(y) * 3.0f, 4, 40, 161u) -
                                      0.5f);
            if (plankRow == 0) {
                t -= 0.3f;
            } else if (plankRow == 1) {
                t += 0.15f;
            }
            image.Set(x, y, Shade(palette::kWood, t, x, y, 0.4f));
        }
    }
    // The diagonal brace from the lower left to the upper right.
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const int d = x + y - 39;
            if (d >= -3 && d <= 3) {
                float t =
                    0.66f + 0.2f * (TiledNoise(static_cast<float>(x - y) * 0.4f,
                                               static_cast<float>(x + y) * 2.0f, 4, 40, 162u) -
                                    0.5f);
                if (d == -3) {
                    t = 0.9f;
                } else if (d == 3) {
                    t = 0.3f;
                }
                image.Set(x, y, Shade(palette::kWood, t, x, y, 0.4f));
            }
            if (d == 4) {
                image.Set(x, y, palette::kWood[0]);
            }
        }
    }
    // The frame: four boards, the top and left ones lit.
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const int edge = std::min(std::min(x, y), std::min(kCell - 1 - x, kCell - 1 - y));
            if (edge > 4) {
                continue;
            }
            float t =
                0.6f + 0.2f * (TiledNoise(static_cast<float>(x) * (y < 5 || y > 34 ? 0.3f : 3.0f),
                                          static_cast<float>(y) * (y < 5 || y > 34 ? 3.0f : 0.3f),
                                          4, 40, 163u) -
                               0.5f);
            if (edge == 1) {
                t += (y <= x && y < kCell - 1 - x) || (x < y && x < kCell - 1 - y) ? 0.3f : -0.1f;
            } else if (edge == 4) {
                t -= 0.32f;
            }
            Rgb colour = Shade(palette::kWood, t, x, y, 0.4f);
            if (edge == 0) {
                colour = palette::kOutline;
            }
            image.Set(x, y, colour);
        }
    }
    // Mitred corners of the frame boards.
    for (int i = 1; i < 5; ++i) {
        image.Set(i, i, palette::kWood[1]);
        image.Set(kCell - 1 - i, i, palette::kWood[1]);
        image.Set(i, kCell - 1 - i, palette::kWood[1]);
        image.Set(kCell - 1 - i, kCell - 1 - i, palette::kWood[1]);
    }
    for (int x : {2, 36}) {
        for (int y : {2, 36}) {
            Rivet(image, x, y);
        }
    }
    return image;
}

Image PaintSpikes() {
    Image image(kCell, kCell);
    constexpr int kTop = 4;
    constexpr int kBase = 31;
    for (int spike = 0; spike < 4; ++spike) {
        const float centre = 5.0f + 10.0f * static_cast<float>(spike);
        for (int y = kTop; y < kBase; ++y) {
            const float half = 5.6f * (static_cast<float>(y) + 0.5f - static_cast<float>(kTop)) /
                               static_cast<float>(kBase - kTop);
            for (int x = 0; x < kCell; ++x) {
                const float dx = static_cast<float>(x) + 0.5f - centre;
                if (std::fabs(dx) > half + 0.25f) {
                    continue;
                }
                const float along = (static_cast<float>(y) - static_cast<float>(kTop)) /
                                    static_cast<float>(kBase - kTop);
                Rgb colour;
                if (dx > half - 0.9f && dx > 0.0f) {
                    colour = palette::kOutline;  // the shaded flank's edge
                } else if (dx < 0.0f) {
                    colour = Shade(palette::kSilver, 0.9f - 0.45f * along, x, y, 0.6f);
                } else {
                    colour = Shade(palette::kSilver, 0.42f - 0.3f * along, x, y, 0.6f);
                }
                // Blood-red tips say: do not touch.
                if (along < 0.32f && colour != palette::kOutline) {
                    colour =
                        dx < 0.0f ? Step(palette::kRed, along < 0.12f ? 5 : 4) : palette::kRed[2];
                }
                image.Set(x, y, colour);
            }
        }
        image.Set(static_cast<int>(centre) - 1, kTop + 1, palette::kWhite);
    }
    // Base plate.
    Box(image, 0, kBase, kCell, kCell - kBase, palette::kIron, 2);
    for (int x : {4, 14, 24, 34}) {
        Rivet(image, x, kBase + 4);
    }
    return image;
}

Image PaintTorch(int frame) {
    Image image(kCell, kCell);
    // Handle: a wooden shaft, lit on its left.
    for (int y = 21; y < kCell; ++y) {
        for (int x = 18; x <= 21; ++x) {
            Rgb colour =
                Step(palette::kWood, x == 18 ? 4 : (x == 21 ? 1 : 2 + (y % 5 == 0 ? 0 : 1)));
            if (x == 17 || x == 22) {
                colour = palette::kOutline;
            }
            image.Set(x, y, colour);
        }
        image.Set(17, y, palette::kOutline);
        image.Set(22, y, palette::kOutline);
    }
    for (int x = 17; x <= 22; ++x) {
        image.Set(x, kCell - 1, palette::kOutline);
    }
    // Iron cup holding the fire, wider at the top.
    for (int y = 17; y <= 23; ++y) {
        const int half = 7 - (y - 17) / 2;
        for (int x = 20 - half; x < 20 + half; ++x) {
            Rgb colour = Step(palette::kIron, x < 20 - half + 2 ? 4 : (x >= 20 + half - 2 ? 1 : 2));
            if (y == 17) {
                colour = palette::kIron[5];
            }
            if (x == 20 - half || x == 20 + half - 1 || y == 23) {
                colour = palette::kOutline;
            }
            image.Set(x, y, colour);
        }
    }
    // The flame: a teardrop that leans and stretches differently in the two frames.
    const float lean = frame == 1 ? -2.5f : 2.0f;
    const float top = frame == 1 ? 1.0f : 4.0f;
    const float bottom = 17.0f;
    for (int y = 0; y <= 17; ++y) {
        const float v = (static_cast<float>(y) + 0.5f - top) / (bottom - top);  // 0 at the tip
        if (v < 0.0f) {
            continue;
        }
        const float width = 6.8f * std::pow(std::sin(1.5707963f * std::min(v * 1.25f, 1.0f)), 0.8f);
        const float centre = 20.0f + lean * (1.0f - v) * (1.0f - v);
        for (int x = 10; x < 30; ++x) {
            const float d =
                std::fabs(static_cast<float>(x) + 0.5f - centre) / std::max(width, 0.01f);
            if (d > 1.0f) {
                continue;
            }
            float heat = (1.0f - d) * 0.9f + v * 0.55f;
            if (frame == 2) {
                heat += 0.08f;
            }
            image.Set(x, y, Shade(palette::kFire, heat, x, y, 0.5f));
        }
    }
    // Embers rising from the fire.
    if (frame == 1) {
        image.Set(24, 3, palette::kFire[3]);
        image.Set(15, 6, palette::kFire[2]);
        image.Set(25, 0, palette::kFire[1]);
    } else {
        image.Set(15, 2, palette::kFire[3]);
        image.Set(26, 7, palette::kFire[2]);
        image.Set(14, 0, palette::kFire[1]);
    }
    return image;
}

}  // namespace tessaron::assets
