// Every picture of the game, painted in code. Each painter returns the finished picture; the
// list gives them with the file names the game loads them by (UTF-8).
#pragma once

#include <string>
#include <vector>

#include "image.h"

namespace tessaron::assets {

struct Picture {
    std::string file;  // name inside the BMP folder, e.g. "Gestrüp100.bmp"
    Image image;
};

// All pictures of the game folder's BMP directory, in a fixed order.
std::vector<Picture> PaintAllPictures();

// Backdrops and ground (tiling textures).
Image PaintSky();
Image PaintWater();
Image PaintBricks();
Image PaintConcrete();
Image PaintEarth();
Image PaintGrass();
// A bush at 100, 75, 50 or 25 percent of its leaves.
Image PaintBush(int percent);

// Things in the level.
Image PaintSwitch();
Image PaintSensor();
Image PaintDoor();
Image PaintWoodBlock();
Image PaintSpikes();
// The torch's two flickering frames, 1 and 2.
Image PaintTorch(int frame);

// Pickups: coins by value (0 gives the blank coin of code 4000), the disk and the goal.
Image PaintCoin(int value);
Image PaintDisk();
Image PaintGoal();

// The player and the editor.
Image PaintBall();
Image PaintBallLight();
Image PaintPlayerMask();
Image PaintGrid();
Image PaintEmpty();

}  // namespace tessaron::assets
