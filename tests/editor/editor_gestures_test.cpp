// The editor's gestures through the real program, run headless from scripts: strokes,
// rectangles, regions with their clipboard, the picker, and the question before unsaved edits
// are given up. Each test reads back the level files the run saved, record for record.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>

#include "editor_run.h"

namespace tessaron::editor {
namespace {

using level::Element;
using level::ElementList;
using Gestures = testing::EditorRun;
using testing::ReadText;

constexpr int kSide = 20;

// A new 20 x 20 level made at start-up, then the editor from pass 3 on: the view then stands at
// (-10, -103.6), and cell (c, r) lies under main-window point (246 + 40c, 40r - 104).
const std::string kNewLevelInEditor =
    "seed 1\n"
    "answer\n"
    "@1 text 1 20\n@1 text 2 20\n@1 press 5\n"
    "@2 down Tab\n@3 up Tab\n";

std::string Cell(int column, int row) {
    return std::to_string(246 + 40 * column) + " " + std::to_string(40 * row - 104);
}

std::string Save(int pass) {
    return "@" + std::to_string(pass) + " down F5\n@" + std::to_string(pass + 1) + " up F5\n";
}

ElementList Fresh() {
    ElementList list;
    level::BuildFreshGrid(list, kSide, kSide);
    return list;
}

Element& At(ElementList& list, int column, int row) {
    return list[static_cast<std::size_t>((row - 1) * kSide + column - 1)];
}

// What the panel's values write into a cell.
struct Values {
    float kind = 1001.0f;
    float background = 100.0f;
    float link = 0.0f;
    float length = 0.0f;
    float speedX = 0.0f;
    float speedY = 0.0f;
    float pause1 = 0.0f;
    float pause2 = 0.0f;
};

void Put(ElementList& list, int column, int row, const Values& v) {
    Element& e = At(list, column, row);
    e.kind = v.kind;
    e.background = v.background;
    e.link = v.link;
    e.length = v.length;
    e.speedX = v.speedX;
    e.speedY = v.speedY;
    e.pause1 = v.pause1;
    e.pause2 = v.pause2;
}

// The saved file holds exactly the expected records; the cells that differ are named.
void ExpectRecords(const ElementList& saved, const ElementList& expected, const char* file) {
    ASSERT_EQ(saved.size(), expected.size()) << file;
    for (std::size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(saved[i], expected[i])
            << file << ": cell " << expected[i].column << "," << expected[i].row << " holds kind "
            << saved[i].kind << " link " << saved[i].link;
    }
}

// The last line of a trace: the pass the run ended with.
std::string LastLine(const testing::fs::path& trace) {
    const std::string text = ReadText(trace);
    return text.substr(text.rfind('\n', text.size() - 2) + 1);
}

// A door with a displacement, as the panel below writes it.
const Values kDoor{2010.0f, 100.0f, 6.0f, 2.0f, 3.0f, 0.0f, 40.0f, 50.0f};
const std::string kDoorPanel =
    "@5 select 1000 7\n@6 text 26 3\n@7 text 31 2\n@8 text 41 40\n@9 text 43 50\n@10 text 11 6\n";

TEST_F(Gestures, StrokePaintsEveryCellOnItsWayAsOneStep) {
    // One jump of ten cells across, then four down: every cell between is painted.
    const std::string script =
        kNewLevelInEditor + "answer LEVEL/Eins.TXT\nanswer LEVEL/Zwei.TXT\n" +
        "@5 select 1000 1\n@7 drag " + Cell(2, 5) + "\n@9 mouse " + Cell(12, 5) + "\n@10 mouse " +
        Cell(12, 9) + "\n@11 drop " + Cell(12, 9) + "\n" + Save(13) + "@16 toolbar 4\n" + Save(18);
    ASSERT_EQ(Run(script, "--passes 20"), 0) << ReadText(Out("stderr.txt"));
    ElementList expected = Fresh();
    for (int column = 2; column <= 12; ++column) {
        Put(expected, column, 5, Values{});
    }
    for (int row = 6; row <= 9; ++row) {
        Put(expected, 12, row, Values{});
    }
    ExpectRecords(Saved("LEVEL/Eins.TXT"), expected, "Eins");
    ExpectRecords(Saved("LEVEL/Zwei.TXT"), Fresh(), "Zwei");
}

TEST_F(Gestures, ShiftDragPaintsTheRectangleCellByCellAsOneStep) {
    // "Erde" with link 5 and a brush of size 3, which a rectangle does not use.
    const std::string script = kNewLevelInEditor +
                               "answer LEVEL/Eins.TXT\nanswer LEVEL/Zwei.TXT\n" +
                               "@5 select 1000 3\n@6 text 11 5\n@7 select 61 3\n" + "@9 drag " +
                               Cell(6, 4) + " Shift\n@10 mouse " + Cell(4, 3) + "\n@11 drop " +
                               Cell(3, 3) + "\n" + Save(13) + "@16 toolbar 4\n" + Save(18);
    ASSERT_EQ(Run(script, "--passes 20"), 0) << ReadText(Out("stderr.txt"));
    ElementList expected = Fresh();
    for (int column = 3; column <= 6; ++column) {
        for (int row = 3; row <= 4; ++row) {
            Put(expected, column, row, Values{.kind = 1003.0f, .link = 5.0f});
        }
    }
    ExpectRecords(Saved("LEVEL/Eins.TXT"), expected, "Eins");
    ExpectRecords(Saved("LEVEL/Zwei.TXT"), Fresh(), "Zwei");
}

TEST_F(Gestures, RegionsTravelAsWholeRecordsWithinAndBetweenLevels) {
    const std::string script =
        kNewLevelInEditor +
        "answer LEVEL/Eins.TXT\nanswer LEVEL/Zwei.TXT\nanswer LEVEL/Drei.TXT\n" + kDoorPanel +
        "@12 click " + Cell(4, 4) + "\n@13 select 1000 1\n" + "@15 click " + Cell(5, 4) + "\n" +
        // The door and the brick beside it, with two empty cells below, copied and pasted.
        "@17 drag " + Cell(4, 4) + " Ctrl\n@18 drop " + Cell(5, 5) + "\n@19 key Ctrl+C\n" +
        "@20 mouse " + Cell(10, 10) + "\n@21 key Ctrl+V\n" +
        // Cut empties the region; pasted at the level's edge, what lies beyond is left out.
        "@23 key Ctrl+X\n@24 mouse " + Cell(20, 19) + "\n@25 key Ctrl+V\n" + Save(27) +
        // The edge paste undone; a selected brick deleted; a selection dropped by Escape
        // deletes nothing, and Escape does not pause while it drops one.
        "@30 toolbar 4\n@31 drag " + Cell(11, 10) + " Ctrl\n@32 drop " + Cell(11, 10) +
        "\n@33 key Delete\n@34 drag " + Cell(10, 10) + " Ctrl\n@35 drop " + Cell(10, 10) +
        "\n@36 down Escape\n@37 up Escape\n@39 key Delete\n" + Save(41) +
        // Another level takes the clipboard.
        "@44 toolbar 1\n@45 text 1 20\n@45 text 2 20\n@45 press 5\n@47 mouse " + Cell(2, 2) +
        "\n@48 key Ctrl+V\n" + Save(50);
    ASSERT_EQ(Run(script, "--passes 52"), 0) << ReadText(Out("stderr.txt"));

    Values brick = kDoor;
    brick.kind = 1001.0f;
    ElementList eins = Fresh();
    Put(eins, 10, 10, kDoor);
    Put(eins, 11, 10, brick);
    Put(eins, 20, 19, kDoor);
    ExpectRecords(Saved("LEVEL/Eins.TXT"), eins, "Eins");

    ElementList zwei = Fresh();
    Put(zwei, 10, 10, kDoor);
    ExpectRecords(Saved("LEVEL/Zwei.TXT"), zwei, "Zwei");

    ElementList drei = Fresh();
    Put(drei, 2, 2, kDoor);
    Put(drei, 3, 2, brick);
    ExpectRecords(Saved("LEVEL/Drei.TXT"), drei, "Drei");
}

TEST_F(Gestures, RightClickTakesTheCellIntoThePanelAndTheNextClickPaintsItsTwin) {
    // A door moving left and down; then the panel is changed to a brick on water with link 9.
    // Each field written is an event of its own pass: the clicks wait until they are taken.
    const std::string script =
        kNewLevelInEditor + "answer LEVEL/Eins.TXT\n" + kDoorPanel +
        "@11 text 26 0\n@11 text 24 4\n@11 text 22 2\n@16 click " + Cell(4, 4) +
        "\n@18 select 1000 1\n@18 text 11 9\n@18 text 22 0\n@18 press 200\n" + "@24 rightclick " +
        Cell(4, 4) + "\n@30 click " + Cell(8, 8) + "\n" + Save(32);
    ASSERT_EQ(Run(script, "--passes 34 --window-shot '" + Out("w.png").string() + "'"), 0)
        << ReadText(Out("stderr.txt"));
    Values door = kDoor;
    door.speedX = -4.0f;
    door.speedY = 2.0f;
    ElementList expected = Fresh();
    Put(expected, 4, 4, door);
    Put(expected, 8, 8, door);
    ExpectRecords(Saved("LEVEL/Eins.TXT"), expected, "Eins");

    // The element list shows each element's picture before its name: "Ziegelstein" has the
    // grey test picture, "Nichts" the empty one, which leaves the list's white showing.
    const QImage window(QString::fromStdString(Out("w.png").string()));
    ASSERT_FALSE(window.isNull());
    const QColor nothing = window.pixelColor(30, 127);
    const QColor brick = window.pixelColor(30, 142);
    EXPECT_GT(nothing.lightness(), 200);
    EXPECT_LT(brick.lightness(), 160);
}

// A level of a floor, a coin, a wall, three doors on a switch and a goal, built in a handful of
// map gestures: rectangles for the floor, the wall and the doors, a click for each single
// element, and a selection deleted to take the new level's own brick away.
TEST_F(Gestures, SmallLevelTakesAtMostFifteenMapGestures) {
    const std::string actions =
        "@5 select 1000 1\n@8 drag " + Cell(1, 18) + " Shift\n@9 drop " + Cell(20, 18) +
        "\n@12 select 1000 2\n@15 drag " + Cell(20, 10) + " Shift\n@16 drop " + Cell(20, 17) +
        "\n@19 select 1000 13\n@22 click " + Cell(6, 17) +
        "\n@25 select 1000 7\n@26 text 28 2\n@27 text 31 2\n@28 text 11 1\n@33 drag " +
        Cell(14, 15) + " Shift\n@34 drop " + Cell(14, 17) +
        "\n@37 select 1000 8\n@38 text 28 0\n@39 text 31 0\n@44 click " + Cell(9, 17) +
        "\n@47 select 1000 19\n@48 text 11 0\n@52 click " + Cell(18, 17) + "\n@55 drag " +
        Cell(13, 15) + " Ctrl\n@56 drop " + Cell(13, 15) + "\n@57 key Delete\n";
    int gestures = 0;
    for (const char* gesture : {" click ", " drag ", " rightclick ", " key "}) {
        for (std::size_t at = actions.find(gesture); at != std::string::npos;
             at = actions.find(gesture, at + 1)) {
            ++gestures;
        }
    }
    EXPECT_LE(gestures, 15);
    ASSERT_EQ(
        Run(kNewLevelInEditor + "answer LEVEL/Klein.TXT\n" + actions + Save(60), "--passes 62"), 0)
        << ReadText(Out("stderr.txt"));

    ElementList expected = Fresh();
    for (int column = 1; column <= kSide; ++column) {
        Put(expected, column, 18, Values{});
    }
    for (int row = 10; row <= 17; ++row) {
        Put(expected, 20, row, Values{.kind = 1002.0f});
    }
    Put(expected, 6, 17, Values{.kind = 4001.0f});
    for (int row = 15; row <= 17; ++row) {
        Put(expected, 14, row,
            Values{.kind = 2010.0f, .link = 1.0f, .length = 2.0f, .speedY = -2.0f});
    }
    Put(expected, 9, 17, Values{.kind = 2001.0f, .link = 1.0f});
    Put(expected, 18, 17, Values{.kind = 4090.0f});
    At(expected, 13, 15).kind = 1000.0f;
    ExpectRecords(Saved("LEVEL/Klein.TXT"), expected, "Klein");
}

// Loading, a new level, "BEENDEN" and closing the window first ask "Änderungen speichern?"
// while the level has unsaved edits: "Abbrechen" keeps everything, "Verwerfen" goes on,
// "Speichern" saves first. The new-level dialog then closes without a change, and a close
// request in play mode quits too; a script without a reply discards.
TEST_F(Gestures, UnsavedEditsAreAskedForBeforeTheLevelIsGivenUp) {
    const std::string edited =
        kNewLevelInEditor + "@5 select 1000 1\n@7 click " + Cell(4, 4) + "\n";
    const std::string editor = edited +
                               "answer LEVEL/Eins.TXT\n"
                               "reply Abbrechen\nreply Verwerfen\nreply Speichern\n"
                               "@9 toolbar 2\n@11 toolbar 1\n@12 close\n@14 close\n";
    ASSERT_EQ(Run(editor, "--passes 30 --trace '" + Out("t.csv").string() + "'"), 0)
        << ReadText(Out("stderr.txt"));
    // The close of pass 14 quit, after the save; the load and the new level changed nothing.
    EXPECT_EQ(LastLine(Out("t.csv")).substr(0, 3), "14,");
    ElementList expected = Fresh();
    Put(expected, 4, 4, Values{});
    ExpectRecords(Saved("LEVEL/Eins.TXT"), expected, "Eins");

    const std::string play = edited +
                             "reply Abbrechen\n@9 down Tab\n@10 up Tab\n"
                             "@12 close\n@14 close\n";
    ASSERT_EQ(Run(play, "--passes 30 --trace '" + Out("p.csv").string() + "'"), 0)
        << ReadText(Out("stderr.txt"));
    EXPECT_EQ(LastLine(Out("p.csv")).substr(0, 5), "14,0,");
}

}  // namespace
}  // namespace tessaron::editor
