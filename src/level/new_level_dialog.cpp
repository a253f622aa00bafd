#include "level/new_level_dialog.h"

#include <utility>

#include "level/level_file.h"
#include "runtime/files.h"

namespace tessaron::level {

namespace nld = new_level_dialog;
using runtime::NumberFromText;

std::string NewLevelProductText(std::string_view widthText, std::string_view heightText) {
    // Each number fits in 32 bits (reading clamps), so their product fits in 64.
    const std::int64_t width = NumberFromText(widthText);
    const std::int64_t height = NumberFromText(heightText);
    return runtime::DecimalText(width * height);
}

bool NewLevelAccepted(std::string_view widthText, std::string_view heightText,
                      std::string_view shownProductText) {
    const std::int32_t width = NumberFromText(widthText);
    const std::int32_t height = NumberFromText(heightText);
    // A shown product beyond the 32-bit range reads clamped to its top, which is refused too.
    const std::int32_t product = NumberFromText(shownProductText);
    return product < nld::kProductLimit && width >= nld::kMinimumSide &&
           height >= nld::kMinimumSide && width <= level_file::kMaxColumns;
}

namespace {

void OpenDialogWindow(runtime::Windows& windows) {
    using runtime::TextFieldFlags;
    windows.Open(nld::kWindow, 200, 200, 250, 180, runtime::WindowStyle::Dialog, nld::kTitle);
    windows.Label(0, 20, 20, 120, 20, "x-Länge");
    windows.Label(0, 20, 60, 120, 20, "y-Länge");
    windows.Label(0, 20, 100, 120, 20, "x*y < 30000");
    windows.TextField(nld::kWidthField, 140, 20, 90, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(nld::kHeightField, 140, 60, 90, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(nld::kProductField, 140, 100, 90, 20, "0", TextFieldFlags::ReadOnly);
    windows.PushButton(nld::kCreateButton, 20, 140, 210, 20, "Erstellen");
    windows.Activate();
}

}  // namespace

NewLevelResult RunNewLevelDialog(Level& level, runtime::Windows& windows,
                                 const NewLevelEventSource& nextEvent, NewLevelExit exit) {
    OpenDialogWindow(windows);
    for (;;) {
        // The dialog takes the focus back before every wait.
        windows.Use(nld::kWindow);
        windows.Activate();
        const std::optional<runtime::Event> event = nextEvent();
        if (!event) {
            windows.Close(nld::kWindow);
            return NewLevelResult::Abandoned;
        }
        // Its close box (or Escape) leaves it, where a level is there to go back to.
        if (event->code == runtime::EventCode::Close && event->window == nld::kWindow &&
            exit == NewLevelExit::MayClose) {
            windows.Close(nld::kWindow);
            return NewLevelResult::Cancelled;
        }
        // Only the dialog's own controls count. Toolbar buttons of the main window share the
        // numbers 1 to 5 with these controls, but pressing one must not create a level.
        if (event->code != runtime::EventCode::Control) {
            continue;
        }
        const int n = event->number;
        if (n == nld::kCreateButton) {
            const std::string widthText = windows.Text(nld::kWidthField);
            const std::string heightText = windows.Text(nld::kHeightField);
            if (!NewLevelAccepted(widthText, heightText, windows.Text(nld::kProductField))) {
                continue;
            }
            level.levelWidth = NumberFromText(widthText);
            level.levelHeight = NumberFromText(heightText);
            windows.Close(nld::kWindow);
            ElementList grid;
            BuildFreshGrid(grid, level.levelWidth, level.levelHeight);
            ReplaceElements(level, std::move(grid));
            // A new level has no file yet, so no start of its own.
            level.fileStart.reset();
            level.placedStart.reset();
            level.triggeredLink = -1;
            return NewLevelResult::Created;
        }
        if (n < nld::kCreateButton) {
            const std::string product = NewLevelProductText(windows.Text(nld::kWidthField),
                                                            windows.Text(nld::kHeightField));
            // Setting the field reports a change of it, which lands here again: write only
            // when the text differs, so the two do not chase each other.
            if (windows.Text(nld::kProductField) != product) {
                windows.SetText(nld::kProductField, product);
            }
        }
    }
}

}  // namespace tessaron::level
