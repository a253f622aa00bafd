// The play screen: keyed sprites, collision masks, blended sprites and 2D drawing, checked by the
// pixels they leave in the back buffer.
#include <climits>
#include <fstream>

#include <gtest/gtest.h>

#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

constexpr std::int32_t kRed = Packed(255, 0, 0);
constexpr std::int32_t kGreen = Packed(0, 255, 0);
constexpr Rgb kBlue{0, 0, 255};

// Sprites shared by the tests of this file, written once.
void WriteTestPictures() {
    static bool written = false;
    if (written) {
        return;
    }
    written = true;
    Picture solid(10, 10, kRed);
    WriteBitmap("BMP\\Solid.bmp", solid);
    Picture left(10, 10, 0);
    left.Fill(0, 0, 5, 10, kRed);
    WriteBitmap("BMP\\Left.bmp", left);
    Picture right(10, 10, 0);
    right.Fill(5, 0, 5, 10, kGreen);
    WriteBitmap("BMP\\Right.bmp", right);
    Picture wide(100, 3, 0);
    wide.At(70, 1) = kRed;
    wide.At(99, 2) = kRed;
    WriteBitmap("BMP\\Wide.bmp", wide);
    WriteBitmap("BMP\\Dot.bmp", Picture(1, 1, kRed));
    Picture corner(4, 4, kRed);
    corner.At(0, 0) = 0;
    corner.At(3, 3) = Packed(1, 0, 0);  // nearly black is a colour, not transparent
    WriteBitmap("BMP\\Corner.bmp", corner);
}

class Screen : public ::testing::Test {
  protected:
    Screen() : screen(TestMachine()) {
        WriteTestPictures();
        EXPECT_TRUE(screen.LoadSprite(1, "BMP\\Solid.bmp"));
        EXPECT_TRUE(screen.LoadSprite(2, "BMP\\Left.bmp"));
        EXPECT_TRUE(screen.LoadSprite(3, "BMP\\Right.bmp"));
        EXPECT_TRUE(screen.LoadSprite(4, "BMP\\Wide.bmp"));
        EXPECT_TRUE(screen.LoadSprite(5, "bmp\\dot.BMP"));  // letter case as the game's host
        EXPECT_TRUE(screen.LoadSprite(6, "BMP\\Corner.bmp"));
        screen.Clear(kBlue);
    }

    // How many pixels of the back buffer differ from the colour.
    int PixelsOtherThan(Rgb colour, int x0 = 0, int y0 = 0, int x1 = PlayScreen::kWidth,
                        int y1 = PlayScreen::kHeight) {
        int count = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                count += screen.BackPixel(x, y) == colour ? 0 : 1;
            }
        }
        return count;
    }

    PlayScreen screen;
};

TEST_F(Screen, KeyedSpriteLeavesBlackOutAndClipsAtTheEdges) {
    EXPECT_EQ(screen.SpriteWidth(6), 4);
    EXPECT_EQ(screen.SpriteHeight(4), 3);
    screen.DrawSprite(6, 10, 20);
    EXPECT_EQ(screen.BackPixel(10, 20), kBlue);
    EXPECT_EQ(screen.BackPixel(11, 20), (Rgb{255, 0, 0}));
    EXPECT_EQ(screen.BackPixel(13, 23), (Rgb{1, 0, 0}));
    EXPECT_EQ(PixelsOtherThan(kBlue), 15);

    screen.Clear(kBlue);
    screen.DrawSprite(6, -3, -3);
    screen.DrawSprite(6, 1022, 766);
    EXPECT_EQ(screen.BackPixel(0, 0), (Rgb{1, 0, 0}));
    EXPECT_EQ(screen.BackPixel(1023, 767), (Rgb{255, 0, 0}));
    EXPECT_EQ(PixelsOtherThan(kBlue), 1 + 3);
}

class OffScreenSprite : public Screen, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(OffScreenSprite, DrawsNothing) {
    const auto [x, y] = GetParam();
    screen.DrawSprite(1, x, y);
    screen.DrawSprite(4, x, y);
    EXPECT_EQ(PixelsOtherThan(kBlue), 0);
}

INSTANTIATE_TEST_SUITE_P(Positions, OffScreenSprite,
                         ::testing::Values(std::pair{-100, 0}, std::pair{1024, 0},
                                           std::pair{0, 768}, std::pair{0, -10},
                                           std::pair{INT_MAX, INT_MAX}, std::pair{INT_MIN, 0},
                                           std::pair{100, INT_MIN}));

struct CollisionCase {
    const char* name;
    int a, ax, ay, b, bx, by;
    bool collide;
};

class SpriteCollision : public Screen, public ::testing::WithParamInterface<CollisionCase> {};

TEST_P(SpriteCollision, OnlyOpaquePixelsOverOpaquePixelsCollide) {
    const CollisionCase& c = GetParam();
    EXPECT_EQ(screen.SpritesCollide(c.a, c.ax, c.ay, c.b, c.bx, c.by), c.collide);
    EXPECT_EQ(screen.SpritesCollide(c.b, c.bx, c.by, c.a, c.ax, c.ay), c.collide);
}

INSTANTIATE_TEST_SUITE_P(
    Edges, SpriteCollision,
    ::testing::Values(CollisionCase{"Touching", 1, 0, 0, 1, 10, 0, false},
                      CollisionCase{"OneColumnOver", 1, 0, 0, 1, 9, 0, true},
                      CollisionCase{"OnePixelApart", 1, 0, 0, 1, 11, 0, false},
                      CollisionCase{"CornerPixel", 1, 0, 0, 1, 9, 9, true},
                      CollisionCase{"TouchingBelow", 1, 0, 0, 1, 0, 10, false},
                      CollisionCase{"FarApart", 1, INT_MIN, 0, 1, INT_MAX - 5, 0, false},
                      CollisionCase{"TransparentOverlapOnly", 2, 0, 0, 3, 5, 0, false},
                      CollisionCase{"TransparentOverTransparentAndOpaque", 2, 0, 0, 3, 0, 0, false},
                      CollisionCase{"OpaqueHalvesMeet", 2, 0, 0, 3, -1, 0, true},
                      CollisionCase{"BeyondTheFirstWord", 4, 3, 7, 5, 73, 8, true},
                      CollisionCase{"BeyondTheFirstWordOneLeft", 4, 3, 7, 5, 72, 8, false},
                      CollisionCase{"BeyondTheFirstWordOneUp", 4, 3, 7, 5, 73, 7, false},
                      CollisionCase{"LastColumn", 4, -30, 0, 5, 69, 2, true},
                      CollisionCase{"ShiftedAcrossWords", 4, 0, 0, 4, 1, 0, false},
                      CollisionCase{"SamePlace", 4, 5, 5, 4, 5, 5, true},
                      CollisionCase{"UnknownSprite", 1, 0, 0, 77, 0, 0, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screen, MissingOrBrokenPictureLeavesTheSpriteUndefined) {
    EXPECT_FALSE(screen.LoadSprite(1, "BMP\\Fehlt.bmp"));
    EXPECT_FALSE(screen.HasSprite(1));
    {
        std::ofstream out(TestFolder().Resolve("BMP/Kaputt.bmp"));
        out << "BM not really a bitmap";
    }
    EXPECT_FALSE(screen.LoadSprite(2, "BMP\\Kaputt.bmp"));
    EXPECT_FALSE(screen.HasSprite(2));
    screen.DrawSprite(1, 0, 0);
    EXPECT_FALSE(screen.CreateBlendedSprite(1, 1));
    EXPECT_FALSE(screen.SpritesCollide(1, 0, 0, 1, 0, 0));
    EXPECT_EQ(PixelsOtherThan(kBlue), 0);
}

TEST_F(Screen, BlendedSpriteStartsOneLargerAndSizeMakesItUpright) {
    ASSERT_TRUE(screen.CreateBlendedSprite(1, 1));
    EXPECT_EQ(screen.BlendedWidth(1), 11);
    EXPECT_EQ(screen.BlendedHeight(1), 11);
    screen.SetBlendedRotation(1, 30.0f, RotationCentre::Quad);
    screen.SetBlendedRotation(1, 45.0f, RotationCentre::Quad);
    EXPECT_EQ(screen.BlendedRotation(1), 45.0f);  // absolute, not added
    screen.SetBlendedSize(1, 20, 16);
    EXPECT_EQ(screen.BlendedRotation(1), 0.0f);
    EXPECT_EQ(screen.BlendedWidth(1), 20);

    screen.SetBlendedFiltering(false);
    screen.DrawBlended(1, 100, 100);  // outside a scene: ignored
    EXPECT_EQ(PixelsOtherThan(kBlue), 0);
    screen.BeginScene();
    screen.DrawBlended(1, 100, 100);
    screen.EndScene();
    EXPECT_EQ(PixelsOtherThan(kBlue), 20 * 16);
    EXPECT_EQ(PixelsOtherThan(kBlue, 100, 100, 120, 116), 20 * 16);
}

TEST_F(Screen, BlendedOpacityMixesWithTheBackground) {
    ASSERT_TRUE(screen.CreateBlendedSprite(1, 1));
    screen.SetBlendedFiltering(true);
    screen.BeginScene();
    screen.DrawBlended(1, 50, 50, 128);
    screen.DrawBlended(1, 80, 50, 0);
    screen.DrawBlended(1, 110, 50, 255);
    screen.EndScene();
    const Rgb mixed = screen.BackPixel(55, 55);
    EXPECT_NEAR(mixed.red, 128, 2);
    EXPECT_EQ(mixed.green, 0);
    EXPECT_NEAR(mixed.blue, 127, 2);
    EXPECT_EQ(screen.BackPixel(85, 55), kBlue);
    EXPECT_EQ(screen.BackPixel(115, 55), (Rgb{255, 0, 0}));
}

struct TurnCase {
    int sprite;  // 2: red left half, 3: green right half, the other half transparent
    RotationCentre centre;
    float degrees;
    int colouredX, colouredY;
    int blueX, blueY;
};

class BlendedTurn : public Screen, public ::testing::WithParamInterface<TurnCase> {};

TEST_P(BlendedTurn, TurnsClockwiseAboutTheChosenCentre) {
    const TurnCase& c = GetParam();
    ASSERT_TRUE(screen.CreateBlendedSprite(c.sprite, c.sprite));
    screen.SetBlendedFiltering(false);
    screen.SetBlendedSize(c.sprite, 20, 10);
    screen.SetBlendedRotation(c.sprite, c.degrees, c.centre);
    screen.BeginScene();
    screen.DrawBlended(c.sprite, 200, 200);
    screen.EndScene();
    const Rgb colour = c.sprite == 2 ? Rgb{255, 0, 0} : Rgb{0, 255, 0};
    EXPECT_EQ(screen.BackPixel(c.colouredX, c.colouredY), colour);
    EXPECT_EQ(screen.BackPixel(c.blueX, c.blueY), kBlue);
}

INSTANTIATE_TEST_SUITE_P(
    Turns, BlendedTurn,
    ::testing::Values(
        // Upright, the quad at x 200..219: red at 200..209, green at 210..219.
        TurnCase{2, RotationCentre::Quad, 0.0f, 203, 205, 215, 205},
        TurnCase{3, RotationCentre::Quad, 0.0f, 215, 205, 203, 205},
        // Half a turn about the quad's centre (210, 205) swaps the halves.
        TurnCase{2, RotationCentre::Quad, 180.0f, 215, 205, 203, 205},
        // Half a turn about the picture's centre (205, 205): the quad reaches back to x 190.
        TurnCase{3, RotationCentre::Picture, 180.0f, 195, 205, 215, 205},
        // A quarter turn clockwise about the quad's centre: the left half goes to the top.
        TurnCase{2, RotationCentre::Quad, 90.0f, 210, 197, 210, 212},
        // A quarter turn back: the left half goes to the bottom.
        TurnCase{2, RotationCentre::Quad, -90.0f, 210, 212, 210, 197}));

TEST_F(Screen, RectanglesCoverTheirPixelsExactlyOnce) {
    screen.Clear(Rgb{10, 20, 30});
    screen.Rectangle(10, 10, 5, 4, Rgb{255, 0, 0});  // outside a pass: ignored
    EXPECT_EQ(PixelsOtherThan(Rgb{10, 20, 30}), 0);
    screen.BeginDrawing();
    screen.Rectangle(10, 10, 5, 4, Rgb{255, 0, 0});
    screen.SetDrawingMode(kOutline);
    screen.Rectangle(30, 10, 5, 4, Rgb{0, 255, 0});
    screen.SetDrawingMode(kInvert | kOutline);
    screen.Rectangle(50, 10, 5, 4, Rgb{0, 0, 0});
    screen.SetDrawingMode(kInvert);
    screen.Rectangle(70, 10, 5, 4, Rgb{0, 0, 0});
    screen.EndDrawing();
    EXPECT_EQ(PixelsOtherThan(Rgb{10, 20, 30}, 10, 10, 15, 14), 20);
    EXPECT_EQ(PixelsOtherThan(Rgb{10, 20, 30}), 20 + 14 + 14 + 20);
    EXPECT_EQ(screen.BackPixel(30, 10), (Rgb{0, 255, 0}));
    EXPECT_EQ(screen.BackPixel(34, 13), (Rgb{0, 255, 0}));
    EXPECT_EQ(screen.BackPixel(32, 11), (Rgb{10, 20, 30}));
    EXPECT_EQ(screen.BackPixel(35, 10), (Rgb{10, 20, 30}));
    EXPECT_EQ(screen.BackPixel(50, 10), (Rgb{245, 235, 225}));  // a corner, inverted once
    EXPECT_EQ(screen.BackPixel(54, 13), (Rgb{245, 235, 225}));
    EXPECT_EQ(screen.BackPixel(72, 12), (Rgb{245, 235, 225}));
}

TEST_F(Screen, ShapesAndTextFarOutsideAreClippedSafely) {
    screen.Clear(Rgb{0, 0, 0});
    ASSERT_TRUE(screen.CreateBlendedSprite(1, 1));
    screen.SetBlendedRotation(1, 45.0f, RotationCentre::Quad);
    screen.BeginScene();
    screen.DrawBlended(1, INT_MAX, INT_MIN);
    screen.DrawBlended(1, INT_MIN, INT_MAX);
    screen.EndScene();
    screen.BeginDrawing();
    screen.Circle(INT_MAX, INT_MAX, INT_MAX, Rgb{9, 9, 9});
    screen.SetTextPosition(INT_MAX - 3, INT_MIN);
    screen.DrawText("Punkte : 10");
    screen.DrawText("Punkte : 10");
    screen.Rectangle(INT_MAX, 0, INT_MAX, 10, Rgb{9, 9, 9});
    EXPECT_EQ(PixelsOtherThan(Rgb{0, 0, 0}), 0);
    screen.SetDrawingMode(kOutline);
    screen.Rectangle(-5, -5, INT_MAX, INT_MAX, Rgb{255, 0, 0});
    EXPECT_EQ(PixelsOtherThan(Rgb{0, 0, 0}), 0);  // its edges lie off the screen
    screen.SetDrawingMode(0);
    screen.Rectangle(-5, -5, INT_MAX, INT_MAX, Rgb{255, 0, 0});
    EXPECT_EQ(PixelsOtherThan(Rgb{255, 0, 0}), 0);
    screen.Circle(512, 384, INT_MAX / 2, Rgb{0, 255, 0});
    EXPECT_EQ(PixelsOtherThan(Rgb{0, 255, 0}), 0);
    screen.EndDrawing();
}

TEST_F(Screen, CircleIsCentredOnItsPoint) {
    screen.Clear(Rgb{0, 0, 0});
    screen.BeginDrawing();
    screen.Circle(100, 100, 5, Rgb{255, 255, 0});
    screen.SetDrawingMode(kOutline);
    screen.Circle(200, 100, 5, Rgb{0, 255, 0});
    screen.EndDrawing();
    for (const auto& [dx, dy] :
         {std::pair{0, 0}, std::pair{5, 0}, std::pair{-5, 0}, std::pair{0, 5}, std::pair{0, -5}}) {
        EXPECT_EQ(screen.BackPixel(100 + dx, 100 + dy), (Rgb{255, 255, 0})) << dx << "," << dy;
    }
    EXPECT_EQ(screen.BackPixel(106, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(screen.BackPixel(94, 100), (Rgb{0, 0, 0}));
    EXPECT_EQ(screen.BackPixel(200, 100), (Rgb{0, 0, 0}));  // outline only
    EXPECT_EQ(screen.BackPixel(203, 100), (Rgb{0, 0, 0}));
    for (const auto& [dx, dy] :
         {std::pair{5, 0}, std::pair{-5, 0}, std::pair{0, 5}, std::pair{0, -5}}) {
        EXPECT_EQ(screen.BackPixel(200 + dx, 100 + dy), (Rgb{0, 255, 0})) << dx << "," << dy;
    }
    EXPECT_EQ(PixelsOtherThan(Rgb{0, 0, 0}, 194, 94, 207, 107),
              PixelsOtherThan(Rgb{0, 0, 0}, 195, 95, 206, 106));
}

TEST_F(Screen, TextAdvancesByItsWidthInCrispFrontColour) {
    screen.Clear(kBlue);
    screen.BeginDrawing();
    const int width = screen.TextWidth("Punkte : ");
    EXPECT_GT(width, 30);
    screen.SetFrontColour(Rgb{255, 255, 0});
    screen.SetBackColour(Rgb{0, 0, 0});
    screen.SetTextPosition(100, 100);
    screen.DrawText("Punkte : ");
    screen.DrawText("42");
    // The same number drawn alone where the first text ended.
    screen.SetTextPosition(100 + width, 200);
    screen.DrawText("42");
    const int numberWidth = screen.TextWidth("42");
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < numberWidth; ++x) {
            ASSERT_EQ(screen.BackPixel(100 + width + x, 100 + y),
                      screen.BackPixel(100 + width + x, 200 + y));
        }
    }
    // Opaque background: nothing of the cleared colour is left in the text's cell; every pixel
    // is the back or the front colour (no antialiasing).
    int front = 0;
    for (int y = 100; y < 110; ++y) {
        for (int x = 100; x < 100 + width; ++x) {
            const Rgb p = screen.BackPixel(x, y);
            ASSERT_TRUE(p == (Rgb{255, 255, 0}) || p == (Rgb{0, 0, 0})) << x << "," << y << p;
            front += p == (Rgb{255, 255, 0}) ? 1 : 0;
        }
    }
    EXPECT_GT(front, 20);
    // Transparent background: only text pixels change.
    screen.SetDrawingMode(kTransparentText);
    screen.SetTextPosition(100, 300);
    screen.DrawText("Punkte : ");
    screen.EndDrawing();
    EXPECT_EQ(PixelsOtherThan(kBlue, 100, 300, 100 + width, 320),
              20 * width - PixelsOtherThan(Rgb{255, 255, 0}, 100, 100, 100 + width, 120));
}

TEST_F(Screen, SmallFontIsNarrowerThanTheDefault) {
    ASSERT_TRUE(screen.LoadFont(1, "Arial", 7));
    screen.BeginDrawing();
    const int normal = screen.TextWidth("Verbindungsnummer");
    screen.UseFont(1);
    const int small = screen.TextWidth("Verbindungsnummer");
    EXPECT_LT(small, normal);
    EXPECT_GT(small, 40);
    screen.EndDrawing();
    // A new pass starts with the default font again.
    screen.BeginDrawing();
    EXPECT_EQ(screen.TextWidth("Verbindungsnummer"), normal);
    screen.EndDrawing();
}

TEST_F(Screen, ShowMakesTheBackBufferVisible) {
    screen.Show();
    screen.Clear(Rgb{0, 0, 0});
    screen.DrawSprite(1, 0, 0);
    EXPECT_EQ(screen.ShownPixel(0, 0), kBlue);
    screen.Show();
    EXPECT_EQ(screen.ShownPixel(0, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(screen.ShownPixel(10, 0), (Rgb{0, 0, 0}));
    EXPECT_EQ(screen.ShownPixel(-1, 5000), (Rgb{0, 0, 0}));
}

}  // namespace
}  // namespace tessaron::runtime::test
