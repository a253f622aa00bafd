// The player tests share one play screen; the offscreen platform is chosen when no platform is.
#include <gtest/gtest.h>

#include <cstdlib>

#include "player_world.h"

int main(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    if (!tessaron::game::testing::MakeMachinery(&argc, argv)) {
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    tessaron::game::testing::EndMachinery();
    return result;
}
