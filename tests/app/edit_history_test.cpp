// Undo and redo in the editor through the real pass: the toolbar's "Rückgängig" and
// "Wiederholen", the history across a play-test, and a history that goes with its element list.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "app/pause_menu.h"
#include "app/side_panel.h"
#include "app_test_support.h"
#include "game/simulation.h"

namespace tessaron::app::testing {
namespace {

using runtime::Event;
using runtime::EventCode;
using runtime::Key;

class Undo : public ProgramTest {
  protected:
    // A click of the brush on a cell of the level, taken by the next pass.
    void Click(int column, int row) {
        const level::Level& level = program_->State().level;
        runtime::Windows& windows = program_->Windows();
        windows.Use(panel::kMainWindow);
        windows.SetMousePosition(
            panel::kSidePanelWidth + static_cast<int>(std::lround(40.0f * column + level.viewX)),
            static_cast<int>(std::lround(40.0f * row + level.viewY)));
        windows.Queue(Event{EventCode::LeftButtonDown, 0, panel::kMainWindow});
        Pass();
    }
    void Toolbar(int button) {
        program_->Windows().PressToolbarButton(button);
        Pass();
    }
    bool Enabled(int button) { return program_->Windows().ToolbarButtonEnabled(button); }
    const level::ElementList& Elements() { return program_->State().level.elements; }
    float KindAt(int column, int row) {
        const level::Level& level = program_->State().level;
        return Elements()[static_cast<std::size_t>((row - 1) * level.levelWidth + column - 1)].kind;
    }
    // The editor with "Ziegelstein" chosen.
    void StartPainting() {
        StartWithNewLevel();
        ToEditor();
        program_->Windows().Select(panel::kElementList, 1);
        Pass();
    }
};

TEST_F(Undo, PaintUndoRedoAndAPaintAfterUndo) {
    StartPainting();
    EXPECT_FALSE(Enabled(panel::kUndoButton));
    EXPECT_FALSE(Enabled(panel::kRedoButton));
    const level::ElementList empty = Elements();
    Click(3, 3);
    const level::ElementList first = Elements();
    ASSERT_EQ(KindAt(3, 3), 1001.0f);
    EXPECT_TRUE(Enabled(panel::kUndoButton));
    EXPECT_FALSE(Enabled(panel::kRedoButton));
    Click(5, 3);
    const level::ElementList both = Elements();

    Toolbar(panel::kUndoButton);
    EXPECT_EQ(Elements(), first);
    EXPECT_TRUE(Enabled(panel::kRedoButton));
    Toolbar(panel::kRedoButton);
    EXPECT_EQ(Elements(), both);
    EXPECT_FALSE(Enabled(panel::kRedoButton));

    // A paint after an undo drops the step that could have been redone.
    Toolbar(panel::kUndoButton);
    Click(7, 3);
    EXPECT_FALSE(Enabled(panel::kRedoButton));
    Toolbar(panel::kRedoButton);
    EXPECT_EQ(KindAt(5, 3), 1000.0f);
    EXPECT_EQ(KindAt(7, 3), 1001.0f);
    Toolbar(panel::kUndoButton);
    Toolbar(panel::kUndoButton);
    EXPECT_EQ(Elements(), empty);
    EXPECT_FALSE(Enabled(panel::kUndoButton));
}

TEST_F(Undo, OutlivesAPlayTestAndAppliesToTheEditableLevel) {
    StartWithNewLevel();
    ToEditor();
    // Wood that moves right by itself, two cells and back.
    runtime::Windows& windows = program_->Windows();
    windows.Select(panel::kElementList, 6);
    windows.TypeText(panel::kSpeedRight, "10");
    windows.TypeText(panel::kLength, "2");
    windows.TypeText(panel::kPause1, "5");
    windows.TypeText(panel::kPause2, "5");
    for (int i = 0; i < 5; ++i) {
        Pass();
    }
    const level::ElementList before = Elements();
    Click(4, 6);
    const level::ElementList painted = Elements();
    ASSERT_EQ(KindAt(4, 6), 2020.0f);

    Tap(Key::Tab);
    ASSERT_EQ(program_->State().loop.mode, level::Mode::Play);
    // In play mode the buttons are greyed and press nothing.
    EXPECT_FALSE(Enabled(panel::kUndoButton));
    Toolbar(panel::kUndoButton);
    for (int i = 0; i < 30; ++i) {
        Pass();
    }
    ASSERT_NE(Elements(), painted);  // the wood is on its way
    Tap(Key::Tab);
    ASSERT_EQ(program_->State().loop.mode, level::Mode::Editor);
    ASSERT_EQ(Elements(), painted);

    EXPECT_TRUE(Enabled(panel::kUndoButton));
    Toolbar(panel::kUndoButton);
    EXPECT_EQ(Elements(), before);
    Toolbar(panel::kRedoButton);
    EXPECT_EQ(Elements(), painted);
}

// Each way the element list is replaced whole; saving is not one of them.
enum class Replacement { Load, NewLevel, SavePoint };

class HistoryReplaced : public Undo, public ::testing::WithParamInterface<Replacement> {
  protected:
    void Replace(Replacement way) {
        switch (way) {
            case Replacement::Load:
                requesters_.Answer((root_ / "LEVEL" / "Stand.TXT").string());
                Tap(Key::F6);
                break;
            case Replacement::NewLevel:
                AnswerNewLevel("20", "20");
                Toolbar(panel::kNewLevelButton);
                break;
            case Replacement::SavePoint:
                driver_.modal.push_back(
                    [this] { program_->Windows().Press(pause_menu::kSavePointButton); });
                Tap(Key::Escape);
                break;
        }
    }
};

TEST_P(HistoryReplaced, ForgetsEveryStep) {
    StartPainting();
    // A saved level to go back to, of the level as it is.
    requesters_.Answer((root_ / "LEVEL" / "Stand.TXT").string());
    Tap(Key::F5);
    Click(3, 3);
    Click(5, 3);
    Toolbar(panel::kUndoButton);
    // Saving keeps the history.
    requesters_.Answer((root_ / "LEVEL" / "Danach.TXT").string());
    Tap(Key::F5);
    ASSERT_TRUE(Enabled(panel::kUndoButton));
    ASSERT_TRUE(Enabled(panel::kRedoButton));
    // A save point to go back to: it belongs to the level as edited when it is taken, now.
    runtime::Files files(program_->Folder());
    ASSERT_TRUE(game::StoreSavePoint(program_->State().level, program_->State().player, files));
    const float clicked = KindAt(3, 3);

    Replace(GetParam());
    ASSERT_EQ(program_->State().loop.mode, level::Mode::Editor);
    EXPECT_FALSE(Enabled(panel::kUndoButton));
    EXPECT_FALSE(Enabled(panel::kRedoButton));
    const level::ElementList replaced = Elements();
    ASSERT_EQ(KindAt(3, 3), GetParam() == Replacement::SavePoint ? clicked : 1000.0f);
    Toolbar(panel::kUndoButton);
    Toolbar(panel::kRedoButton);
    EXPECT_EQ(Elements(), replaced);
}

INSTANTIATE_TEST_SUITE_P(Ways, HistoryReplaced,
                         ::testing::Values(Replacement::Load, Replacement::NewLevel,
                                           Replacement::SavePoint),
                         [](const ::testing::TestParamInfo<Replacement>& info) {
                             switch (info.param) {
                                 case Replacement::Load:
                                     return "Load";
                                 case Replacement::NewLevel:
                                     return "NewLevel";
                                 case Replacement::SavePoint:
                                     return "SavePoint";
                             }
                             return "";
                         });

}  // namespace
}  // namespace tessaron::app::testing
