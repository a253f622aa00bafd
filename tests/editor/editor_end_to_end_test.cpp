// The `tessaron` program itself, run headless from a script: painting a 3 x 3 brush of bricks in
// the editor, saving the level with F5 and a movement preset with "Werte speichern", undoing and
// redoing paints between saves, then reading what it wrote.
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <QImage>
#include <nlohmann/json.hpp>

#include "editor_run.h"

namespace tessaron::editor {
namespace {

using EditorEndToEnd = testing::EditorRun;
using testing::ReadText;

// A new 20 x 20 level, the editor, "Ziegelstein", brush size 3, link number 4, a click at
// play-screen point (190, 100), F5, then "Werte speichern".
const char* kPaintScript =
    "seed 1\n"
    "answer\n"
    "answer LEVEL/Pinsel.TXT\n"
    "answer LEVEL/Werte/Bahn\n"
    "@1 text 1 20\n@1 text 2 20\n@1 press 5\n"
    "@2 down Tab\n@3 up Tab\n"
    "@5 select 1000 1\n"
    "@6 select 61 3\n"
    "@8 text 11 4\n"
    "@14 click 446 100\n"
    "@20 down F5\n@21 up F5\n"
    "@24 press 51\n";

TEST_F(EditorEndToEnd, ClickPaintsTheBrushSquareThatF5Saves) {
    ASSERT_EQ(Run(kPaintScript, "--passes 30 --state '" + Out("s.json").string() +
                                    "' --window-shot '" + Out("w.png").string() + "'"),
              0)
        << ReadText(Out("stderr.txt"));

    // The view may have moved in the play passes before the switch; the brush cell follows it.
    const nlohmann::json state = nlohmann::json::parse(ReadText(Out("s.json")));
    const float viewX = static_cast<float>(state["viewX"].get<double>());
    const float viewY = static_cast<float>(state["viewY"].get<double>());
    const int bc = static_cast<int>(std::ceil((190.0f - viewX + 20.0f) / 40.0f - 1.0f));
    const int br = static_cast<int>(std::ceil((100.0f - viewY + 20.0f) / 40.0f - 1.0f));
    ASSERT_GE(bc, 1);
    ASSERT_GE(br, 1);

    const level::ElementList saved = Saved("LEVEL/Pinsel.TXT");
    ASSERT_EQ(saved.size(), 400u);
    int bricks = 0;
    for (const level::Element& e : saved) {
        const bool inBrush = e.column >= static_cast<float>(bc) &&
                             e.column < static_cast<float>(bc + 3) &&
                             e.row >= static_cast<float>(br) && e.row < static_cast<float>(br + 3);
        const bool freshBrick = e.column == 13.0f && e.row == 15.0f;
        if (inBrush) {
            ++bricks;
            EXPECT_EQ(e.kind, 1001.0f) << e.column << "," << e.row;
            EXPECT_EQ(e.link, 4.0f);
            EXPECT_EQ(e.background, 100.0f);
            EXPECT_EQ(e.speedX, 0.0f);
            EXPECT_EQ(e.pause1, 0.0f);
        } else if (!freshBrick) {
            EXPECT_EQ(e.kind, 1000.0f) << e.column << "," << e.row;
            EXPECT_EQ(e.link, -1.0f) << e.column << "," << e.row;
        }
    }
    EXPECT_EQ(bricks, 9);

    // The preset holds the eight fields as they stood.
    EXPECT_EQ(ReadText(root_ / "LEVEL" / "Werte" / "Bahn.TXT"),
              "4\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n0\r\n");

    // The last frame shows the preview over the map: the white dot at the mouse.
    const QImage window(QString::fromStdString(Out("w.png").string()));
    ASSERT_EQ(window.width(), 1280);
    EXPECT_EQ(window.pixelColor(446, 100).rgb() & 0xFFFFFFu, 0xFFFFFFu);
}

// Bricks painted in three cells of row 10, two undone before the first save, one redone before
// the second; the new level's own brick stands at column 13, row 15.
const char* kUndoScript =
    "seed 1\n"
    "answer\n"
    "answer LEVEL/Eins.TXT\n"
    "answer LEVEL/Zwei.TXT\n"
    "@1 text 1 20\n@1 text 2 20\n@1 press 5\n"
    "@2 down Tab\n@3 up Tab\n"
    "@5 select 1000 1\n"
    "@7 click 400 300\n@9 click 480 300\n@11 click 560 300\n"
    "@13 toolbar 4\n@15 toolbar 4\n"
    "@17 down F5\n@18 up F5\n"
    "@20 toolbar 5\n"
    "@22 down F5\n@23 up F5\n";

TEST_F(EditorEndToEnd, UndoneCellsAreNotSavedAndARedoneOneIs) {
    ASSERT_EQ(Run(kUndoScript, "--passes 24"), 0) << ReadText(Out("stderr.txt"));
    auto bricks = [this](const char* file) {
        std::vector<std::pair<float, float>> cells;
        for (const level::Element& e : Saved(file)) {
            if (e.kind == 1001.0f && !(e.column == 13.0f && e.row == 15.0f)) {
                cells.emplace_back(e.column, e.row);
            }
        }
        return cells;
    };
    // The view stood at (-10, -103.6) when the editor began: the clicks fall on columns 4, 6
    // and 8 of row 10.
    using Cells = std::vector<std::pair<float, float>>;
    EXPECT_EQ(bricks("LEVEL/Eins.TXT"), (Cells{{4.0f, 10.0f}}));
    EXPECT_EQ(bricks("LEVEL/Zwei.TXT"), (Cells{{4.0f, 10.0f}, {6.0f, 10.0f}}));
}

}  // namespace
}  // namespace tessaron::editor
