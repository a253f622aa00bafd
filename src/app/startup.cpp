// Start-up: the machine layer's checks, the main window, the pictures, sound and font, the start
// values and the first level.
#include <array>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "app/program_internal.h"
#include "app/side_panel.h"
#include "level/level_file.h"
#include "render/render.h"

namespace tessaron::app {

namespace {

struct SpriteFile {
    int number;
    const char* path;
};

// The pictures in their loading order.
constexpr std::array<SpriteFile, 41> kSprites = {{
    {render::kPlayerMaskSprite, "BMP\\Bereich.bmp"},
    {render::kGridSprite, "BMP\\Raster.bmp"},
    {render::kBallSprite, "BMP\\Farben.bmp"},
    {render::kLightSprite, "BMP\\Licht.bmp"},
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
    render::kLightSprite, render::kBallSprite, 2002, 100, 200, 1000, 1001, 1002, 1003, 1004, 1005,
    1010, 1015, 1020, 1025, 2001, 2002, 2010, 2020, 2031, 2032, 3011, 3012, 4001, 4002, 4005,
    4010, 4020, 4050, 4099, 4090};

}  // namespace

std::filesystem::path ProgramFolder(char** argv) {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error && argv != nullptr && argv[0] != nullptr && argv[0][0] != '\0') {
        exe = std::filesystem::absolute(argv[0], error);
    }
    if (error || exe.empty() || !exe.has_parent_path()) {
        return std::filesystem::current_path(error);
    }
    return exe.parent_path();
}

int Program::Impl::Fail(std::string_view text, bool boxPossible) {
    if (boxPossible && windows) {
        // Shown as a box; without a display the machine layer writes it to standard error.
        windows->MessageBox("Error", text);
    } else {
        std::cerr << "Error: " << text << '\n';
    }
    Shutdown();
    return 1;
}

int Program::Impl::StartMachine(int& argc, char** argv) {
    if (options.gameDir.empty()) {
        // argv[0] is known only now; it helps where the kernel's link is missing.
        listing.reset();
        files.reset();
        folder = std::make_unique<runtime::GameFolder>(ProgramFolder(argv));
        files = std::make_unique<runtime::Files>(*folder);
        listing = std::make_unique<runtime::DirectoryListing>(*folder);
    }
    machine = std::make_unique<runtime::Machine>(*folder);

    runtime::StartOptions start;
    start.headless = options.headless;
    start.argc = &argc;
    start.argv = argv;
    // Without a screen no box can be shown: the text goes to standard error only.
    if (!machine->StartScreen(start)) {
        return Fail("Can't open DirectX 7 Or later", false);
    }
    windows = std::make_unique<runtime::Windows>(*machine);
    if (!machine->StartKeyboard()) {
        return Fail("Can't open DirectX 7 Or later", true);
    }
    if (!machine->StartBlendedSprites()) {
        return Fail("Direct3D system can't be initialized correctly", true);
    }
    if (!machine->StartMouse()) {
        return Fail("Can't open DirectX 7", true);
    }
    if (!machine->StartSound()) {
        return Fail("Can't initialize movie playback !", true);
    }
    screen = std::make_unique<runtime::PlayScreen>(*machine);
    keys = std::make_unique<runtime::Keyboard>(*machine);
    sound = std::make_unique<runtime::Sound>(*machine);
    return 0;
}

void Program::Impl::LoadPictures() {
    screen->SetBlendedFiltering(true);
    // A missing picture leaves its sprite undefined; it then draws nothing.
    for (const SpriteFile& sprite : kSprites) {
        screen->LoadSprite(sprite.number, sprite.path);
    }
    for (int number : kBlendedSprites) {
        screen->CreateBlendedSprite(number, number);
    }
}

int Program::StartUp(int& argc, char** argv) {
    Impl& d = *impl_;
    if (d.started) {
        return 0;
    }
    d.started = true;
    if (const int status = d.StartMachine(argc, argv); status != 0) {
        return status;
    }

    // Requesters: the hooks' own, else none that opens a window in a run without a display,
    // else the toolkit's dialogs.
    runtime::Requesters* requesters = d.hooks.requesters;
    if (requesters == nullptr) {
        if (d.options.headless) {
            d.ownRequesters = std::make_unique<runtime::ScriptedRequesters>();
        } else {
            d.ownRequesters = std::make_unique<runtime::DialogRequesters>(*d.machine);
        }
        requesters = d.ownRequesters.get();
    }
    d.requesters = std::make_unique<ObservedRequesters>(*requesters, d.hooks.observers);

    runtime::Windows& windows = *d.windows;
    if (!BuildMainWindow(windows, *d.listing)) {
        return d.Fail("Das Hauptfenster konnte nicht geöffnet werden.", true);
    }
    // A screen that cannot be placed in the window goes unnoticed, as it always did: the
    // program runs on and shows nothing.
    d.screen->AttachTo(windows, panel::kMainWindow, panel::kSidePanelWidth, 0);
    windows.Use(panel::kMainWindow);
    windows.Activate();

    d.LoadPictures();
    d.sound->Load(1, "WAV\\Punkte.wav");
    d.screen->LoadFont(render::kLabelFont, "Arial", 7);

    // The start values.
    d.state = GameState{};
    d.state.paint.kindChoice = static_cast<int>(level::ElementKind::Empty);
    d.state.level.viewX = -10.0f;
    d.state.level.viewY = -100.0f;
    d.state.level.triggeredLink = -1;
    d.state.level.startX = level::kNoStartOffset;
    d.state.loop.mode = level::Mode::Play;
    // Nothing to undo yet, and no command in play mode.
    d.ShowHistoryButtons();

    // The first level; without one, the new-level dialog.
    if (d.LoadLevelCommand() == Flow::Abort) {
        const int status = d.exitStatus;
        d.Shutdown();
        return status;
    }
    windows.Use(panel::kMainWindow);
    return 0;
}

}  // namespace tessaron::app
