// Which passes draw their frame when a run keeps only the last one.
#include "app/program_internal.h"

namespace tessaron::app {

bool Program::Impl::FrameWanted(std::int64_t pass) const {
    if (!options.drawFrames) {
        return false;
    }
    if (!options.drawOnlyKeptFrames || (options.passes > 0 && pass >= options.passes)) {
        return true;
    }
    // The next pass shows this frame and draws its own over it, unless it ends before its
    // drawing stage: the pause menu (Escape released), a load (F6 released, or the toolbar's
    // new and open buttons), a close request in the editor, or the driver's actions. Only then
    // can this frame be the run's last.
    // The goal taken in this pass may open the goal screen after it, which may end the run.
    if (passEvents.Happened(game::GameEvent::GoalTaken)) {
        return true;
    }
    if (keys->SeenDown(runtime::Key::Escape) || keys->SeenDown(runtime::Key::F6)) {
        return true;
    }
    if (state.loop.mode == level::Mode::Editor && (windows->Queued(runtime::EventCode::Toolbar) ||
                                                   windows->Queued(runtime::EventCode::Close))) {
        return true;
    }
    return hooks.driver == nullptr || hooks.driver->MayCutShort(pass + 1);
}

}  // namespace tessaron::app
