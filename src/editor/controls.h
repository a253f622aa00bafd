// The numbers of the side panel's controls, as their events report them, and of the map's
// commands. The program builds the controls with these numbers; the editor reads and commands
// them.
#pragma once

#include <array>

namespace tessaron::editor::control {

// Frames and labels that never report events share this number.
inline constexpr int kFrame = 99;

// "Wertanzeige": the value display's drop-down list.
inline constexpr int kValueDisplay = 90;

// "Elemente": the element list and the background options.
inline constexpr int kElementList = 1000;
inline constexpr int kAir = 100;
inline constexpr int kWater = 200;

// "Verknüpfungen & Bewegungen": the speed cross, length, pauses and link number.
inline constexpr int kSpeedLabel = 20;
inline constexpr int kSpeedUp = 28;
inline constexpr int kSpeedLeft = 24;
inline constexpr int kSpeedRight = 26;
inline constexpr int kSpeedDown = 22;
inline constexpr int kLengthLabel = 30;
inline constexpr int kLength = 31;
inline constexpr int kPause1Label = 40;
inline constexpr int kPause1 = 41;
inline constexpr int kPause2Label = 42;
inline constexpr int kPause2 = 43;
inline constexpr int kLinkLabel = 10;
inline constexpr int kLink = 11;

// The movement presets.
inline constexpr int kSavePresetButton = 51;
inline constexpr int kPresetLabel = 50;
inline constexpr int kPresetList = 52;

// "Pinselgröße": the track bar and the number field beside it.
inline constexpr int kBrushTrackBar = 61;
inline constexpr int kBrushField = 62;
inline constexpr int kSmallestBrush = 1;
inline constexpr int kLargestBrush = 8;

// The apply boxes: which fields a paint writes. "ALLE" sets the seven at once.
inline constexpr int kApplyAll = 2000;
inline constexpr int kApplyKind = 2001;
inline constexpr int kApplyBackground = 2002;
inline constexpr int kApplySpeed = 2003;
inline constexpr int kApplyLength = 2004;
inline constexpr int kApplyPause1 = 2005;
inline constexpr int kApplyPause2 = 2006;
inline constexpr int kApplyLink = 2007;

// The eight number fields a movement preset holds, in the order of its lines.
inline constexpr std::array<int, 8> kPresetFields = {kLink,    kSpeedDown, kSpeedLeft, kSpeedRight,
                                                     kSpeedUp, kLength,    kPause1,    kPause2};

}  // namespace tessaron::editor::control

// The map's command keys, by the numbers of their command events.
namespace tessaron::editor::map_command {
inline constexpr int kCopy = 1;    // Ctrl+C
inline constexpr int kCut = 2;     // Ctrl+X
inline constexpr int kPaste = 3;   // Ctrl+V
inline constexpr int kDelete = 4;  // Delete
}  // namespace tessaron::editor::map_command
