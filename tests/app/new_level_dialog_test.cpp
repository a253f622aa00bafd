// The new-level dialog "Einstellungen", driven through its real widgets from start-up (the load
// requester cancelled, as a new user would).
#include <string>

#include <gtest/gtest.h>

#include "app/new_level_dialog.h"
#include "app_test_support.h"

namespace tessaron::app::testing {
namespace {

struct DialogCase {
    const char* width;
    const char* height;
    const char* shownProduct;
    bool accepted;
};

class NewLevelDialogTable : public ProgramTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(NewLevelDialogTable, CreatesOnlyAcceptableSizes) {
    const DialogCase c = GetParam();
    std::string shown;
    driver_.modal.push_back([&] { program_->Windows().TypeText(1, c.width); });
    driver_.modal.push_back([&] { program_->Windows().TypeText(2, c.height); });
    driver_.modal.push_back([&] {
        shown = program_->Windows().Text(3);
        program_->Windows().Press(5);
    });
    const int status = Start();
    EXPECT_EQ(shown, c.shownProduct);
    const level::Level& level = program_->State().level;
    if (c.accepted) {
        ASSERT_EQ(status, 0);
        EXPECT_FALSE(program_->Windows().IsOpen(3));
        EXPECT_EQ(level.levelWidth, std::stoi(c.width));
        EXPECT_EQ(level.levelHeight, std::stoi(c.height));
        ASSERT_EQ(level.elements.size(), std::size_t(level.levelWidth * level.levelHeight));
        // The fresh grid: empty air with link -1, one brick at column 13, row 15.
        const level::Element& brick =
            level.elements[std::size_t((15 - 1) * level.levelWidth + (13 - 1))];
        EXPECT_EQ(brick.kind, 1001.0f);
        EXPECT_EQ(level.elements.front().kind, 1000.0f);
        EXPECT_EQ(level.elements.front().link, -1.0f);
        EXPECT_EQ(level.triggeredLink, -1);
        EXPECT_EQ(level.viewX, -10.0f);
        EXPECT_EQ(level.viewY, -100.0f);
    } else {
        // Refused: the dialog waited on for input the test did not give, and the run ended.
        EXPECT_EQ(status, 3);
        EXPECT_EQ(level.levelWidth, 0);
        EXPECT_TRUE(level.elements.empty());
        EXPECT_EQ(driver_.modalWindows.back(), "Einstellungen");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, NewLevelDialogTable,
    ::testing::Values(
        DialogCase{"20", "20", "400", true}, DialogCase{"149", "200", "29800", true},
        DialogCase{"150", "200", "30000", false}, DialogCase{"19", "100", "1900", false},
        DialogCase{"100", "19", "1900", false}, DialogCase{"200", "151", "30200", false},
        // Narrow enough in cells, but wider than a level file can hold.
        DialogCase{"1499", "20", "29980", false}, DialogCase{"300", "99", "29700", true},
        DialogCase{"301", "20", "6020", false},
        // A product beyond 32 bits must not wrap into an acceptable number.
        DialogCase{"65536", "65536", "4294967296", false}));

using NewLevelDialog = ProgramTest;

TEST_F(NewLevelDialog, WidthAloneIsRefusedAndTheDialogWaitsOn) {
    std::string firstShown;
    auto windows = [this]() -> runtime::Windows& { return program_->Windows(); };
    driver_.modal.push_back([&] { windows().TypeText(1, "50"); });
    driver_.modal.push_back([&] {
        firstShown = windows().Text(3);
        windows().Press(5);
    });
    driver_.modal.push_back([&] { windows().TypeText(2, "40"); });
    driver_.modal.push_back([&] { windows().Press(5); });
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(firstShown, "0");
    EXPECT_EQ(program_->State().level.levelWidth, 50);
    EXPECT_EQ(program_->State().level.levelHeight, 40);
}

TEST_F(NewLevelDialog, OpensAtItsPlaceAndIgnoresCloseBoxAndToolbar) {
    int x = 0, y = 0;
    bool openAfterClose = false;
    driver_.modal.push_back([&] {
        runtime::Windows& windows = program_->Windows();
        x = windows.X();
        y = windows.Y();
        windows.TypeText(1, "20");
        windows.TypeText(2, "20");
        windows.Queue(runtime::Event{runtime::EventCode::Close, 0, 3});
        // The main window's toolbar shares the numbers 1 to 5 with the dialog's controls. Its
        // button 5 is greyed while the dialog is open; its event is queued as if it came anyway.
        windows.Queue(runtime::Event{runtime::EventCode::Toolbar, 5, 2});
    });
    driver_.modal.push_back([&] {
        openAfterClose = program_->Windows().IsOpen(3);
        program_->Windows().Press(5);
    });
    ASSERT_EQ(Start(), 0);
    EXPECT_EQ(x, 200);
    EXPECT_EQ(y, 200);
    EXPECT_TRUE(openAfterClose);
    EXPECT_EQ(program_->State().level.levelWidth, 20);
}

TEST(NewLevelSize, ProductIsTrueAndReadBackClamped) {
    EXPECT_EQ(NewLevelProductText("", ""), "0");
    EXPECT_EQ(NewLevelProductText("99999", "99999"), "9999800001");
    EXPECT_FALSE(NewLevelAccepted("99999", "99999", "9999800001"));
    // The test takes the product as shown, not as it would be now.
    EXPECT_TRUE(NewLevelAccepted("100", "100", "0"));
    EXPECT_FALSE(NewLevelAccepted("100", "100", "30000"));
}

}  // namespace
}  // namespace tessaron::app::testing
