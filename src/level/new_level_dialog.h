// The new-level dialog "Einstellungen": asks for a width and a height, shows their product, and
// builds a fresh level when the size is acceptable. It runs its own event loop and is left by
// creating a level, by its close box or Escape where a level is already loaded, or by the
// caller's event source giving up (scripted runs).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "level/level.h"
#include "runtime/screen.h"

namespace tessaron::level {

namespace new_level_dialog {
inline constexpr int kWindow = 3;
inline constexpr int kWidthField = 1;
inline constexpr int kHeightField = 2;
inline constexpr int kProductField = 3;
inline constexpr int kCreateButton = 5;
inline constexpr const char* kTitle = "Einstellungen";
// The label says "x*y < 30000": the product must stay below this.
inline constexpr std::int64_t kProductLimit = 30000;
inline constexpr std::int32_t kMinimumSide = 20;
}  // namespace new_level_dialog

// The text the product field shows for the texts of the width and height fields: the true
// product of the two numbers, in 64 bits, so that it never wraps into a small number.
std::string NewLevelProductText(std::string_view widthText, std::string_view heightText);

// Whether "Erstellen" accepts the fields as they stand: width and height at least 20, the
// product shown below 30000 (a shown product beyond the integer range counts as too large), and
// a width the level file can hold (at most 300 columns).
bool NewLevelAccepted(std::string_view widthText, std::string_view heightText,
                      std::string_view shownProductText);

// Hands the dialog its next event. The dialog makes its window current and active before each
// call. An empty result ends the dialog without a level (a scripted run ran out of input).
using NewLevelEventSource = std::function<std::optional<runtime::Event>()>;

enum class NewLevelResult {
    Created,    // levelWidth, levelHeight, the element list and triggeredLink are new
    Abandoned,  // the event source gave up; the level is as it was
    Cancelled,  // closed without a level; the level is as it was
};

// Whether the dialog may be closed without creating a level: only while one is loaded.
enum class NewLevelExit { CreateOnly, MayClose };

// Opens window 3, runs the dialog until a level is created (or, where it may, the dialog is
// closed), closes the window. Creating a level changes only levelWidth, levelHeight, the element
// list and triggeredLink.
NewLevelResult RunNewLevelDialog(Level& level, runtime::Windows& windows,
                                 const NewLevelEventSource& nextEvent,
                                 NewLevelExit exit = NewLevelExit::CreateOnly);

}  // namespace tessaron::level
