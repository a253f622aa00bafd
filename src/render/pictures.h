// The pictures the drawing uses, by their sprite numbers, and the value labels' font: loaded by
// the program at start-up and by the level tool, so that both draw with the same pictures.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "runtime/screen.h"

namespace tessaron::render {

// A picture that could not be loaded: its path as the program names it, and why.
struct UnloadedPicture {
    std::string_view path;
    std::string problem;
};

// Loads every picture from the game folder's BMP folder under its sprite number, makes the
// blended sprites from them and turns bilinear filtering on. Returns the pictures that could
// not be loaded, in loading order; a sprite without its picture draws nothing.
std::vector<UnloadedPicture> LoadPictures(runtime::PlayScreen& screen);

// Loads the value labels' font, "Arial" at 7 points, as font kLabelFont.
bool LoadLabelFont(runtime::PlayScreen& screen);

}  // namespace tessaron::render
