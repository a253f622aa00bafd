#include "editor/editor_test_support.h"

#include <unistd.h>
#include <cstdio>
#include <memory>
#include <string>

#include "editor/controls.h"
#include "editor/panel_commands.h"
#include "level/element.h"
#include "render/test_pictures.h"
#include "runtime/files.h"

namespace tessaron::editor::testing {

namespace {

struct Machine {
    std::filesystem::path root;
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::Windows> windows;
    std::unique_ptr<runtime::PlayScreen> screen;
};
Machine* g = nullptr;

constexpr int kWindow = 2;

}  // namespace

bool StartMachine(int* argc, char** argv) {
    g = new Machine;
    g->root =
        std::filesystem::temp_directory_path() / ("tessaron-editor-" + std::to_string(::getpid()));
    std::filesystem::remove_all(g->root);
    std::filesystem::create_directories(g->root / "LEVEL" / "Werte");
    // Backgrounds and kinds in colours the preview test can tell apart.
    tessaron::test::WriteBitmap(g->root / "BMP" / "100.bmp", 40, 40,
                                tessaron::test::Solid({0, 0, 200}));
    tessaron::test::WriteBitmap(g->root / "BMP" / "1001.bmp", 40, 40,
                                tessaron::test::Solid({200, 0, 0}));
    g->folder = std::make_unique<runtime::GameFolder>(g->root);
    g->machine = std::make_unique<runtime::Machine>(*g->folder);
    if (!g->machine->StartScreen({true, argc, argv})) {
        std::fprintf(stderr, "set-up failed: the machine did not start\n");
        return false;
    }
    g->windows = std::make_unique<runtime::Windows>(*g->machine);
    g->screen = std::make_unique<runtime::PlayScreen>(*g->machine);
    g->screen->SetBlendedFiltering(true);
    for (int sprite : {100, 1001}) {
        if (!g->screen->LoadSprite(sprite, "BMP\\" + std::to_string(sprite) + ".bmp") ||
            !g->screen->CreateBlendedSprite(sprite, sprite)) {
            std::fprintf(stderr, "set-up failed: sprite %d\n", sprite);
            return false;
        }
    }
    return true;
}

void EndMachine() {
    g->screen.reset();
    g->windows.reset();
    g->machine->End();
    std::filesystem::remove_all(g->root);
}

const std::filesystem::path& Root() {
    return g->root;
}
runtime::GameFolder& Folder() {
    return *g->folder;
}
runtime::Windows& TestWindows() {
    return *g->windows;
}
runtime::PlayScreen& TestScreen() {
    return *g->screen;
}

void OpenSidePanel() {
    using namespace control;
    using runtime::TextFieldFlags;
    runtime::Windows& w = *g->windows;
    if (w.IsOpen(kWindow)) {
        w.Close(kWindow);
    }
    w.Open(kWindow, 0, 0, 1280, 768, runtime::WindowStyle::Borderless, "Tessaron");
    w.ComboBox(kValueDisplay, 20, 60, 210, 200);
    for (const char* row : {"Nichts", "Verbindungsnummer", "Verschiebungslänge",
                            "Verschiebungsgeschw.", "1.Pause & 2.Pause"}) {
        w.AddRow(kValueDisplay, row);
    }
    w.ListBox(kElementList, 20, 120, 190, 160);
    for (const level::PaletteEntry& entry : level::kPalette) {
        w.AddRow(kElementList, entry.label);
    }
    w.Option(kAir, 20, 300, 90, 20, "Luft");
    w.Option(kWater, 110, 300, 90, 20, "Wasser");
    int y = 360;
    for (int field : kPresetFields) {
        w.TextField(field, 170, y, 40, 20, "0", TextFieldFlags::DigitsOnly);
        y += 22;
    }
    w.PushButton(kSavePresetButton, 20, 560, 100, 20, "Werte speichern");
    w.ListBox(kPresetList, 20, 580, 210, 40);
    runtime::DirectoryListing listing(*g->folder);
    RefillPresetList(w, listing);
    w.TrackBar(kBrushTrackBar, 20, 660, 150, 20, kSmallestBrush, kLargestBrush);
    w.TextField(kBrushField, 180, 660, 40, 20, "1", TextFieldFlags::DigitsOnly);
    w.CheckBox(kApplyAll, 178, 713, 56, 16, "ALLE", runtime::CheckBoxText::RightAligned);
    for (int box = kApplyKind; box <= kApplyLink; ++box) {
        w.CheckBox(box, 218, 100 + 30 * (box - kApplyKind), 16, 16, "");
        w.SetState(box, 1);
    }
    w.SetState(kElementList, 0);
    w.SetState(kAir, 1);
    w.SetState(kValueDisplay, 0);
    // The fields' start texts and the rows above are events nobody waits for.
    while (w.Poll().code != runtime::EventCode::None) {
    }
}

}  // namespace tessaron::editor::testing
