// tessaron-asset-sheet GAME_DIR OUTPUT.png
// Draws one 1024 x 768 frame on the play screen that shows every picture of GAME_DIR/BMP the
// way the game draws it: keyed sprites 1:1 on air and on water, the blended sprites (spinning
// pickups, the flickering sensor, the turning ball under its light), and a few cells of a small
// level as they look in play and in the editor. Used to judge the pictures side by side.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/screen.h"

namespace {

using tessaron::runtime::PlayScreen;
using tessaron::runtime::Rgb;
using tessaron::runtime::RotationCentre;

struct SpriteFile {
    int number;
    const char* path;
};

// The game's sprite numbers and files.
const SpriteFile kSprites[] = {
    {0, "BMP\\Bereich.bmp"},      {4, "BMP\\Raster.bmp"},          {10, "BMP\\Farben.bmp"},
    {11, "BMP\\Licht.bmp"},       {100, "BMP\\H_Luft.bmp"},        {200, "BMP\\H_Wasser.bmp"},
    {1000, "BMP\\Leer.bmp"},      {1001, "BMP\\Ziegelsteine.bmp"}, {1002, "BMP\\Beton.bmp"},
    {1003, "BMP\\Erde.bmp"},      {1004, "BMP\\Rasen.bmp"},        {1010, "BMP\\Gestrüp25.bmp"},
    {1015, "BMP\\Gestrüp50.bmp"}, {1020, "BMP\\Gestrüp75.bmp"},    {1025, "BMP\\Gestrüp100.bmp"},
    {2001, "BMP\\Schalter.bmp"},  {2002, "BMP\\Sensor.bmp"},       {2010, "BMP\\Tür.bmp"},
    {2020, "BMP\\Flugstein.bmp"}, {2031, "BMP\\Stacheln.bmp"},     {3011, "BMP\\Fackel1.bmp"},
    {3012, "BMP\\Fackel2.bmp"},   {4099, "BMP\\DISK.bmp"},         {4090, "BMP\\Ziel.bmp"},
    {4000, "BMP\\0.bmp"},         {4001, "BMP\\1-.bmp"},           {4002, "BMP\\2-.bmp"},
    {4005, "BMP\\5-.bmp"},        {4010, "BMP\\10-.bmp"},          {4020, "BMP\\20-.bmp"},
    {4050, "BMP\\50-.bmp"},
};

constexpr int kAir = 100;
constexpr int kWater = 200;
constexpr int kGrid = 4;
constexpr int kBall = 10;
constexpr int kLight = 11;
constexpr int kSensor = 2002;
constexpr int kPickups[] = {4001, 4002, 4005, 4010, 4020, 4050, 4090, 4099};

const Rgb kLabel{230, 230, 220};
const Rgb kDim{150, 156, 170};

void Label(PlayScreen& screen, int x, int y, const std::string& text, Rgb colour = kLabel) {
    screen.SetFrontColour(colour);
    screen.SetTextPosition(x, y);
    screen.DrawText(text);
}

// A backdrop cell as the game draws it: water 3 pixels further left, swaying in play.
void Backdrop(PlayScreen& screen, int background, int x, int y, int sway = 0) {
    if (background == kWater) {
        screen.DrawSprite(kWater, x - 3 + sway, y);
    } else {
        screen.DrawSprite(kAir, x, y);
    }
}

void Ball(PlayScreen& screen, int centreX, int centreY, float degrees) {
    screen.SetBlendedSize(kBall, 58, 58);
    screen.SetBlendedRotation(kBall, degrees, RotationCentre::Quad);
    screen.DrawBlended(kBall, centreX - 29, centreY - 29, 255);
    screen.SetBlendedSize(kLight, 60, 60);
    screen.DrawBlended(kLight, centreX - 30, centreY - 30, 150);
}

// A small level: '.' air, '~' water, and one letter per element.
struct Cell {
    char code;
    int background;
    int kind;
};

int KindOf(char code) {
    switch (code) {
        case 'B':
            return 1001;
        case 'C':
            return 1002;
        case 'E':
            return 1003;
        case 'G':
            return 1004;
        case 'S':
            return 1025;
        case 's':
            return 1015;
        case 'T':
            return 2001;
        case 'N':
            return 2002;
        case 'D':
            return 2010;
        case 'W':
            return 2020;
        case 'X':
            return 2031;
        case 'F':
            return 3011;
        case 'f':
            return 3012;
        case 'K':
            return 4099;
        case 'Z':
            return 4090;
        case '1':
            return 4001;
        case '2':
            return 4002;
        case '5':
            return 4005;
        case 'x':
            return 4010;
        case 'y':
            return 4020;
        case 'z':
            return 4050;
        default:
            return 1000;
    }
}

// Rows of the sample: upper-case water marks are given by the backdrop map below.
const char* const kLevelKinds[] = {
    "BBBBBBBBBBB", "B..F..K..zB", "B.1...WW..B", "B..N......B",
    "BGGGT..y.ZB", "BEEEGG.2.DB", "BEE5.x..s.B", "BCCCXXCCCCB",
};
const char* const kLevelWater[] = {
    "...........", "...........", "...........", "...........",
    "...........", "......~~~..", "....~~~~~~.", "...........",
};
constexpr int kLevelColumns = 11;
constexpr int kLevelRows = 8;

void DrawLevel(PlayScreen& screen, int left, int top, bool editor, int tick) {
    // Backdrops, then elements, then pickups and sensors: the game's drawing walks.
    for (int row = 0; row < kLevelRows; ++row) {
        for (int column = 0; column < kLevelColumns; ++column) {
            const int x = left + column * 40;
            const int y = top + row * 40;
            const bool water = kLevelWater[row][column] == '~';
            const int sway =
                editor ? 0
                       : static_cast<int>(std::nearbyint(
                             3.0f * std::sin(static_cast<float>(tick) * 0.0174532924f * 10.0f +
                                             static_cast<float>(row + 1))));
            Backdrop(screen, water ? kWater : kAir, x, y, sway);
            if (editor && KindOf(kLevelKinds[row][column]) == 1000) {
                screen.DrawSprite(kGrid, x, y);
            }
        }
    }
    for (int row = 0; row < kLevelRows; ++row) {
        for (int column = 0; column < kLevelColumns; ++column) {
            const int kind = KindOf(kLevelKinds[row][column]);
            if (kind != 1000 && kind != kSensor && kind < 4000) {
                screen.DrawSprite(kind, left + column * 40, top + row * 40);
                if (editor) {
                    screen.DrawSprite(kGrid, left + column * 40, top + row * 40);
                }
            }
        }
    }
    screen.BeginScene();
    for (int row = 0; row < kLevelRows; ++row) {
        for (int column = 0; column < kLevelColumns; ++column) {
            const int kind = KindOf(kLevelKinds[row][column]);
            const int x = left + column * 40;
            const int y = top + row * 40;
            if (kind > 4000 && kind < 5000) {
                if (editor) {
                    screen.SetBlendedSize(kind, 40, 40);
                    screen.DrawBlended(kind, x, y, 255);
                } else {
                    const float phase =
                        static_cast<float>(tick) / 10.0f +
                        static_cast<float>((column + 1) * (row + 1)) * 0.0174532924f;
                    const int w =
                        static_cast<int>(std::nearbyint(std::fabs(20.0f * std::sin(phase))));
                    screen.SetBlendedSize(kind, 2 * w, 40);
                    screen.DrawBlended(kind, x + 20 - w, y, 255);
                }
            } else if (kind == kSensor) {
                screen.SetBlendedSize(kind, 41, 41);
                screen.DrawBlended(kind, x, y, editor ? 255 : 100);
            }
        }
    }
    if (!editor) {
        Ball(screen, left + 8 * 40 + 20, top + 3 * 40 + 10, 30.0f);
    }
    screen.EndScene();
    if (editor) {
        for (int row = 0; row < kLevelRows; ++row) {
            for (int column = 0; column < kLevelColumns; ++column) {
                const int kind = KindOf(kLevelKinds[row][column]);
                if ((kind > 4000 && kind < 5000) || kind == kSensor) {
                    screen.DrawSprite(kGrid, left + column * 40, top + row * 40);
                }
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessaron-asset-sheet GAME_DIR OUTPUT.png\n");
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    tessaron::runtime::GameFolder folder(std::filesystem::u8path(argv[1]));
    tessaron::runtime::Machine machine(folder);
    int qtArgc = 1;
    if (!machine.StartScreen({true, &qtArgc, argv})) {
        std::fprintf(stderr, "cannot start the play screen\n");
        return 1;
    }
    PlayScreen screen(machine);
    screen.SetBlendedFiltering(true);
    for (const SpriteFile& sprite : kSprites) {
        if (!screen.LoadSprite(sprite.number, sprite.path)) {
            std::fprintf(stderr, "cannot load %s\n", sprite.path);
            return 1;
        }
    }
    for (const SpriteFile& sprite : kSprites) {
        screen.CreateBlendedSprite(sprite.number, sprite.number);
    }
    screen.Clear(Rgb{0, 0, 0});

    // 1. Every 40 x 40 picture as a keyed sprite, 1:1, on a strip of air and one of water.
    const int keyed[] = {1001, 1002, 1003, 1004, 1025, 1020, 1015, 1010, 2001,
                         2002, 2010, 2020, 2031, 3011, 3012, 4099, 4090, 4000,
                         4001, 4002, 4005, 4010, 4020, 4050, kGrid};
    constexpr int kStripLeft = 12;
    for (int i = 0; i < 25; ++i) {
        Backdrop(screen, kAir, kStripLeft + i * 40, 24);
        Backdrop(screen, kWater, kStripLeft + i * 40, 64);
    }
    for (int i = 0; i < 25; ++i) {
        screen.DrawSprite(keyed[i], kStripLeft + i * 40, 24);
        screen.DrawSprite(keyed[i], kStripLeft + i * 40, 64);
    }

    // 2. Ground blocks side by side and stacked, water rows swaying against each other.
    constexpr int kBlocksTop = 140;
    const int blocks[][2] = {{1004, 1003}, {1001, 1001}, {1002, 1002}, {1003, 1003}};
    for (int b = 0; b < 4; ++b) {
        for (int column = 0; column < 3; ++column) {
            screen.DrawSprite(blocks[b][0], kStripLeft + b * 136 + column * 40, kBlocksTop);
            screen.DrawSprite(blocks[b][1], kStripLeft + b * 136 + column * 40, kBlocksTop + 40);
        }
    }
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 3; ++column) {
            screen.DrawSprite(kWater, kStripLeft + 4 * 136 + column * 40 - 3 + (row == 0 ? 3 : -3),
                              kBlocksTop + row * 40);
        }
    }
    // The player's pictures as they are, on air: mask, ball, light.
    for (int column = 0; column < 7; ++column) {
        for (int row = 0; row < 2; ++row) {
            Backdrop(screen, kAir, kStripLeft + 5 * 136 + column * 40, kBlocksTop + row * 40);
        }
    }
    screen.DrawSprite(0, kStripLeft + 5 * 136 + 6, kBlocksTop + 10);
    screen.DrawSprite(kBall, kStripLeft + 5 * 136 + 96, kBlocksTop + 11);
    screen.DrawSprite(kLight, kStripLeft + 5 * 136 + 186, kBlocksTop + 10);

    // 3. Blended sprites: pickups spinning (widths 40 to 4), sensors flickering, the ball
    // turning under its light, on air and on water.
    constexpr int kBlendTop = 248;
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 24; ++column) {
            Backdrop(screen, row == 0 ? kAir : kWater, kStripLeft + column * 40,
                     kBlendTop + row * 40);
        }
    }
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 13; ++column) {
            Backdrop(screen, row == 0 ? kAir : kWater, kStripLeft + column * 40,
                     kBlendTop + 100 + row * 40);
        }
    }
    screen.BeginScene();
    const int halfWidths[] = {20, 12, 6};
    for (int p = 0; p < 8; ++p) {
        for (int s = 0; s < 3; ++s) {
            const int w = halfWidths[s];
            const int x = kStripLeft + (p * 3 + s) * 40;
            for (int row = 0; row < 2; ++row) {
                screen.SetBlendedSize(kPickups[p], 2 * w, 40);
                screen.DrawBlended(kPickups[p], x + 20 - w, kBlendTop + row * 40, 255);
            }
        }
    }
    const int opacities[] = {75, 100, 125, 255};
    for (int i = 0; i < 4; ++i) {
        for (int row = 0; row < 2; ++row) {
            screen.DrawBlended(kSensor, kStripLeft + i * 40, kBlendTop + 100 + row * 40,
                               opacities[i]);
        }
    }
    for (int i = 0; i < 4; ++i) {
        Ball(screen, kStripLeft + 4 * 40 + 40 + i * 80, kBlendTop + 140,
             static_cast<float>(i) * 45.0f);
    }
    screen.EndScene();

    // 4. A small level in play and in the editor.
    constexpr int kLevelTop = 448;
    DrawLevel(screen, 32, kLevelTop, false, 7);
    DrawLevel(screen, 552, kLevelTop, true, 7);

    screen.BeginDrawing();
    screen.SetDrawingMode(tessaron::runtime::kTransparentText);
    Label(screen, kStripLeft, 6,
          "Tessaron: alle Bilder 1:1 auf Luft und Wasser (Schlüsselfarbe Schwarz)");
    Label(screen, kStripLeft, 108,
          "Boden im Verbund: Rasen über Erde, Ziegel, Beton, Erde, Wasser schwankend", kDim);
    Label(screen, kStripLeft + 5 * 136, 122, "Bereich, Farben, Licht", kDim);
    Label(screen, kStripLeft, 230,
          "Überblendet: Münzen, Ziel und Diskette drehend (Breite 40, 24, 12)");
    Label(screen, kStripLeft, 331, "Sensor 75/100/125/255, Kugel gedreht mit Licht bei 150", kDim);
    Label(screen, 32, kLevelTop - 16, "Im Spiel");
    Label(screen, 552, kLevelTop - 16, "Im Editor");
    screen.EndDrawing();

    if (!screen.SaveBackBuffer(std::filesystem::u8path(argv[2]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    machine.End();
    return 0;
}
