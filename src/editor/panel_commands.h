// The editor stage of a pass: the commands of the side panel's controls, and the read-out that
// turns the panel's state into the paint settings and greys the fields a paint would not write.
#pragma once

#include "editor/paint_settings.h"
#include "level/element.h"
#include "runtime/files.h"
#include "runtime/screen.h"

namespace tessaron::editor {

// What the preset commands use besides the windows.
struct PresetServices {
    runtime::Files& files;
    runtime::DirectoryListing& listing;
    runtime::Requesters& requesters;
    const runtime::GameFolder& folder;
};

// Runs the command of a control event: "ALLE", "Werte speichern", the preset list, the brush
// track bar and its number field. Every other control has none; its state is read out below.
void RunControlCommand(int control, runtime::Windows& windows, const PresetServices& services);

// "ALLE": the seven apply boxes take its state, in their order.
void ApplyAllCommand(runtime::Windows& windows);

// "Werte speichern": writes the eight movement fields as a preset under the name the requester
// gives, then refills the preset list (also when the requester was cancelled). A preset that
// could not be written is reported in a message box titled "Error".
void SavePresetCommand(runtime::Windows& windows, const PresetServices& services);

// The preset list's event: the preset of the selected row fills the eight movement fields.
// Without a selection, or when the preset cannot be opened, nothing changes.
void LoadPresetCommand(runtime::Windows& windows, runtime::Files& files);

// Fills the preset list afresh from the preset directory.
void RefillPresetList(runtime::Windows& windows, runtime::DirectoryListing& listing);

// The track bar's position goes into the number field beside it as decimal text.
void BrushTrackBarCommand(runtime::Windows& windows);
// The number field's value sets the track bar, at the nearer end of 1..8 when outside; the
// field keeps the text as typed.
void BrushFieldCommand(runtime::Windows& windows);

// The picker: the side panel takes the element's kind (where the element list has it), its
// background and its movement and link values, as if the author had chosen them there, so that
// the next paint writes the element's twin. The apply boxes stay as they are.
void PickCommand(runtime::Windows& windows, const level::Element& element);

// Reads the panel into the paint settings and enables or greys the value controls by their
// apply boxes. A setting whose control has no choice (no option chosen, no row selected) keeps
// its value.
void ReadSidePanel(runtime::Windows& windows, PaintSettings& paint);

}  // namespace tessaron::editor
