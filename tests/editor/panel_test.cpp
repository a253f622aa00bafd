// The side panel's commands and read-out on real controls, and the brush preview on the real
// play screen, under the offscreen platform.
#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/brush_preview.h"
#include "editor/controls.h"
#include "editor/editor_test_support.h"
#include "editor/painting.h"
#include "editor/panel_commands.h"
#include "runtime/files.h"
#include "runtime/requesters.h"

namespace tessaron::editor {
namespace {

namespace fs = std::filesystem;
using namespace control;

class SidePanel : public ::testing::Test {
  protected:
    void SetUp() override {
        fs::remove_all(testing::Root() / "LEVEL" / "Werte");
        fs::create_directories(testing::Root() / "LEVEL" / "Werte");
        testing::OpenSidePanel();
    }

    // The command of a control, as the editor stage runs it, then the read-out.
    void Command(int control) {
        RunControlCommand(control, windows, services);
        ReadSidePanel(windows, paint);
    }

    std::vector<std::string> PresetRows() const {
        std::vector<std::string> rows;
        for (int row = 0;; ++row) {
            const std::string text = windows.RowText(kPresetList, row);
            if (text.empty() && windows.RowText(kPresetList, row + 1).empty()) {
                return rows;
            }
            rows.push_back(text);
        }
    }

    runtime::Windows& windows = testing::TestWindows();
    runtime::Files files{testing::Folder()};
    runtime::DirectoryListing listing{testing::Folder()};
    runtime::ScriptedRequesters requesters;
    PresetServices services{files, listing, requesters, testing::Folder()};
    PaintSettings paint;
};

TEST_F(SidePanel, AllBoxSetsTheSevenApplyBoxesAndGreysTheirControls) {
    windows.Press(kApplyAll);  // checked: the seven stay checked
    Command(kApplyAll);
    for (int box = kApplyKind; box <= kApplyLink; ++box) {
        EXPECT_EQ(windows.State(box), 1) << box;
    }
    windows.Press(kApplyAll);  // unchecked
    Command(kApplyAll);
    for (int box = kApplyKind; box <= kApplyLink; ++box) {
        EXPECT_EQ(windows.State(box), 0) << box;
    }
    EXPECT_EQ(paint.applyBackground + paint.applyKind + paint.applyLink + paint.applyLength +
                  paint.applySpeed + paint.applyPause1 + paint.applyPause2,
              0);
    // Greyed controls take no input.
    for (int field : kPresetFields) {
        windows.TypeText(field, "9");
        EXPECT_EQ(windows.Text(field), "0") << field;
    }
    windows.Select(kElementList, 3);
    EXPECT_EQ(windows.State(kElementList), 0);
    windows.Select(kWater, 1);
    EXPECT_EQ(windows.State(kWater), 0);

    // One box back on enables only its own field.
    windows.SetState(kApplyLink, 1);
    ReadSidePanel(windows, paint);
    windows.TypeText(kLink, "4");
    windows.TypeText(kLength, "4");
    EXPECT_EQ(windows.Text(kLink), "4");
    EXPECT_EQ(windows.Text(kLength), "0");
}

TEST_F(SidePanel, TrackBarAndBrushFieldFollowEachOther) {
    windows.Select(kBrushTrackBar, 5);
    Command(kBrushTrackBar);
    EXPECT_EQ(windows.Text(kBrushField), "5");
    EXPECT_EQ(paint.brushSize, 5);

    struct Typed {
        const char* text;
        int size;
    };
    for (const Typed& t :
         {Typed{"0", 1}, Typed{"12", 8}, Typed{"", 1}, Typed{"3", 3}, Typed{"99999999999", 8}}) {
        windows.TypeText(kBrushField, t.text);
        Command(kBrushField);
        EXPECT_EQ(windows.State(kBrushTrackBar), t.size) << t.text;
        EXPECT_EQ(paint.brushSize, t.size) << t.text;
        EXPECT_EQ(windows.Text(kBrushField), t.text);  // the field keeps what was typed
    }
}

TEST_F(SidePanel, ReadOutTakesKindBackgroundDisplayAndSignedSpeeds) {
    windows.Select(kElementList, 5);
    windows.Select(kValueDisplay, 4);
    windows.Select(kWater, 1);
    windows.TypeText(kSpeedRight, "3");
    windows.TypeText(kLink, "12");
    windows.TypeText(kPause2, "250");
    ReadSidePanel(windows, paint);
    EXPECT_EQ(paint.kindChoice, 1025);  // "Gestrüp"
    EXPECT_EQ(paint.valueDisplayChoice, 4);
    EXPECT_EQ(paint.backgroundChoice, 200);
    EXPECT_EQ(paint.speedXValue, 3);
    EXPECT_EQ(paint.speedYValue, 0);
    EXPECT_EQ(paint.linkValue, 12);
    EXPECT_EQ(paint.pause2Value, 250);

    windows.TypeText(kSpeedLeft, "5");
    windows.TypeText(kSpeedRight, "2");
    windows.TypeText(kSpeedUp, "7");
    ReadSidePanel(windows, paint);
    EXPECT_EQ(paint.speedXValue, -3);
    EXPECT_EQ(paint.speedYValue, -7);

    // No option chosen and no row selected: the earlier choices stay.
    windows.SetState(kWater, 0);
    windows.SetState(kAir, 0);
    windows.SetState(kElementList, -1);
    ReadSidePanel(windows, paint);
    EXPECT_EQ(paint.backgroundChoice, 200);
    EXPECT_EQ(paint.kindChoice, 1025);

    // A preset may bring numbers no field could take; the difference stays within 32 bits.
    windows.SetText(kSpeedRight, "4000000000");
    windows.SetText(kSpeedLeft, "0");
    ReadSidePanel(windows, paint);
    EXPECT_EQ(paint.speedXValue, 2147483647);
}

TEST_F(SidePanel, SavedPresetIsListedAndChoosingItRefillsTheEightFields) {
    const std::vector<std::string> typed = {"7", "1", "", "3", "0", "4", "250", "9"};
    for (std::size_t i = 0; i < typed.size(); ++i) {
        windows.TypeText(kPresetFields[i], typed[i]);
    }
    requesters.Answer((testing::Root() / "LEVEL" / "Werte" / "Lift").string());
    Command(kSavePresetButton);
    std::ifstream in(testing::Root() / "LEVEL" / "Werte" / "Lift.TXT", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str(), "7\r\n1\r\n\r\n3\r\n0\r\n4\r\n250\r\n9\r\n");
    ASSERT_EQ(PresetRows(), std::vector<std::string>{"Lift"});

    for (int field : kPresetFields) {
        windows.TypeText(field, "55");
    }
    windows.Select(kPresetList, 0);
    Command(kPresetList);
    for (std::size_t i = 0; i < typed.size(); ++i) {
        EXPECT_EQ(windows.Text(kPresetFields[i]), typed[i]) << kPresetFields[i];
    }
    // The same pass's read-out has the preset's values.
    EXPECT_EQ(paint.linkValue, 7);
    EXPECT_EQ(paint.speedYValue, 1);
    EXPECT_EQ(paint.speedXValue, 3);
    EXPECT_EQ(paint.pause1Value, 250);
}

TEST_F(SidePanel, CancelledSaveStillRefillsAndUnreadablePresetsChangeNothing) {
    std::ofstream(testing::Root() / "LEVEL" / "Werte" / "Neu.TXT") << "1\r\n";
    std::ofstream(testing::Root() / "LEVEL" / "Werte" / "Bild.bmp") << "2\r\n";
    requesters.Answer("");
    Command(kSavePresetButton);
    EXPECT_EQ(PresetRows(), (std::vector<std::string>{"Bild", "Neu"}));
    EXPECT_FALSE(fs::exists(testing::Root() / "LEVEL" / "Werte" / ".TXT"));

    // "Bild" is opened as "Bild.txt", which does not exist; without a row nothing is opened.
    windows.Select(kPresetList, 0);
    Command(kPresetList);
    windows.SetState(kPresetList, -1);
    Command(kPresetList);
    for (int field : kPresetFields) {
        EXPECT_EQ(windows.Text(field), "0") << field;
    }
}

TEST_F(SidePanel, PresetThatCannotBeWrittenIsReported) {
    requesters.Answer((testing::Root() / "LEVEL" / "Fehlt" / "Lift").string());
    ::testing::internal::CaptureStderr();
    Command(kSavePresetButton);
    const std::string message = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(message.find("Error"), std::string::npos) << message;
    EXPECT_NE(message.find("Lift.TXT"), std::string::npos) << message;
    EXPECT_TRUE(PresetRows().empty());
}

// --- the brush preview -------------------------------------------------------------------------

bool IsWhite(runtime::Rgb c) {
    return c.red == 255 && c.green == 255 && c.blue == 255;
}

TEST(BrushPreview, ShowsChoicesFaintlyWithFrameDotAndPosition) {
    runtime::PlayScreen& screen = testing::TestScreen();
    level::Level level;
    level.viewX = 0.0f;
    level.viewY = 0.0f;
    PaintSettings paint;
    paint.backgroundChoice = 100;  // blue
    paint.kindChoice = 1001;       // red
    paint.brushSize = 2;
    // The preview shows the choices also when a click would write none of them.
    paint.applyBackground = paint.applyKind = 0;

    screen.Clear({0, 0, 0});
    DrawBrushPreview(level, paint, 100, 100, screen);  // brush cell (2, 2): pixels 60..139
    if (const char* dir = std::getenv("TESSARON_EDITOR_PNG")) {
        screen.SaveBackBuffer(fs::path(dir) / "brush_preview.png");
    }

    // Red over blue, each at 100 of 255, over black.
    const runtime::Rgb inside = screen.BackPixel(75, 125);
    EXPECT_GT(inside.red, 60);
    EXPECT_LT(inside.red, 100);
    EXPECT_GT(inside.blue, 30);
    EXPECT_LT(inside.blue, 70);
    EXPECT_EQ(inside.green, 0);
    EXPECT_EQ(screen.BackPixel(138, 138).red, inside.red);  // the fourth cell too

    // The frame is one pixel on the brush's edge, 80 x 80.
    for (const auto& [x, y] : {std::pair{60, 60}, {139, 60}, {60, 139}, {139, 139}, {100, 60}}) {
        EXPECT_TRUE(IsWhite(screen.BackPixel(x, y))) << x << "," << y;
    }
    EXPECT_FALSE(IsWhite(screen.BackPixel(61, 61)));
    EXPECT_FALSE(IsWhite(screen.BackPixel(140, 140)));
    EXPECT_EQ(screen.BackPixel(59, 100).red, 0);

    // The dot: radius 5 about the mouse.
    EXPECT_TRUE(IsWhite(screen.BackPixel(100, 100)));
    EXPECT_TRUE(IsWhite(screen.BackPixel(105, 100)));
    EXPECT_TRUE(IsWhite(screen.BackPixel(100, 95)));
    EXPECT_FALSE(IsWhite(screen.BackPixel(106, 100)));
    EXPECT_FALSE(IsWhite(screen.BackPixel(104, 104)));

    // "Position : (2|2)" from (150, 100), white on a transparent background.
    int white = 0;
    for (int y = 100; y < 116; ++y) {
        for (int x = 150; x < 260; ++x) {
            const runtime::Rgb c = screen.BackPixel(x, y);
            white += IsWhite(c) ? 1 : 0;
            ASSERT_TRUE(c.red == c.green && c.green == c.blue) << x << "," << y;
        }
    }
    EXPECT_GT(white, 40);
    for (int x = 140; x < 150; ++x) {
        EXPECT_FALSE(IsWhite(screen.BackPixel(x, 105))) << x;
    }
}

// The pixels of a region, to compare what the preview wrote with a reference text.
std::vector<std::uint32_t> Region(const runtime::PlayScreen& screen, int left, int top, int width,
                                  int height) {
    std::vector<std::uint32_t> pixels;
    for (int y = top; y < top + height; ++y) {
        for (int x = left; x < left + width; ++x) {
            const runtime::Rgb c = screen.BackPixel(x, y);
            pixels.push_back(static_cast<std::uint32_t>(runtime::PackColour(c)));
        }
    }
    return pixels;
}

TEST(BrushPreview, PositionTextNamesTheBrushCellColumnFirst) {
    runtime::PlayScreen& screen = testing::TestScreen();
    level::Level level;
    level.viewX = 0.0f;
    level.viewY = 0.0f;
    PaintSettings paint;
    paint.kindChoice = 1000;
    // Mouse (130, 60) lies in brush cell (3, 1): the text starts 50 pixels right of it.
    screen.Clear({0, 0, 0});
    DrawBrushPreview(level, paint, 130, 60, screen);
    const std::vector<std::uint32_t> drawn = Region(screen, 180, 55, 160, 25);
    EXPECT_GT(std::count(drawn.begin(), drawn.end(), 0xFFFFFFu), 40);

    screen.Clear({0, 0, 0});
    screen.BeginDrawing();
    screen.SetDrawingMode(runtime::kTransparentText);
    screen.SetFrontColour({255, 255, 255});
    screen.SetTextPosition(180, 60);
    screen.DrawText("Position : (3|1)");
    screen.EndDrawing();
    EXPECT_EQ(drawn, Region(screen, 180, 55, 160, 25));
}

TEST(BrushPreview, ScrolledViewMovesTheBrushWithItsCells) {
    runtime::PlayScreen& screen = testing::TestScreen();
    level::Level level;
    level.viewX = -10.0f;
    level.viewY = 5.5f;  // corners round half to even: 40 * 3 + 5.5 - 20 = 105.5 -> 106
    PaintSettings paint;
    paint.kindChoice = 1001;
    screen.Clear({0, 0, 0});
    const BrushCell cell = BrushCellAt(100, 120, level.viewX, level.viewY);
    ASSERT_EQ(cell, (BrushCell{3, 3}));
    DrawBrushPreview(level, paint, 100, 120, screen);
    EXPECT_TRUE(IsWhite(screen.BackPixel(90, 106)));   // the frame's top-left corner
    EXPECT_TRUE(IsWhite(screen.BackPixel(129, 145)));  // its bottom-right corner
    EXPECT_FALSE(IsWhite(screen.BackPixel(90, 105)));
    EXPECT_GT(screen.BackPixel(91, 107).red, 60);
}

}  // namespace
}  // namespace tessaron::editor
