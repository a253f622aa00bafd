// A play screen with small test pictures under the sprite numbers the game uses, and a level
// with a ball to drive pass by pass through the simulation's stages.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "game/simulation.h"
#include "level/level.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::game::testing {

// The machine layer of the whole test run: a temporary game folder holding the pictures and the
// pickup sound, the play screen with every sprite loaded, the sound and the files.
struct Machinery {
    std::filesystem::path root;
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::PlayScreen> screen;
    std::unique_ptr<runtime::Sound> sound;
    std::unique_ptr<runtime::Files> files;
    std::unique_ptr<SavePointFile> savePoints;
    runtime::Random random{7};
};

// Set up by the test main before any test runs.
Machinery& Machine();

// Pictures of the test run: the mask is a filled disc of 60 x 60 pixels (as the ball); every
// element picture is an opaque 40 x 40 square; the water backdrop is 46 x 40; taken pickups,
// the trampled bush and the empty cell are wholly transparent.
bool MakeMachinery(int* argc, char** argv);
void EndMachinery();

// A level of loose elements and a ball, with the passes of a play pass.
class World {
  public:
    World();

    // Appends an element at (column, row) of the given kind, in air, link 0, not moving; returns
    // its index in the list.
    std::size_t Put(level::ElementKind kind, float column, float row);
    // A row of elements from column first to column last.
    void Row(level::ElementKind kind, float first, float last, float row);
    level::Element& At(std::size_t index) { return level.elements.at(index); }

    // Places the ball's centre on the world point (x, y).
    void PlaceBall(float x, float y);
    float BallX() const { return 512.0f - level.viewX; }
    float BallY() const { return 384.0f - level.viewY; }

    Services Machines() const;

    // One play pass as the main loop runs it: the link reset, the first stage, the keys, the
    // second stage.
    void Pass(const PlayerKeys& keys = {});
    void Passes(int count, const PlayerKeys& keys = {});

    level::Level level;
    Player player;
    // What the passes noted; Pass clears it first.
    mutable PassEvents events;
};

// Removes the save-point file of the test folder.
void RemoveSavePoint();
std::filesystem::path SavePointPath();

}  // namespace tessaron::game::testing
