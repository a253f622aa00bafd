// The list of the game's picture files and the painter of each.
#include "pictures.h"

namespace tessaron::assets {

std::vector<Picture> PaintAllPictures() {
    std::vector<Picture> pictures;
    auto add = [&](const char* file, Image image) { pictures.push_back({file, std::move(image)}); };
    add("Bereich.bmp", PaintPlayerMask());
    add("Raster.bmp", PaintGrid());
    add("Farben.bmp", PaintBall());
    add("Licht.bmp", PaintBallLight());
    add("Leer.bmp", PaintEmpty());
    add("H_Luft.bmp", PaintSky());
    add("H_Wasser.bmp", PaintWater());
    add("Ziegelsteine.bmp", PaintBricks());
    add("Beton.bmp", PaintConcrete());
    add("Erde.bmp", PaintEarth());
    add("Rasen.bmp", PaintGrass());
    add("Gestrüp25.bmp", PaintBush(25));
    add("Gestrüp50.bmp", PaintBush(50));
    add("Gestrüp75.bmp", PaintBush(75));
    add("Gestrüp100.bmp", PaintBush(100));
    add("Schalter.bmp", PaintSwitch());
    add("Sensor.bmp", PaintSensor());
    add("Tür.bmp", PaintDoor());
    add("Flugstein.bmp", PaintWoodBlock());
    add("Stacheln.bmp", PaintSpikes());
    add("Fackel1.bmp", PaintTorch(1));
    add("Fackel2.bmp", PaintTorch(2));
    add("DISK.bmp", PaintDisk());
    add("Ziel.bmp", PaintGoal());
    add("0.bmp", PaintCoin(0));
    add("1-.bmp", PaintCoin(1));
    add("2-.bmp", PaintCoin(2));
    add("5-.bmp", PaintCoin(5));
    add("10-.bmp", PaintCoin(10));
    add("20-.bmp", PaintCoin(20));
    add("50-.bmp", PaintCoin(50));
    return pictures;
}

}  // namespace tessaron::assets
