// Moving elements, links and switches: the triggers that the player's contacts fire, and the
// element update pass that moves every element once per play pass.
#pragma once

#include "game/events.h"
#include "level/level.h"
#include "runtime/files.h"

namespace tessaron::game {

// One speed unit moves an element 1/100 cell per pass.
inline constexpr float kSpeedUnitsPerCell = 100.0f;

// A sensor the lowered player mask touches triggers its link for this pass.
void SensorTrigger(const level::Element& element, level::Level& level);

// A switch the vertical pass finds under (or over) the ball sinks and triggers its link.
void SwitchPress(level::Element& element, level::Level& level);

// One element update pass over the whole list, in list order: starts, the switch's own travel,
// link starts, going out, coming back, the pauses at both ends, and the torches' flicker (which
// draws from `random`, two numbers at most per torch). An element on the screen that sets off on
// its path is noted in `events`, when given.
void UpdateElements(level::Level& level, runtime::Random& random, PassEvents* events = nullptr);

// The update of one element with the trigger of the pass (-1 for none, as a float): what the
// update pass does to each element it visits.
void UpdateElement(level::Element& element, float triggered, runtime::Random& random);

// The torch step for one element: 3011 may become 3012, then 3012 may become 3011.
void TorchStep(level::Element& element, runtime::Random& random);

}  // namespace tessaron::game
