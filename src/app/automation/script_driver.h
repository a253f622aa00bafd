// Drives a run from a script: applies each pass's actions to the machine layer as the user's
// hands would, and feeds the modal windows one action each time they ask for an event.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "app/automation.h"
#include "app/automation/script.h"
#include "app/goal_screen.h"
#include "app/new_level_dialog.h"
#include "app/pause_menu.h"
#include "app/side_panel.h"
#include "runtime/screen.h"

namespace tessaron::app {

// The program's windows: main-window coordinates are measured from the main window; the others
// are the modal windows that can stand in front of it.
inline constexpr int kMainWindow = panel::kMainWindow;
inline constexpr int kNewLevelWindow = new_level_dialog::kWindow;
inline constexpr int kPauseWindow = pause_menu::kWindow;
inline constexpr int kGoalWindow = goal_screen::kWindow;

// Makes a window current for a moment and puts the earlier current window back afterwards.
class UseWindow {
  public:
    UseWindow(runtime::Windows& windows, int number)
        : windows_(windows), saved_(windows.Current()) {
        windows_.Use(number);
    }
    ~UseWindow() {
        if (windows_.IsOpen(saved_)) {
            windows_.Use(saved_);
        }
    }
    UseWindow(const UseWindow&) = delete;
    UseWindow& operator=(const UseWindow&) = delete;

  private:
    runtime::Windows& windows_;
    int saved_;
};

class ScriptDriver : public InputDriver {
  public:
    // The machine layer is reached through these calls because it only exists once start-up
    // has begun, after the driver was made.
    ScriptDriver(Script script, std::function<runtime::Windows&()> windows,
                 std::function<runtime::Keyboard&()> keys);

    Status BeforePoll(std::int64_t pass) override;
    Status BeforeModalEvent(std::string_view window) override;
    std::string Message() const override { return message_; }
    bool MayCutShort(std::int64_t pass) const override;
    bool WillPress(std::span<const int> buttons) const override;

    // What a "wait" action waits for: the editor's reach search.
    void SetWaitForSearch(std::function<void()> wait) { waitForSearch_ = std::move(wait); }

  private:
    Status Apply(const Action& action);
    Status Fail(const Action& action, const std::string& what);
    // Moves the mouse to main-window coordinates, leaving the current window as it was.
    void MoveMouse(runtime::Windows& windows, int x, int y);

    Script script_;
    std::function<runtime::Windows&()> windows_;
    std::function<runtime::Keyboard&()> keys_;
    std::function<void()> waitForSearch_;
    std::size_t next_ = 0;
    std::string message_;
};

}  // namespace tessaron::app
