// The drawing stage for a 200 x 100 level (20 000 cells) with the view near its middle, so that
// most cells lie off the screen: the map in both modes, and the editor's value display.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "render/render.h"
#include "render/test_pictures.h"
#include "runtime/files.h"
#include "runtime/random.h"

namespace {

using namespace tessaron;

struct Bench {
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::PlayScreen> screen;
    level::Level level;
};
Bench* g = nullptr;

constexpr int kBlended[] = {4001, 4002, 4005, 4010, 4020, 4050, 4090, 4099, 2002, 10, 11};
constexpr int kKeyed[] = {100, 200, 4, 1001, 1002, 1003, 1004, 1025, 2001, 2010, 2020, 2031, 3011};

bool Setup(int* argc, char** argv) {
    g = new Bench;
    const auto root = std::filesystem::temp_directory_path() /
                      ("tessaron_render_bench_" + std::to_string(::getpid()));
    const auto write = [&](int n, int w, int h) {
        const runtime::Rgb c{std::uint8_t(40 + n % 200), std::uint8_t(n % 97 + 60), 90};
        test::WriteBitmap(root / "BMP" / (std::to_string(n) + ".bmp"), w, h, test::Solid(c));
    };
    for (int n : kKeyed) write(n, n == 200 ? 46 : 40, 40);
    for (int n : kBlended)
        write(n, n == 10 ? 58 : n == 11 ? 60 : 40, n == 10 ? 58 : n == 11 ? 60 : 40);
    g->folder = std::make_unique<runtime::GameFolder>(root);
    g->machine = std::make_unique<runtime::Machine>(*g->folder);
    if (!g->machine->StartScreen({true, argc, argv}))
        return false;
    g->screen = std::make_unique<runtime::PlayScreen>(*g->machine);
    g->screen->SetBlendedFiltering(true);
    for (int n : kKeyed) g->screen->LoadSprite(n, "BMP\\" + std::to_string(n) + ".bmp");
    for (int n : kBlended) {
        g->screen->LoadSprite(n, "BMP\\" + std::to_string(n) + ".bmp");
        g->screen->CreateBlendedSprite(n, n);
    }
    g->screen->LoadFont(render::kLabelFont, "Arial", 7);

    // A varied level: water below row 60, solid ground, coins, sensors and moving platforms.
    level::Level& lv = g->level;
    lv.levelWidth = 200;
    lv.levelHeight = 100;
    const int kinds[] = {1000, 1000, 1000, 1001, 1002, 1003, 1004, 1025, 2001, 2010,
                         2020, 2031, 3011, 4001, 4010, 4050, 2002, 1000, 1000, 1000};
    for (int row = 1; row <= 100; ++row) {
        for (int column = 1; column <= 200; ++column) {
            const int kind = kinds[(column * 7 + row * 3) % 20];
            const int length = (column + row) % 11 == 0 ? 3 : 0;
            level::AddCell(lv.elements, row > 60 ? 200 : 100, column, row, kind, column, row, 0,
                           length ? 2 : -1, 0, length, length ? 50 : 0, 0, 0, length ? 20 : 0,
                           length ? 20 : 0);
        }
    }
    // The view shows columns 88..113 and rows 45..64 of the level.
    lv.viewX = -3500.0f;
    lv.viewY = -1800.0f;
    return true;
}

void DrawFrame(benchmark::State& bench, level::Mode mode, int valueDisplay) {
    render::FrameInputs inputs;
    inputs.mode = mode;
    inputs.velocityX = -1.5f;
    inputs.kindChoice = 1001;
    inputs.mouseX = 400;
    inputs.mouseY = 300;
    inputs.valueDisplayChoice = valueDisplay;
    render::RenderState state;
    runtime::Random random{1};
    runtime::PlayScreen& screen = *g->screen;
    for (auto _ : bench) {
        inputs.tick = (inputs.tick + 1) % 3600;
        screen.Clear({0, 0, 0});
        screen.BeginScene();
        render::DrawMap(g->level, inputs, state, screen, random);
        render::DrawOverlays(g->level, inputs, screen);
    }
    bench.SetItemsProcessed(bench.iterations() * std::int64_t(g->level.elements.size()));
}

void BM_DrawPlay(benchmark::State& s) {
    DrawFrame(s, level::Mode::Play, 0);
}
void BM_DrawEditor(benchmark::State& s) {
    DrawFrame(s, level::Mode::Editor, 0);
}
void BM_DrawEditorSpeedLabels(benchmark::State& s) {
    DrawFrame(s, level::Mode::Editor, 3);
}
BENCHMARK(BM_DrawPlay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawEditor)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawEditorSpeedLabels)->Unit(benchmark::kMillisecond);

// The whole level scrolled away: what remains is the four walks and their bounds tests.
void BM_DrawPlayAllOffScreen(benchmark::State& s) {
    const float saved = g->level.viewX;
    g->level.viewX = 1.0e6f;
    DrawFrame(s, level::Mode::Play, 0);
    g->level.viewX = saved;
}
BENCHMARK(BM_DrawPlayAllOffScreen)->Unit(benchmark::kMillisecond);

// No level at all: clearing the buffer, the ball and the score line, the floor under the others.
void BM_DrawPlayNoLevel(benchmark::State& s) {
    level::ElementList saved;
    saved.swap(g->level.elements);
    DrawFrame(s, level::Mode::Play, 0);
    saved.swap(g->level.elements);
}
BENCHMARK(BM_DrawPlayNoLevel)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::Initialize(&argc, argv);
    if (!Setup(&argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
