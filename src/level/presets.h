// Movement presets: the eight texts of the side panel's movement fields, kept under a name as
// a small text file in the preset directory, one line each, ended by carriage return and line
// feed. This half knows only files and texts; which field a line belongs to is the editor's.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/files.h"
#include "runtime/requesters.h"

namespace tessaron::level {

namespace presets {
// The preset directory as the game names it, relative to the game folder.
inline constexpr const char* kDirectory = "LEVEL\\Werte";
inline constexpr const char* kRequesterTitle = "Werte speichern";
inline constexpr const char* kPattern = "*.TXT";
// A saved name ends in exactly this (".txt" does not count).
inline constexpr const char* kSaveExtension = ".TXT";
// A chosen preset is opened under its listed name with this; the game folder's case-blind
// lookup finds the ".TXT" that saving appends.
inline constexpr const char* kOpenExtension = ".txt";
inline constexpr int kFile = 1;
inline constexpr int kListing = 1;
inline constexpr int kLineCount = 8;
}  // namespace presets

// The lines of a preset in file order: link number, downward, leftward, rightward and upward
// speed, displacement length, first pause, second pause.
using PresetTexts = std::array<std::string, presets::kLineCount>;

enum class PresetSaveResult {
    Saved,
    Cancelled,  // the requester was cancelled; nothing written
    Failed,     // the file could not be written; an earlier file of that name is intact
};

struct PresetSave {
    PresetSaveResult result = PresetSaveResult::Cancelled;
    std::string path;     // the name written (or tried), with its extension
    std::string problem;  // why it could not be written
};

// The path as saving takes it: ".TXT" appended unless the last four characters are exactly
// that. A cancelled requester (an empty answer) gives ".TXT" alone.
std::string WithPresetExtension(std::string path);

// Creates (or replaces) the file at path with the eight lines. False when it could not be
// written completely; an earlier file of that name is then kept.
bool WritePresetFile(const PresetTexts& texts, runtime::Files& files, const std::string& path);

// Shows the "Werte speichern" requester in the preset directory and writes the preset under the
// chosen name with the extension rule above.
PresetSave SavePreset(const PresetTexts& texts, runtime::Files& files,
                      runtime::Requesters& requesters, const runtime::GameFolder& folder);

// The names the preset list shows: every file of the preset directory (directories left out)
// in the listing's order, each without its last four characters, whatever they are. Empty when
// the directory is missing.
std::vector<std::string> ListPresetNames(runtime::DirectoryListing& listing);

// Reads the preset listed under name: the file name + ".txt" in the preset directory. Lines end
// at a line feed, a zero byte or a carriage return (which takes the byte after it along); lines
// past the end of the file read as empty. Nothing when the file cannot be opened.
std::optional<PresetTexts> ReadPreset(std::string_view name, runtime::Files& files);

}  // namespace tessaron::level
