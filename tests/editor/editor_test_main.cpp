// The editor's window tests: one machine started headless for the whole program, under Qt's
// offscreen platform also when started by hand.
#include <cstdlib>

#include <gtest/gtest.h>

#include "editor/editor_test_support.h"

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    ::testing::InitGoogleTest(&argc, argv);
    if (!tessaron::editor::testing::StartMachine(&argc, argv)) {
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    tessaron::editor::testing::EndMachine();
    return result;
}
