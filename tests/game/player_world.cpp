#include "player_world.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "render/test_pictures.h"

namespace tessaron::game::testing {

namespace {

Machinery* g = nullptr;

constexpr runtime::Rgb kBlock{180, 90, 40};
constexpr runtime::Rgb kWater{0, 90, 255};
constexpr runtime::Rgb kAir{100, 160, 230};
constexpr runtime::Rgb kNothing{0, 0, 0};

// The sprites of the test run and what each shows.
enum class Look { Block, Disc, Water, Air, Nothing };
struct Picture {
    int number;
    Look look;
};
const std::vector<Picture> kPictures = {
    {0, Look::Disc},       {100, Look::Air},      {200, Look::Water},    {1000, Look::Nothing},
    {1001, Look::Block},   {1002, Look::Block},   {1003, Look::Block},   {1004, Look::Block},
    {1005, Look::Nothing}, {1010, Look::Block},   {1015, Look::Block},   {1020, Look::Block},
    {1025, Look::Block},   {2001, Look::Block},   {2002, Look::Block},   {2010, Look::Block},
    {2020, Look::Block},   {2031, Look::Block},   {2032, Look::Block},   {3011, Look::Block},
    {3012, Look::Block},   {4000, Look::Block},   {4001, Look::Block},   {4002, Look::Block},
    {4005, Look::Block},   {4010, Look::Block},   {4020, Look::Block},   {4050, Look::Block},
    {4090, Look::Block},   {4099, Look::Block},   {5001, Look::Nothing}, {5002, Look::Nothing},
    {5005, Look::Nothing}, {5010, Look::Nothing}, {5020, Look::Nothing}, {5050, Look::Nothing},
    {5090, Look::Nothing}, {5099, Look::Nothing},
};

void WritePicture(const std::filesystem::path& file, Look look) {
    switch (look) {
        case Look::Disc:
            test::WriteBitmap(file, 60, 60, [](int x, int y) {
                const float dx = static_cast<float>(x) + 0.5f - 30.0f;
                const float dy = static_cast<float>(y) + 0.5f - 30.0f;
                return dx * dx + dy * dy <= 900.0f ? kBlock : kNothing;
            });
            break;
        case Look::Water:
            test::WriteBitmap(file, 46, 40, test::Solid(kWater));
            break;
        case Look::Air:
            test::WriteBitmap(file, 40, 40, test::Solid(kAir));
            break;
        case Look::Nothing:
            test::WriteBitmap(file, 40, 40, test::Solid(kNothing));
            break;
        case Look::Block:
            test::WriteBitmap(file, 40, 40, test::Solid(kBlock));
            break;
    }
}

// A short 16-bit mono wave, enough for the sound to load.
void WriteWave(const std::filesystem::path& file) {
    std::vector<std::uint8_t> bytes;
    const auto put = [&](std::uint32_t value, int count) {
        for (int i = 0; i < count; ++i) bytes.push_back(std::uint8_t(value >> (8 * i)));
    };
    const std::uint32_t samples = 2205;
    bytes.insert(bytes.end(), {'R', 'I', 'F', 'F'});
    put(36 + samples * 2, 4);
    bytes.insert(bytes.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put(16, 4);
    put(1, 2);  // PCM
    put(1, 2);  // mono
    put(22050, 4);
    put(44100, 4);
    put(2, 2);
    put(16, 2);
    bytes.insert(bytes.end(), {'d', 'a', 't', 'a'});
    put(samples * 2, 4);
    for (std::uint32_t i = 0; i < samples; ++i) put((i % 50) < 25 ? 3000 : 0xF448, 2);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

}  // namespace

Machinery& Machine() {
    return *g;
}

bool MakeMachinery(int* argc, char** argv) {
#define REQUIRE(condition) \
    if (!(condition))      \
    return (std::fprintf(stderr, "set-up failed: %s\n", #condition), false)
    g = new Machinery;
    g->root =
        std::filesystem::temp_directory_path() / ("tessaron_player_" + std::to_string(::getpid()));
    std::filesystem::remove_all(g->root);
    for (const Picture& picture : kPictures) {
        WritePicture(g->root / "BMP" / (std::to_string(picture.number) + ".bmp"), picture.look);
    }
    WriteWave(g->root / "WAV" / "Punkte.wav");

    g->folder = std::make_unique<runtime::GameFolder>(g->root);
    g->machine = std::make_unique<runtime::Machine>(*g->folder);
    REQUIRE(g->machine->StartScreen({true, argc, argv}));
    REQUIRE(g->machine->StartSound());
    g->screen = std::make_unique<runtime::PlayScreen>(*g->machine);
    g->sound = std::make_unique<runtime::Sound>(*g->machine);
    g->files = std::make_unique<runtime::Files>(*g->folder);
    g->savePoints = std::make_unique<SavePointFile>(*g->files);
    for (const Picture& picture : kPictures) {
        REQUIRE(g->screen->LoadSprite(picture.number,
                                      "BMP\\" + std::to_string(picture.number) + ".bmp"));
    }
    REQUIRE(g->sound->Load(1, "WAV\\Punkte.wav"));
    return true;
#undef REQUIRE
}

void EndMachinery() {
    if (g == nullptr)
        return;
    g->savePoints.reset();
    g->files.reset();
    g->sound.reset();
    g->screen.reset();
    if (g->machine)
        g->machine->End();
    g->machine.reset();
    std::filesystem::remove_all(g->root);
    delete g;
    g = nullptr;
}

std::filesystem::path SavePointPath() {
    return g->root / kSavePointFile;
}

void RemoveSavePoint() {
    std::filesystem::remove(SavePointPath());
}

World::World() {
    level.levelWidth = 30;
    level.levelHeight = 30;
    level.elements.clear();
    RemoveSavePoint();
}

std::size_t World::Put(level::ElementKind kind, float column, float row) {
    level::Element e;
    e.background = level::Code(level::Background::Air);
    e.homeColumn = e.column = column;
    e.homeRow = e.row = row;
    e.kind = level::Code(kind);
    level.elements.push_back(e);
    return level.elements.size() - 1;
}

void World::Row(level::ElementKind kind, float first, float last, float row) {
    for (float column = first; column <= last; column += 1.0f) {
        Put(kind, column, row);
    }
}

void World::PlaceBall(float x, float y) {
    level.viewX = 512.0f - x;
    level.viewY = 384.0f - y;
}

Services World::Machines() const {
    Services services{g->screen->Masks(), *g->sound, *g->savePoints, g->random};
    services.events = &events;
    return services;
}

void World::Pass(const PlayerKeys& keys) {
    events.Clear();
    level.triggeredLink = -1;
    RunFirstStage(level, player, Machines());
    ApplyPlayerKeys(level, player, keys, Machines());
    RunSecondStage(level, player, Machines());
}

void World::Passes(int count, const PlayerKeys& keys) {
    for (int i = 0; i < count; ++i) Pass(keys);
}

}  // namespace tessaron::game::testing
