// The pictures the drawing uses, by their sprite numbers, and the value labels' font: loaded by
// the program at start-up and by the level tool, so that both draw with the same pictures.
#pragma once

#include <string_view>
#include <vector>

#include "runtime/screen.h"

namespace tessaron::render {

// Loads every picture from the game folder's BMP folder under its sprite number, makes the
// blended sprites from them and turns bilinear filtering on. Returns the paths of the pictures
// that could not be loaded; a sprite without its picture draws nothing.
std::vector<std::string_view> LoadPictures(runtime::PlayScreen& screen);

// Loads the value labels' font, "Arial" at 7 points, as font kLabelFont.
bool LoadLabelFont(runtime::PlayScreen& screen);

}  // namespace tessaron::render
