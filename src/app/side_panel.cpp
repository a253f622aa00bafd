#include "app/side_panel.h"

#include <cstdint>
#include <vector>

#include "editor/panel_commands.h"
#include "level/element.h"

namespace tessaron::app {

using runtime::TextFieldFlags;

namespace {

void BuildToolbar(runtime::Windows& windows) {
    using runtime::StandardIcon;
    windows.Toolbar();
    windows.ToolbarButton(panel::kNewLevelButton, StandardIcon::NewFile, "Neues Level");
    windows.ToolbarButton(panel::kLoadButton, StandardIcon::OpenFile, "Level laden");
    windows.ToolbarButton(panel::kSaveButton, StandardIcon::SaveFile, "Level speichern");
    windows.ToolbarSeparator();
    windows.ToolbarButton(panel::kUndoButton, StandardIcon::Undo, "Rückgängig");
    windows.ToolbarButton(panel::kRedoButton, StandardIcon::Redo, "Wiederholen");
    windows.SetToolbarButtonKeys(panel::kUndoButton, runtime::CommandKeys::Undo);
    windows.SetToolbarButtonKeys(panel::kRedoButton, runtime::CommandKeys::Redo);
    windows.ToolbarSeparator();
    // The map's commands have keys but no button.
    windows.SetCommandKeys(editor::map_command::kCopy, runtime::CommandKeys::Copy);
    windows.SetCommandKeys(editor::map_command::kCut, runtime::CommandKeys::Cut);
    windows.SetCommandKeys(editor::map_command::kPaste, runtime::CommandKeys::Paste);
    windows.SetCommandKeys(editor::map_command::kDelete, runtime::CommandKeys::Delete);
}

void BuildControls(runtime::Windows& windows, runtime::DirectoryListing& listing) {
    using namespace panel;
    constexpr auto kDigits = TextFieldFlags::DigitsOnly;

    windows.Frame(kFrame, 10, 40, 230, 50, "Wertanzeige");
    windows.ComboBox(kValueDisplay, 20, 60, 210, 200);
    for (const char* row : {"Nichts", "Verbindungsnummer", "Verschiebungslänge",
                            "Verschiebungsgeschw.", "1.Pause & 2.Pause"}) {
        windows.AddRow(kValueDisplay, row);
    }

    windows.Frame(kFrame, 10, 100, 230, 230, "Elemente");
    windows.ListBox(kElementList, 20, 120, 190, 160);
    for (const level::PaletteEntry& entry : level::kPalette) {
        windows.AddRow(kElementList, entry.label);
    }
    windows.Frame(kFrame, 10, 290, 230, 40, "", runtime::FrameStyle::Sunken);
    windows.Option(kAir, 20, 300, 90, 20, "Luft");
    windows.Option(kWater, 110, 300, 90, 20, "Wasser");

    windows.Frame(kFrame, 10, 340, 230, 290, "Verknüpfungen & Bewegungen");
    windows.Label(kSpeedLabel, 20, 380, 120, 30,
                  "Verschiebungsgeschw. (in_Pixel_;_!nicht_schräg!)");
    windows.TextField(kSpeedUp, 170, 365, 20, 20, "0", kDigits);
    windows.TextField(kSpeedLeft, 150, 385, 20, 20, "0", kDigits);
    windows.TextField(kSpeedRight, 190, 385, 20, 20, "0", kDigits);
    windows.TextField(kSpeedDown, 170, 405, 20, 20, "0", kDigits);
    windows.Label(kLengthLabel, 20, 430, 150, 30, "Verschiebungslänge (in_Kästchen)");
    windows.TextField(kLength, 170, 435, 40, 20, "0", kDigits);
    windows.Label(kPause1Label, 20, 460, 150, 30,
                  "1.Pause nach Versch. (in_Schleifen_;_0=unendlich)");
    windows.TextField(kPause1, 170, 465, 40, 20, "0", kDigits);
    windows.Label(kPause2Label, 20, 490, 150, 30,
                  "2.Pause nach Versch. (in_Schleifen_;_0=unendlich)");
    windows.TextField(kPause2, 170, 495, 40, 20, "0", kDigits);
    windows.Label(kLinkLabel, 20, 520, 150, 30, "Verbindungsnummer (0=ohne_Schalter)");
    windows.TextField(kLink, 170, 525, 40, 20, "0", kDigits);
    windows.PushButton(kSavePresetButton, 20, 560, 100, 20, "Werte speichern");
    windows.Label(kPresetLabel, 130, 563, 90, 20, "Gesp.Einst.:");
    windows.ListBox(kPresetList, 20, 580, 210, 40);
    editor::RefillPresetList(windows, listing);

    windows.Frame(kFrame, 10, 640, 230, 50, "Pinselgröße");
    // The track bar starts at its minimum, 1, and the field beside it shows that.
    windows.TrackBar(kBrushTrackBar, 20, 660, 150, 20, 1, 8);
    windows.TextField(kBrushField, 180, 660, 40, 20, "1", kDigits);
    windows.CheckBox(kApplyAll, 178, 713, 56, 16, "ALLE", runtime::CheckBoxText::RightAligned);
    windows.CheckBox(kApplyKind, 218, 123, 16, 16, "");
    windows.CheckBox(kApplyBackground, 218, 303, 16, 16, "");
    windows.CheckBox(kApplySpeed, 218, 388, 16, 16, "");
    windows.CheckBox(kApplyLength, 218, 438, 16, 16, "");
    windows.CheckBox(kApplyPause1, 218, 468, 16, 16, "");
    windows.CheckBox(kApplyPause2, 218, 498, 16, 16, "");
    windows.CheckBox(kApplyLink, 218, 528, 16, 16, "");
}

void SetInitialStates(runtime::Windows& windows) {
    using namespace panel;
    for (int box = kApplyKind; box <= kApplyLink; ++box) {
        windows.SetState(box, 1);
    }
    windows.SetState(kElementList, 0);
    windows.SetState(kAir, 1);
    windows.SetState(kValueDisplay, 0);
    for (int field :
         {kSpeedDown, kSpeedLeft, kSpeedRight, kSpeedUp, kLength, kPause1, kPause2, kLink}) {
        windows.SetText(field, "0");
    }
}

}  // namespace

bool BuildMainWindow(runtime::Windows& windows, runtime::DirectoryListing& listing,
                     runtime::WindowStyle style) {
    if (!windows.Open(panel::kMainWindow, -panel::kSidePanelWidth, 0, panel::kMainWindowWidth,
                      panel::kMainWindowHeight, style, "Tessaron")) {
        return false;
    }
    BuildToolbar(windows);
    BuildControls(windows, listing);
    SetInitialStates(windows);
    return true;
}

void ShowElementPictures(runtime::Windows& windows, const runtime::PlayScreen& screen) {
    std::vector<std::uint32_t> pixels;
    for (std::size_t row = 0; row < level::kPalette.size(); ++row) {
        // Each kind's code is the number of the sprite that draws it.
        const int sprite = static_cast<int>(level::kPalette[row].kind);
        if (screen.CopySprite(sprite, pixels)) {
            windows.SetRowPicture(panel::kElementList, static_cast<int>(row),
                                  screen.SpriteWidth(sprite), screen.SpriteHeight(sprite), pixels);
        }
    }
}

}  // namespace tessaron::app
