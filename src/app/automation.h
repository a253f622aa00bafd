// Where a run's input comes from besides the user's hands, and who watches a run: the hooks
// through which scripted runs, recording and traces attach to the main loop without changing
// what a pass does.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/state.h"
#include "runtime/screen.h"

namespace tessaron::app {

// Feeds a run with actions (a script). The main loop calls it; it acts on the machine layer
// (keys, mouse, controls, queued events) exactly as the user would.
class InputDriver {
  public:
    virtual ~InputDriver() = default;
    enum class Status {
        Ok,
        // A modal window asked for an event and no action was left: the run ends with exit
        // status 3, and Message() names the window.
        NoActionLeft,
        // An action could not be applied (a control that no open window has): exit status 2,
        // and Message() names the script line.
        ScriptError,
    };

    // Before pass `pass` (counted from 1) polls its event: apply that pass's actions in order.
    virtual Status BeforePoll(std::int64_t pass) = 0;
    // A modal window (the new-level dialog, the pause menu; `window` is its title) is about to
    // ask for an event: apply the script's next action, whatever its pass number.
    virtual Status BeforeModalEvent(std::string_view window) = 0;
    virtual std::string Message() const = 0;
    // True when the actions due by pass `pass` could end that pass before its drawing stage:
    // an action that may fail, a command, a close request. Keys and the mouse never do.
    virtual bool MayCutShort(std::int64_t /*pass*/) const { return true; }
    // A window that opens in such a run only where the input answers it (the goal screen) would
    // wait for one of these buttons: true when the next action that such a window would not
    // drop (mouse moves, clicks and close requests it drops) presses one of them.
    virtual bool WillPress(std::span<const int> /*buttons*/) const { return false; }
};

// Watches a run. Every call has a default that does nothing.
class RunObserver {
  public:
    virtual ~RunObserver() = default;
    // An event was taken off the queue, in a pass or by a modal window during that pass.
    virtual void OnEvent(std::int64_t /*pass*/, const runtime::Event& /*event*/) {}
    // The keyboard stage took its snapshot.
    virtual void OnKeyboardSnapshot(std::int64_t /*pass*/, const runtime::Keyboard& /*keys*/) {}
    // A file requester answered (empty: cancelled).
    virtual void OnRequesterAnswer(std::string_view /*path*/) {}
    // A question was answered with the button of this text (empty: nobody answered).
    virtual void OnQuestionAnswer(std::string_view /*button*/) {}
    // The pass ended, also when a load or a new level cut it short.
    virtual void OnPassEnd(std::int64_t /*pass*/, const GameState& /*state*/) {}
};

}  // namespace tessaron::app
