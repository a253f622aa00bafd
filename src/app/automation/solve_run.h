// The automatic player's run: `tessaron --solve LEVEL --replay OUT`. It loads the level as a
// player does at start-up, searches the keys for a run that takes the goal, shortens it, checks
// it with the real main loop and writes it as a script that a scripted run replays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/automation/script.h"
#include "app/options.h"
#include "solver/runs.h"

namespace tessaron::app {

// The exit status: 0 a run that takes the goal was found; 1 none was found in time (OUT holds
// the run to the most points); 2 a bad option, an unreadable level or a level without a goal.
int RunSolve(const Options& options, int& argc, char** argv);

// The key actions that hold the plan's keys: before pass P, a key goes down where pass P holds
// it and pass P - 1 did not, and up the other way round.
std::vector<Action> KeyActions(const solver::KeyPlan& plan);

}  // namespace tessaron::app
