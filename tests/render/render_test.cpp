// Frames drawn on the real play screen under the offscreen platform, checked at chosen pixels.
#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "render/geometry.h"
#include "render/level_picture.h"
#include "render/overview.h"
#include "render/render.h"
#include "render/test_pictures.h"
#include "support/allocation_counter.h"

namespace tessaron::render {
namespace {

using level::Element;
using level::Mode;
using runtime::Rgb;

constexpr Rgb kAirColour{0, 0, 160}, kWaterColour{0, 96, 255}, kWaterEdge{255, 128, 0},
    kGridColour{128, 128, 128}, kBrickColour{200, 0, 0}, kConcreteColour{160, 160, 0},
    kCoinColour{255, 255, 0}, kSensorColour{0, 255, 0}, kBallColour{255, 0, 255},
    kLightColour{255, 255, 255}, kHiddenColour{0, 255, 255};
constexpr std::int32_t kBlack = 0;

std::int32_t Packed(Rgb c) {
    return runtime::PackColour(c);
}

// One play screen for the whole run, with test pictures under the sprite numbers the game uses.
struct Screen {
    std::filesystem::path root;
    std::unique_ptr<runtime::GameFolder> folder;
    std::unique_ptr<runtime::Machine> machine;
    std::unique_ptr<runtime::PlayScreen> screen;
};
Screen* g = nullptr;

// False, with a note on standard error, when the screen or a picture cannot be set up.
bool MakeScreen(int* argc, char** argv) {
#define REQUIRE(condition) \
    if (!(condition))      \
    return (std::fprintf(stderr, "set-up failed: %s\n", #condition), false)
    g = new Screen;
    g->root =
        std::filesystem::temp_directory_path() / ("tessaron_render_" + std::to_string(::getpid()));
    const auto picture = [](int number, int w, int h, const test::PixelAt& pixel) {
        test::WriteBitmap(g->root / "BMP" / (std::to_string(number) + ".bmp"), w, h, pixel);
    };
    picture(100, 40, 40, test::Solid(kAirColour));
    picture(200, 46, 40, test::MarkedLeft(kWaterEdge, kWaterColour));
    picture(kGridSprite, 40, 40, test::Framed(kGridColour, 40, 40));
    picture(1001, 40, 40, test::Solid(kBrickColour));
    picture(1002, 40, 40, test::Solid(kConcreteColour));
    picture(4001, 40, 40, test::Solid(kCoinColour));
    picture(4000, 40, 40, test::Solid(kHiddenColour));
    picture(5001, 40, 40, test::Solid(kHiddenColour));
    picture(2002, 40, 40, test::Solid(kSensorColour));
    picture(kBallSprite, 58, 58, test::Solid(kBallColour));
    picture(kLightSprite, 60, 60, test::Framed(kLightColour, 60, 60));

    g->folder = std::make_unique<runtime::GameFolder>(g->root);
    g->machine = std::make_unique<runtime::Machine>(*g->folder);
    REQUIRE(g->machine->StartScreen({true, argc, argv}));
    REQUIRE(g->machine->StartBlendedSprites());
    g->screen = std::make_unique<runtime::PlayScreen>(*g->machine);
    runtime::PlayScreen& s = *g->screen;
    s.SetBlendedFiltering(true);
    for (int n :
         {100, 200, kGridSprite, 1001, 1002, 4001, 4000, 5001, 2002, kBallSprite, kLightSprite}) {
        REQUIRE(s.LoadSprite(n, "BMP\\" + std::to_string(n) + ".bmp"));
    }
    for (int n : {4001, 4000, 5001, 2002, kBallSprite, kLightSprite}) {
        REQUIRE(s.CreateBlendedSprite(n, n));
    }
    REQUIRE(s.LoadFont(kLabelFont, "Arial", 7));
    return true;
#undef REQUIRE
}

Element Cell(float background, float column, float row, float kind, float length = 0) {
    Element e;
    e.background = background;
    e.homeColumn = column;
    e.homeRow = row;
    e.kind = kind;
    e.column = column;
    e.row = row;
    e.length = length;
    e.link = -1;
    return e;
}

class RenderTest : public ::testing::Test {
  protected:
    runtime::PlayScreen& screen = *g->screen;
    level::Level level;
    FrameInputs inputs;
    RenderState state;
    runtime::Random random{7};

    void SetUp() override {
        level.viewX = 0;
        level.viewY = 0;
        inputs.kindChoice = 999;  // no such picture: no cursor icon unless a test asks
    }
    void Draw(Mode mode, bool overlays = false) {
        inputs.mode = mode;
        screen.Clear({0, 0, 0});
        screen.BeginScene();
        DrawMap(level, inputs, state, screen, random);
        if (overlays)
            DrawOverlays(level, inputs, screen);
    }
    std::int32_t Px(int x, int y) const { return Packed(screen.BackPixel(x, y)); }
    void Save(const std::string& name) const {
        if (const char* dir = std::getenv("TESSARON_RENDER_PNG")) {
            screen.SaveBackBuffer(std::filesystem::path(dir) / (name + ".png"));
        }
    }
};

struct RoundingCase {
    float viewX;
    int left;  // R(40 + viewX - 20): halves go to the even neighbour
};
class CellPosition : public RenderTest, public ::testing::WithParamInterface<RoundingCase> {};

TEST_P(CellPosition, ElementOneOneHasItsCornerAtTheRoundedPoint) {
    level.viewX = GetParam().viewX;
    level.elements = {Cell(0, 1, 1, 1001)};
    Draw(Mode::Play);
    const int x = GetParam().left;
    EXPECT_EQ(Px(x, 20), Packed(kBrickColour));
    EXPECT_EQ(Px(x + 39, 59), Packed(kBrickColour));
    EXPECT_EQ(Px(x - 1, 20), kBlack);
    EXPECT_EQ(Px(x, 19), kBlack);
}
INSTANTIATE_TEST_SUITE_P(Views, CellPosition,
                         ::testing::Values(RoundingCase{0.0f, 20}, RoundingCase{0.5f, 20},
                                           RoundingCase{1.5f, 22}, RoundingCase{-0.5f, 20},
                                           RoundingCase{-1.5f, 18}, RoundingCase{2.4f, 22}));

TEST_F(RenderTest, RestingElementsCoverMovingOnesAndLaterRestingOnesCoverEarlier) {
    level.elements = {Cell(0, 2, 2, 1002, 0),  Cell(0, 2, 2, 1001, 3),     // resting first
                      Cell(0, 5, 2, 1001, 3),  Cell(0, 5, 2, 1002, 0),     // moving first
                      Cell(0, 8, 2, 1002, 0),  Cell(0, 8, 2, 1001, 0),     // both resting
                      Cell(0, 11, 2, 1001, 3), Cell(0, 11, 2, 1002, -2)};  // cannot move
    Draw(Mode::Play);
    EXPECT_EQ(Px(80, 80), Packed(kConcreteColour));
    EXPECT_EQ(Px(200, 80), Packed(kConcreteColour));
    EXPECT_EQ(Px(320, 80), Packed(kBrickColour));
    EXPECT_EQ(Px(440, 80), Packed(kConcreteColour));  // a negative length rests, shown
}

TEST_F(RenderTest, EditorShowsBackdropElementAndGridButNothingForTakenOrZeroKinds) {
    level.elements = {Cell(100, 1, 1, 1000), Cell(100, 2, 1, 1001), Cell(100, 3, 1, 4001),
                      Cell(100, 4, 1, 5001), Cell(100, 5, 1, 4000)};
    for (Mode mode : {Mode::Editor, Mode::Play}) {
        Draw(mode);
        Save(mode == Mode::Editor ? "editor_cells" : "play_cells");
        const bool editor = mode == Mode::Editor;
        EXPECT_EQ(Px(20, 20), Packed(editor ? kGridColour : kAirColour));  // empty cell
        EXPECT_EQ(Px(40, 40), Packed(kAirColour));
        EXPECT_EQ(Px(60, 30), Packed(editor ? kGridColour : kBrickColour));  // brick cell
        EXPECT_EQ(Px(80, 40), Packed(kBrickColour));
        if (editor) {
            EXPECT_EQ(Px(100, 20), Packed(kGridColour));  // the coin at 40 x 40
            EXPECT_EQ(Px(103, 40), Packed(kCoinColour));
            EXPECT_EQ(Px(136, 40), Packed(kCoinColour));
        }
        for (int x : {140, 180}) {  // taken coin, kind 4000: backdrop only
            EXPECT_EQ(Px(x, 20), Packed(kAirColour)) << x;
            EXPECT_EQ(Px(x + 20, 40), Packed(kAirColour)) << x;
        }
    }
}

struct WaterCase {
    Mode mode;
    std::int32_t tick;
    float homeRow;
    int left;
};
class WaterBackdrop : public RenderTest, public ::testing::WithParamInterface<WaterCase> {};

TEST_P(WaterBackdrop, SitsThreePixelsLeftAndSwaysInPlay) {
    const WaterCase c = GetParam();
    inputs.tick = c.tick;
    level.elements = {Cell(200, 1, c.homeRow, 1000)};
    Draw(c.mode);
    const int y = static_cast<int>(40 * c.homeRow);
    EXPECT_EQ(Px(c.left, y), Packed(kWaterEdge));
    EXPECT_EQ(Px(c.left - 1, y), kBlack);
    EXPECT_EQ(Px(c.left + 1, y), Packed(kWaterColour));
}
// Play: R(40 + 3 sin(t k 10 + row) - 23); sin(1) = 0.84, sin(4) = -0.76, sin(pi/2 + 1) = 0.54.
INSTANTIATE_TEST_SUITE_P(Rows, WaterBackdrop,
                         ::testing::Values(WaterCase{Mode::Editor, 0, 1, 17},
                                           WaterCase{Mode::Editor, 9, 4, 17},
                                           WaterCase{Mode::Play, 0, 1, 20},
                                           WaterCase{Mode::Play, 0, 4, 15},
                                           WaterCase{Mode::Play, 9, 1, 19}));

TEST_F(RenderTest, PickupsSpinAtWidthTwoWAndVanishWhenWIsZero) {
    // Column 3, row 10 at t = 0: w = R(|20 sin(30 degrees)|) = 10. Column 1, row 1 at t = 31:
    // 20 sin(3.1 + k) = 0.48, so w = 0.
    inputs.tick = 0;
    level.elements = {Cell(0, 3, 10, 4001)};
    Draw(Mode::Play);
    Save("pickup_w10");
    EXPECT_EQ(Px(120 - 12, 400), kBlack);
    EXPECT_EQ(Px(120 - 8, 400), Packed(kCoinColour));
    EXPECT_EQ(Px(120 + 7, 400), Packed(kCoinColour));
    EXPECT_EQ(Px(120 + 12, 400), kBlack);
    EXPECT_EQ(screen.BlendedWidth(4001), 20);

    inputs.tick = 31;
    level.elements = {Cell(100, 1, 1, 4001)};
    Draw(Mode::Play);
    for (int x : {20, 39, 40, 59}) EXPECT_EQ(Px(x, 40), Packed(kAirColour)) << x;

    Draw(Mode::Editor);  // the editor leaves the pickup at 40 x 40 for the brush preview
    EXPECT_EQ(screen.BlendedWidth(4001), 40);
    EXPECT_EQ(screen.BlendedHeight(4001), 40);
}

TEST_F(RenderTest, SensorsFlickerFromTheRandomSequenceInPlayAndAreOpaqueInTheEditor) {
    // The first sensor is off the screen but still takes its random number.
    level.elements = {Cell(0, -50, 1, 2002), Cell(0, 1, 1, 2002), Cell(0, 3, 1, 2002)};
    Draw(Mode::Play);
    runtime::Random expected{7};
    expected.Next(50);
    for (int x : {40, 120}) {
        const int opacity = 75 + expected.Next(50);
        EXPECT_NEAR(screen.BackPixel(x, 40).green, opacity, 1) << x;
        EXPECT_LT(screen.BackPixel(x, 40).green, 127);
    }
    Draw(Mode::Editor);
    EXPECT_EQ(Px(40, 40), Packed(kSensorColour));
    EXPECT_EQ(Px(20, 20), Packed(kGridColour));
}

TEST_F(RenderTest, ALevelOffTheScreenLeavesABlackFrameWithTheBallOrTheCursor) {
    level.viewX = 100000.0f;
    level.elements = {Cell(100, 1, 1, 1001), Cell(200, 2, 1, 4001), Cell(100, 3, 1, 2002)};
    inputs.kindChoice = 1001;
    inputs.mouseX = 300;
    inputs.mouseY = 200;
    for (Mode mode : {Mode::Play, Mode::Editor}) {
        Draw(mode);
        Save(mode == Mode::Play ? "offscreen_play" : "offscreen_editor");
        const int left = mode == Mode::Play ? 482 : 300, top = mode == Mode::Play ? 354 : 200;
        const int size = mode == Mode::Play ? 60 : 40;
        int outside = 0;
        for (int y = 0; y < runtime::PlayScreen::kHeight; y += 2) {
            for (int x = 0; x < runtime::PlayScreen::kWidth; x += 2) {
                const bool inside = x >= left && x < left + size && y >= top && y < top + size;
                if (!inside && Px(x, y) != kBlack)
                    ++outside;
            }
        }
        EXPECT_EQ(outside, 0);
        if (mode == Mode::Play) {
            EXPECT_EQ(Px(512, 384), Packed(kBallColour));
            EXPECT_NE(Px(482 + 30, 354), kBlack);  // the light's frame
        } else {
            EXPECT_EQ(Px(310, 210), Packed(kBrickColour));
        }
    }
}

TEST_F(RenderTest, TheBallTurnsByTwiceTheVelocityEveryPassInBothModes) {
    inputs.velocityX = -3.0f;
    for (int pass = 0; pass < 10; ++pass) Draw(pass % 2 ? Mode::Editor : Mode::Play);
    EXPECT_EQ(state.ballAngle, 60);
    Draw(Mode::Play);
    EXPECT_EQ(screen.BlendedRotation(kBallSprite), 66.0f);
    EXPECT_EQ(screen.BlendedWidth(kBallSprite), 58);
    EXPECT_EQ(screen.BlendedWidth(kLightSprite), 60);
}

// The screen itself may allocate a little per frame (its painter); the walks add nothing, so
// the count does not grow with the level.
TEST_F(RenderTest, TheMapWalksAllocateNothingWhateverTheLevelHolds) {
    const auto allocationsPerFrame = [&](Mode mode) {
        Draw(mode);
        const std::size_t before = tessaron::testing::AllocationCount();
        Draw(mode);
        return tessaron::testing::AllocationCount() - before;
    };
    for (Mode mode : {Mode::Play, Mode::Editor}) {
        level.elements = {Cell(100, 1, 1, 1000)};
        const std::size_t floor = allocationsPerFrame(mode);
        level.elements.clear();
        const float kinds[] = {1000, 1001, 4001, 2002, 4050, 1002};
        for (int i = 0; i < 600; ++i) {
            level.elements.push_back(
                Cell(i % 3 ? 100 : 200, i % 40 - 5, i / 40 - 2, kinds[i % 6], i % 4 == 0 ? 2 : 0));
        }
        EXPECT_EQ(allocationsPerFrame(mode), floor);
    }
}

// Receives a picture's rows whole.
class KeptRows : public runtime::PictureRows {
  public:
    void Row(std::span<const runtime::Pixel> row) override {
        pixels.insert(pixels.end(), row.begin(), row.end());
    }
    std::vector<runtime::Pixel> pixels;
};

// The overview is the level tool's picture without the grid, reduced. It is made from the looks
// of the cells: each must hold all that reaches into its cell (water from either side, the edge
// of a sensor from above and from the left), or a pixel differs.
TEST_F(RenderTest, TheOverviewHasThePixelsOfTheLevelPictureReduced) {
    level.levelWidth = 9;
    level.levelHeight = 6;
    const float kinds[] = {1000, 2002, 1001, 4001, 2002, 2002, 1002, 999.6f, 4000, 1000, 5001};
    const float backgrounds[] = {100, 200, 200, 100, 0, 200, 300};
    int i = 0;
    for (int row = 1; row <= level.levelHeight; ++row) {
        for (int column = 1; column <= level.levelWidth; ++column, ++i) {
            level.elements.push_back(Cell(backgrounds[(i * 5 + row) % 7], float(column), float(row),
                                          kinds[(i * 7 + i / 4) % 11]));
        }
    }
    for (const int scale : {1, 3, 7}) {
        OverviewLayout layout;
        layout.scale = scale;
        layout.width = runtime::ReducedRows::ReducedSize(40 * level.levelWidth, scale);
        layout.height = runtime::ReducedRows::ReducedSize(40 * level.levelHeight, scale);
        const std::vector<runtime::Pixel> overview = DrawOverviewPixels(level, layout, screen);

        LevelPictureOptions options;
        options.grid = GridOverlay::Hidden;
        options.scale = scale;
        KeptRows picture;
        DrawLevelPicture(level, options, screen, picture);
        EXPECT_EQ(overview, picture.pixels) << "reduced by " << scale;
    }
}

TEST(BallAngle, NeverWrapsAroundAtTheIntegerLimits) {
    EXPECT_EQ(detail::NextBallAngle(720, 1.25f), 718);  // R(2.5) = 2
    EXPECT_EQ(detail::NextBallAngle(2147483640, -10.0f), 2147483647);
    EXPECT_EQ(detail::NextBallAngle(-2147483640, 1e30f), -2147483647 - 1);
    EXPECT_EQ(detail::NextBallAngle(5, std::nanf("")), 5);
}

TEST(LabelText, IsTheRoundedValueBetweenTwoSpaces) {
    detail::TextBuffer buffer;
    EXPECT_EQ(detail::LabelText(buffer, 3.0f), " 3 ");
    EXPECT_EQ(detail::LabelText(buffer, -2.0f), " -2 ");
    EXPECT_EQ(detail::LabelText(buffer, 2.5f), " 2 ");
    EXPECT_EQ(detail::LabelText(buffer, 3.5f), " 4 ");
    EXPECT_EQ(detail::LabelText(buffer, -1e20f), " -2147483648 ");
    EXPECT_EQ(detail::ScoreText(buffer, 155), "Punkte : 155");
    EXPECT_EQ(detail::ScoreText(buffer, 0), "Punkte : 0");
}

struct LabelCase {
    std::string name;
    int choice;
    float link, length, speedX, speedY, pause1, pause2;
    // Each expected label: its text and where its left edge and top lie, as functions of the
    // reference point (200, 200) and the label's measured width.
    struct Label {
        std::string text;
        float dx;          // left = R(200 + dx - width * widthShare)
        float widthShare;  // 0.5 centred, 1 right-aligned, 0 left-aligned
        int top;
    };
    std::vector<Label> labels;
};
class ValueDisplay : public RenderTest, public ::testing::WithParamInterface<LabelCase> {};

TEST_P(ValueDisplay, DrawsEachLabelAtItsPlaceOnAWhiteBox) {
    const LabelCase& c = GetParam();
    Element e = Cell(0, 5, 5, 4000);
    e.link = c.link, e.length = c.length, e.speedX = c.speedX, e.speedY = c.speedY;
    e.pause1 = c.pause1, e.pause2 = c.pause2;
    level.elements = {e};
    inputs.valueDisplayChoice = c.choice;
    // An odd and an even reference point: a centred label of odd width then lies on a half
    // pixel that rounds to the even side, which a half width rounded early would miss.
    for (const float view : {0.0f, 1.0f}) {
        SCOPED_TRACE(view);
        level.viewX = view;
        Draw(Mode::Editor, true);
        Save("labels_" + c.name);
        int white = 0;
        for (int y = 150; y < 250; ++y)
            for (int x = 150; x < 250; ++x) white += Px(x, y) == Packed({255, 255, 255});
        if (c.labels.empty()) {
            EXPECT_EQ(white, 0);
        }
        for (const auto& label : c.labels) {
            screen.BeginDrawing();
            screen.UseFont(kLabelFont);
            const int width = screen.TextWidth(label.text);
            screen.EndDrawing();
            const int left = detail::Round(200.0f + view + label.dx -
                                           static_cast<float>(width) * label.widthShare);
            const int top = label.top, inner = top + 1;
            EXPECT_EQ(Px(left, inner), Packed({255, 255, 255})) << label.text;
            EXPECT_EQ(Px(left + width - 1, inner), Packed({255, 255, 255})) << label.text;
            EXPECT_EQ(Px(left - 1, inner), kBlack) << label.text;
            EXPECT_EQ(Px(left + width, inner), kBlack) << label.text;
            EXPECT_EQ(Px(left + 1, top - 1), kBlack) << label.text;
            EXPECT_EQ(Px(left + 1, top), Packed({255, 255, 255})) << label.text;
        }
    }
}
INSTANTIATE_TEST_SUITE_P(
    Choices, ValueDisplay,
    ::testing::Values(
        LabelCase{"link3", 1, 3, 0, 0, 0, 0, 0, {{" 3 ", -20, 0, 180}}},
        LabelCase{"link0", 1, 0, 0, 0, 0, 0, 0, {}},
        LabelCase{"length2", 2, -1, 2, 0, 0, 0, 0, {{" 2 ", 0, 0.5f, 194}}},
        // Two digits give the label an odd width: its centre falls on a half pixel.
        LabelCase{"length12", 2, -1, 12, 0, 0, 0, 0, {{" 12 ", 0, 0.5f, 194}}},
        LabelCase{
            "speed0_11", 3, -1, 0, 0, 11, 0, 0, {{" 11 ", 0, 0.5f, 208}, {" 0 ", 20, 1, 194}}},
        LabelCase{"speed4_0", 3, -1, 0, 4, 0, 0, 0, {{" 0 ", 0, 0.5f, 208}, {" 4 ", 20, 1, 194}}},
        LabelCase{"speed-2", 3, -1, 0, -2, 0, 0, 0, {{" -2 ", 20, 1, 194}}},
        LabelCase{"pause0_5", 4, -1, 0, 0, 0, 0, 5, {{" 0 ", 0, 0.5f, 184}, {" 5 ", 0, 0.5f, 204}}},
        LabelCase{
            "pause13_0", 4, -1, 0, 0, 0, 13, 0, {{" 13 ", 0, 0.5f, 184}, {" 0 ", 0, 0.5f, 204}}},
        LabelCase{"pause0_0", 4, -1, 0, 0, 0, 0, 0, {}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-')
                ch = 'm';
        return name;
    });

TEST_F(RenderTest, LaterLabelsCoverEarlierOnesAndLabelsReachInFromOffTheScreen) {
    inputs.valueDisplayChoice = 1;
    Element wide = Cell(0, 5, 5, 4000), narrow = Cell(0, 5, 5, 4000);
    wide.link = 15;
    narrow.link = 3;
    const auto box = [&] {  // the narrow label's box at the cell's top-left corner (180, 180)
        std::vector<std::int32_t> pixels;
        for (int y = 180; y < 190; ++y)
            for (int x = 180; x < 190; ++x) pixels.push_back(Px(x, y));
        return pixels;
    };
    level.elements = {narrow};
    Draw(Mode::Editor, true);
    const std::vector<std::int32_t> alone = box();
    level.elements = {wide, narrow};
    Draw(Mode::Editor, true);
    EXPECT_EQ(box(), alone);
    EXPECT_EQ(Px(193, 181), Packed({255, 255, 255}));  // the rest of the wider label
    level.elements = {narrow, wide};
    Draw(Mode::Editor, true);
    EXPECT_NE(box(), alone);

    // A cell whose centre lies left of the screen still shows the part of its speed label
    // that ends at the cell's right edge, 15 pixels into the screen.
    inputs.valueDisplayChoice = 3;
    level.viewX = -5.0f;
    Element moving = Cell(0, 0, 5, 4000);
    moving.speedX = 4;
    level.elements = {moving};
    Draw(Mode::Editor, true);
    EXPECT_EQ(Px(14, 196), Packed({255, 255, 255}));
    EXPECT_EQ(Px(15, 196), kBlack);
}

TEST_F(RenderTest, TheScoreLineIsWhiteOnATransparentBackgroundAtTheTopLeft) {
    level.score = 155;
    level.viewX = level.viewY = -20.0f;  // air cells from (0, 0) under the text
    for (int column = 1; column <= 5; ++column)
        level.elements.push_back(Cell(100, column, 1, 1000));
    Draw(Mode::Play, true);
    Save("score");
    screen.BeginDrawing();
    const int width = screen.TextWidth("Punkte : 155");
    screen.EndDrawing();
    int right = -1, bottom = -1, backdrop = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 200; ++x) {
            const std::int32_t p = Px(x, y);
            if (p == Packed({255, 255, 255}))
                right = std::max(right, x), bottom = std::max(bottom, y);
            backdrop += p == Packed(kAirColour) && x < width && y < 10;
        }
    }
    EXPECT_GE(right, width - 4);  // the last digit's ink ends near the text's width
    EXPECT_LT(right, width);
    EXPECT_GT(bottom, 5);
    EXPECT_GT(backdrop, 0);  // no background box: the air shows between the letters
}

}  // namespace
}  // namespace tessaron::render

// Fontconfig keeps a little memory until the process ends; it is not ours to free.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::testing::InitGoogleTest(&argc, argv);
    // CTest lists the tests by running the binary; listing needs no screen.
    if (!GTEST_FLAG_GET(list_tests) && !tessaron::render::MakeScreen(&argc, argv))
        return 1;
    return RUN_ALL_TESTS();
}
