// The play screen's costs per frame: keyed sprites on and off the screen, blended sprites, text,
// pixel collision between two sprite masks, and the keyboard's snapshot with pads plugged in.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "runtime/files.h"
#include "runtime/screen.h"
#include "runtime/virtual_pad.h"

namespace {

using tessaron::runtime::GameFolder;
using tessaron::runtime::Machine;
using tessaron::runtime::PlayScreen;
using tessaron::runtime::Rgb;
using tessaron::runtime::RotationCentre;

void Put(std::ofstream& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.put(char((value >> (8 * i)) & 0xFF));
    }
}

// A 24-bit bitmap; pixels outside the disc of the given radius are black (transparent), or
// none when the radius is 0.
void WriteBitmap(const std::filesystem::path& file, int width, int height, double radius) {
    const std::uint32_t rowBytes = (std::uint32_t(width) * 3 + 3) & ~3u;
    std::ofstream out(file, std::ios::binary);
    out.put('B');
    out.put('M');
    Put(out, 54 + rowBytes * std::uint32_t(height), 4);
    Put(out, 0, 4);
    Put(out, 54, 4);
    Put(out, 40, 4);
    Put(out, std::uint32_t(width), 4);
    Put(out, std::uint32_t(height), 4);
    Put(out, 1, 2);
    Put(out, 24, 2);
    for (int i = 0; i < 6; ++i) {
        Put(out, 0, 4);
    }
    for (int y = height - 1; y >= 0; --y) {
        std::uint32_t written = 0;
        for (int x = 0; x < width; ++x, written += 3) {
            const bool inside = radius <= 0.0 ||
                                std::hypot(x - width / 2.0 + 0.5, y - height / 2.0 + 0.5) <= radius;
            out.put(char(inside ? 40 : 0));
            out.put(char(inside ? 90 + x : 0));
            out.put(char(inside ? 160 + y : 0));
        }
        for (; written < rowBytes; ++written) {
            out.put('\0');
        }
    }
}

struct Fixture {
    Fixture() {
        char pattern[] = "/tmp/tessaron-screen-bench-XXXXXX";
        root = mkdtemp(pattern);
        folder = std::make_unique<GameFolder>(root);
        machine = std::make_unique<Machine>(*folder);
        tessaron::runtime::StartOptions options;
        options.headless = true;
        machine->StartScreen(options);
        WriteBitmap(root / "Tile.bmp", 40, 40, 0.0);
        WriteBitmap(root / "Disc.bmp", 40, 40, 17.0);
        WriteBitmap(root / "Ball.bmp", 60, 60, 29.0);
        screen = std::make_unique<PlayScreen>(*machine);
        screen->LoadSprite(1, "Tile.bmp");
        screen->LoadSprite(2, "Disc.bmp");
        screen->LoadSprite(3, "Ball.bmp");
        screen->CreateBlendedSprite(1, 1);
        screen->CreateBlendedSprite(2, 2);
        screen->SetBlendedFiltering(true);
        screen->LoadFont(1, "Arial", 7);
    }
    ~Fixture() {
        screen.reset();
        machine->End();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::filesystem::path root;
    std::unique_ptr<GameFolder> folder;
    std::unique_ptr<Machine> machine;
    std::unique_ptr<PlayScreen> screen;
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// A screenful of 40 x 40 cells (26 x 20 = 520) drawn three times over: 1560 sprites.
void KeyedSpritesOnScreen(benchmark::State& state) {
    PlayScreen& screen = *Shared().screen;
    const int sprite = int(state.range(0));
    for (auto _ : state) {
        screen.Clear(Rgb{0, 0, 0});
        for (int layer = 0; layer < 3; ++layer) {
            for (int row = 0; row < 20; ++row) {
                for (int column = 0; column < 26; ++column) {
                    screen.DrawSprite(sprite, column * 40 - 20, row * 40 - 20);
                }
            }
        }
        benchmark::DoNotOptimize(screen.BackPixel(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 1560);
}
BENCHMARK(KeyedSpritesOnScreen)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A 300 x 100 level: 30000 cells, nearly all of them off the screen.
void KeyedSpritesOffScreen(benchmark::State& state) {
    PlayScreen& screen = *Shared().screen;
    for (auto _ : state) {
        for (int row = 0; row < 100; ++row) {
            for (int column = 0; column < 300; ++column) {
                screen.DrawSprite(2, 2000 + column * 40, row * 40);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 30000);
}
BENCHMARK(KeyedSpritesOffScreen)->Unit(benchmark::kMillisecond);

// The same screenful as blended sprites (bilinear): at the picture's size, one pixel larger, and
// one pixel larger and turned.
void BlendedSpritesOnScreen(benchmark::State& state) {
    PlayScreen& screen = *Shared().screen;
    const int size = int(state.range(0));
    const float angle = float(state.range(1));
    for (auto _ : state) {
        screen.Clear(Rgb{0, 0, 0});
        screen.BeginScene();
        for (int row = 0; row < 20; ++row) {
            for (int column = 0; column < 26; ++column) {
                screen.SetBlendedSize(2, size, size);
                screen.SetBlendedRotation(2, angle, RotationCentre::Quad);
                screen.DrawBlended(2, column * 40 - 20, row * 40 - 20, 255);
            }
        }
        screen.EndScene();
        benchmark::DoNotOptimize(screen.BackPixel(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 520);
}
BENCHMARK(BlendedSpritesOnScreen)
    ->Args({40, 0})
    ->Args({41, 0})
    ->Args({41, 30})
    ->Unit(benchmark::kMillisecond);

// The editor's value display: a short label on each of 600 cells in the small font.
void TextLabels(benchmark::State& state) {
    PlayScreen& screen = *Shared().screen;
    for (auto _ : state) {
        screen.BeginDrawing();
        screen.UseFont(1);
        screen.SetDrawingMode(tessaron::runtime::kTransparentText);
        for (int i = 0; i < 600; ++i) {
            screen.SetTextPosition((i % 25) * 40, (i / 25) * 32);
            screen.DrawText(std::to_string(i % 17));
        }
        screen.EndDrawing();
        benchmark::DoNotOptimize(screen.BackPixel(0, 0));
    }
    state.SetItemsProcessed(state.iterations() * 600);
}
BENCHMARK(TextLabels)->Unit(benchmark::kMillisecond);

// The ball's 60 x 60 mask against a 40 x 40 disc: apart, overlapping, and barely touching.
void PixelCollision(benchmark::State& state) {
    PlayScreen& screen = *Shared().screen;
    const int offset = int(state.range(0));
    for (auto _ : state) {
        benchmark::DoNotOptimize(screen.SpritesCollide(3, 482, 354, 2, 482 + offset, 354 + offset));
    }
}
BENCHMARK(PixelCollision)->Arg(10)->Arg(42)->Arg(80);

// A pass's keyboard snapshot, without pads and with one or two pads (SDL's virtual ones) read
// into it: the cost that the pads add to every interactive pass.
void KeyboardSnapshot(benchmark::State& state) {
    Machine& machine = *Shared().machine;
    machine.StartKeyboard();
    const int pads = int(state.range(0));
    if (pads > 0 && !machine.StartGamepads()) {
        state.SkipWithError("no controller layer");
        return;
    }
    std::vector<std::unique_ptr<tessaron::runtime::test::VirtualPad>> plugged;
    for (int i = 0; i < pads; ++i) {
        plugged.push_back(std::make_unique<tessaron::runtime::test::VirtualPad>());
    }
    tessaron::runtime::Keyboard keyboard(machine);
    for (auto _ : state) {
        keyboard.Snapshot();
        benchmark::DoNotOptimize(keyboard.Held(tessaron::runtime::Key::Up));
    }
}
BENCHMARK(KeyboardSnapshot)->Arg(0)->Arg(1)->Arg(2);

}  // namespace

BENCHMARK_MAIN();
