// Start-up: the machine layer's checks, the main window, the pictures, sound and font, the start
// values and the first level.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/program_internal.h"
#include "app/side_panel.h"
#include "level/level_file.h"
#include "level/presets.h"
#include "render/pictures.h"

namespace tessaron::app {

namespace {

constexpr const char* kSoundFile = "WAV\\Punkte.wav";

}  // namespace

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

void Program::Impl::UseFolders(const std::filesystem::path& programFolder) {
    listing.reset();
    files.reset();
    folders = ChooseFolders(options.gameDir, programFolder, UserFoldersFromEnvironment());
    folder = std::make_unique<runtime::GameFolder>(folders.Folder());
    files = std::make_unique<runtime::Files>(*folder);
    listing = std::make_unique<runtime::DirectoryListing>(*folder);
}

int Program::Impl::StartMachine(int& argc, char** argv) {
    if (options.gameDir.empty()) {
        // argv[0] is known only now; it helps where the kernel's link is missing.
        UseFolders(ProgramFolder(argv));
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
    machine->UseDesktopEntry(TESSARON_APP_ID);
    windows = std::make_unique<runtime::Windows>(*machine);
    if (!machine->StartKeyboard()) {
        return Fail("Can't open DirectX 7 Or later", true);
    }
    if (!machine->StartSound()) {
        return Fail("Can't initialize movie playback !", true);
    }
    // Pads play along in interactive runs; scripted runs take their input from the script
    // alone. Without the controller layer the keyboard still plays.
    if (!options.headless) {
        machine->StartGamepads();
        // Ctrl+C in the terminal, or the session's end, ends an interactive run as "BEENDEN"
        // does, so that its trace and recording are written.
        machine->CatchStopSignals();
    }
    screen = std::make_unique<runtime::PlayScreen>(*machine);
    keys = std::make_unique<runtime::Keyboard>(*machine);
    sound = std::make_unique<runtime::Sound>(*machine);
    return 0;
}

void Program::Impl::NoteUnloaded(std::vector<std::string>& unloaded, std::string_view path,
                                 const std::string& problem) const {
    const std::string line =
        folder->ResolveShared(runtime::FixedPath(path)).string() + ": " + problem;
    if (std::find(unloaded.begin(), unloaded.end(), line) == unloaded.end()) {
        unloaded.push_back(line);
    }
}

void Program::Impl::LoadPictures(std::vector<std::string>& unloaded) {
    // A picture that cannot be loaded leaves its sprite undefined; it then draws nothing.
    for (const render::UnloadedPicture& picture : render::LoadPictures(*screen)) {
        NoteUnloaded(unloaded, picture.path, picture.problem);
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
    // Saves that an earlier run left half-written when it was killed go before anything lists
    // the folders.
    for (const char* saved : {"", level::kLevelDirectory, level::presets::kDirectory}) {
        runtime::RemoveLeftoverSaves(d.folder->ResolveExisting(runtime::FixedPath(saved)));
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

    // An installed copy keeps the player's levels and saves in a folder of the player's own,
    // made at the first start; shipped levels and presets it lacks are copied in. A file that
    // cannot be copied is reported with the pictures below; the game starts with the others.
    const DataFolderReport prepared = app::PrepareDataFolder(d.folders);
    if (!prepared.Ready()) {
        return d.Fail("Der Ordner für Level und Spielstände kann nicht angelegt werden:\n" +
                          prepared.folder.string() + ": " + prepared.reason,
                      true);
    }

    // The game folder is known for good only now.
    d.savePointFile = std::make_unique<game::SavePointFile>(*d.files);
    d.savePoints = d.hooks.savePoints != nullptr ? d.hooks.savePoints : d.savePointFile.get();

    runtime::Windows& windows = *d.windows;
    // With a display the player sizes the window and may make it fullscreen; scripted runs keep
    // the window at the size their pictures are taken at.
    if (!BuildMainWindow(windows, *d.listing,
                         d.options.headless ? runtime::WindowStyle::Borderless
                                            : runtime::WindowStyle::Resizable)) {
        return d.Fail("Das Hauptfenster konnte nicht geöffnet werden.", true);
    }
    // A screen that cannot be placed in the window goes unnoticed, as it always did: the
    // program runs on and shows nothing.
    d.screen->AttachTo(windows, panel::kMainWindow, panel::kSidePanelWidth, 0);
    windows.Use(panel::kMainWindow);
    // Play mode shows the play screen alone; the window has the size and state it last had.
    windows.ShowControls(false);
    if (!d.options.headless) {
        // The window's size and state beside the player's other settings.
        if (const std::filesystem::path settings = sounds::ConfigFolderFromEnvironment();
            !settings.empty()) {
            windows.RememberPlacement(settings / "window.conf");
        }
    }
    windows.Activate();

    // The game goes on without what cannot be loaded, but says so once.
    std::vector<std::string> unloaded;
    d.LoadPictures(unloaded);
    // The game tests its contacts on the pictures' masks, made as they were loaded.
    d.masks = d.screen->Masks();
    std::string problem;
    if (!d.sound->Load(1, kSoundFile, &problem)) {
        d.NoteUnloaded(unloaded, kSoundFile, problem);
    }
    if (d.Interactive()) {
        d.soundDesk.Load(*d.sound, sounds::ConfigFolderFromEnvironment(),
                         [&](std::string_view path, const std::string& why) {
                             d.NoteUnloaded(unloaded, path, why);
                         });
    }
    render::LoadLabelFont(*d.screen);
    ShowElementPictures(windows, *d.screen);
    std::string text;
    if (!unloaded.empty()) {
        text = "Diese Bilder und Klänge konnten nicht geladen werden:";
        for (const std::string& line : unloaded) {
            text += "\n" + line;
        }
    }
    if (!prepared.uncopied.empty()) {
        text += std::string(text.empty() ? "" : "\n\n") +
                "Diese Level und Werte konnten nicht in den Ordner für Level und Spielstände "
                "kopiert werden:";
        for (const std::string& line : prepared.uncopied) {
            text += "\n" + line;
        }
    }
    if (!text.empty()) {
        windows.MessageBox("Error", text);
        windows.Use(panel::kMainWindow);
    }

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
