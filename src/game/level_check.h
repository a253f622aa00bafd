// The mistakes of a level that the game accepts without a word and an author finds only by
// playing: found from the level alone. Nothing here needs a screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "level/level.h"

namespace tessaron::game {

enum class Problem {
    NoGoal,               // no "Ziel" anywhere: the level cannot be finished
    StartOutside,         // the ball's start point lies outside the level
    StartInSolid,         // the ball's start point lies inside a solid element
    UnknownKind,          // a kind code the editor does not offer and the game never makes
    UnknownBackground,    // a backdrop that is neither air nor water: the cell shows black
    StillDisplacement,    // a length without a speed, or a speed without a length
    BothAxes,             // a displacement along both axes, which does not come back home
    PathLeavesLevel,      // the far end of a displacement lies outside the level
    NoLinkNumber,         // a displacement with link -1, which sets off at once and stays out
    LinkWithoutTrigger,   // a displacement waiting for a link that no switch or sensor carries
    TriggerMovesNothing,  // a switch or sensor whose link number no displacement carries
    OpenBorder,           // border cells the ball can pass: it leaves the level and falls for ever
};

struct Finding {
    // The element's home cell; 0 0 for the level as a whole.
    std::int32_t column = 0;
    std::int32_t row = 0;
    Problem problem = Problem::NoGoal;
    // One English sentence naming the element: "Holz at 12 7: link 5 has no switch or sensor".
    std::string text;
};

// Every finding of the level: those of the level as a whole and of its border first, then those
// of its elements in list order. Empty for a level without mistakes.
std::vector<Finding> CheckLevel(const level::Level& level);

// The finding as one line of text, without a line end: "COLUMN ROW: text".
std::string FindingLine(const Finding& finding);

}  // namespace tessaron::game
