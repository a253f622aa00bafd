// Where a run's input comes from besides the user's hands, and who watches a run: the hooks
// through which scripted runs, recording and traces attach to the main loop without changing
// what a pass does.
#pragma once

#include <cstdint>
#include <string_view>

#include "app/state.h"
#include "runtime/screen.h"

namespace tessaron::app {

// Feeds a run with actions (a script). The main loop calls it; it acts on the machine layer
// (keys, mouse, controls, queued events) exactly as the user would.
class InputDriver {
public:
    virtual ~InputDriver() = default;
    // Before pass `pass` (counted from 1) polls its event: apply that pass's actions in order.
    virtual void BeforePoll(std::int64_t pass) = 0;
    // A modal window (the new-level dialog, the pause menu) is about to ask for an event:
    // apply the next action, whatever its pass. False when no action is left; the run then ends
    // with exit status 3, naming the window.
    virtual bool BeforeModalEvent(std::string_view window) = 0;
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
    // The pass ended, also when a load or a new level cut it short.
    virtual void OnPassEnd(std::int64_t /*pass*/, const GameState& /*state*/) {}
};

}  // namespace tessaron::app
