#include "render/pictures.h"

#include <array>

#include "render/render.h"

namespace tessaron::render {

namespace {

struct SpriteFile {
    int number;
    std::string_view path;
};

// The pictures in their loading order.
constexpr std::array<SpriteFile, 41> kSprites = {{
    {kPlayerMaskSprite, "BMP\\Bereich.bmp"},
    {kGridSprite, "BMP\\Raster.bmp"},
    {kBallSprite, "BMP\\Farben.bmp"},
    {kLightSprite, "BMP\\Licht.bmp"},
    {5001, "BMP\\Leer.bmp"},
    {5002, "BMP\\Leer.bmp"},
    {5005, "BMP\\Leer.bmp"},
    {5010, "BMP\\Leer.bmp"},
    {5020, "BMP\\Leer.bmp"},
    {5050, "BMP\\Leer.bmp"},
    {5099, "BMP\\Leer.bmp"},
    {5090, "BMP\\Leer.bmp"},
    {100, "BMP\\H_Luft.bmp"},
    {200, "BMP\\H_Wasser.bmp"},
    {1000, "BMP\\Leer.bmp"},
    {1001, "BMP\\Ziegelsteine.bmp"},
    {1002, "BMP\\Beton.bmp"},
    {1003, "BMP\\Erde.bmp"},
    {1004, "BMP\\Rasen.bmp"},
    {1005, "BMP\\Leer.bmp"},
    {1010, "BMP\\Gestrüp25.bmp"},
    {1015, "BMP\\Gestrüp50.bmp"},
    {1020, "BMP\\Gestrüp75.bmp"},
    {1025, "BMP\\Gestrüp100.bmp"},
    {2001, "BMP\\Schalter.bmp"},
    {2002, "BMP\\Sensor.bmp"},
    {2010, "BMP\\Tür.bmp"},
    {2020, "BMP\\Flugstein.bmp"},
    {2031, "BMP\\Stacheln.bmp"},
    {2032, "BMP\\Stacheln.bmp"},
    {3011, "BMP\\Fackel1.bmp"},
    {3012, "BMP\\Fackel2.bmp"},
    {4099, "BMP\\DISK.bmp"},
    {4090, "BMP\\Ziel.bmp"},
    {4000, "BMP\\0.bmp"},
    {4001, "BMP\\1-.bmp"},
    {4002, "BMP\\2-.bmp"},
    {4005, "BMP\\5-.bmp"},
    {4010, "BMP\\10-.bmp"},
    {4020, "BMP\\20-.bmp"},
    {4050, "BMP\\50-.bmp"},
}};

// The blended sprites in their creation order, each numbered as the sprite it is made from.
// Sensor (2002) is created twice, as it always was.
constexpr std::array<int, 31> kBlendedSprites = {
    kLightSprite, kBallSprite, 2002, 100,  200,  1000, 1001, 1002, 1003, 1004, 1005,
    1010,         1015,        1020, 1025, 2001, 2002, 2010, 2020, 2031, 2032, 3011,
    3012,         4001,        4002, 4005, 4010, 4020, 4050, 4099, 4090};

}  // namespace

std::vector<std::string_view> LoadPictures(runtime::PlayScreen& screen) {
    screen.SetBlendedFiltering(true);
    std::vector<std::string_view> missing;
    for (const SpriteFile& sprite : kSprites) {
        if (!screen.LoadSprite(sprite.number, sprite.path)) {
            missing.push_back(sprite.path);
        }
    }
    for (int number : kBlendedSprites) {
        screen.CreateBlendedSprite(number, number);
    }
    return missing;
}

bool LoadLabelFont(runtime::PlayScreen& screen) {
    return screen.LoadFont(kLabelFont, "Arial", 7);
}

}  // namespace tessaron::render
