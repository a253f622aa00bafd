// The demonstration frame: the main window with its side panel and play screen, keyed and
// blended sprites, text and shapes, saved as pictures for a person to look at.
#include <QImage>

#include <cmath>

#include <gtest/gtest.h>

#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

Picture BrickPicture() {
    Picture p(40, 40, Packed(150, 60, 40));
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool mortarRow = y % 10 == 9;
            const bool mortarColumn = (x + (y / 10 % 2) * 10) % 20 == 19;
            if (mortarRow || mortarColumn) {
                p.At(x, y) = Packed(190, 180, 170);
            } else if ((x * 7 + y * 13) % 11 == 0) {
                p.At(x, y) = Packed(130, 50, 35);
            }
        }
    }
    return p;
}

Picture BallPicture() {
    Picture p(58, 58, 0);
    for (int y = 0; y < 58; ++y) {
        for (int x = 0; x < 58; ++x) {
            const double dx = x - 28.5;
            const double dy = y - 28.5;
            const double d = std::sqrt(dx * dx + dy * dy);
            if (d <= 28.0) {
                const double light = std::max(0.2, 1.0 - std::hypot(dx + 10, dy + 10) / 50.0);
                const bool stripe = std::abs(dx - dy) < 6.0;
                const int r = stripe ? int(255 * light) : int(40 * light) + 10;
                const int g = stripe ? int(200 * light) : int(120 * light) + 10;
                const int b = stripe ? int(40 * light) : int(230 * light) + 10;
                p.At(x, y) = Packed(r, g, b);
            }
        }
    }
    return p;
}

Picture CoinPicture() {
    Picture p(40, 40, 0);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const double d = std::hypot(x - 19.5, y - 19.5);
            if (d <= 14.0) {
                p.At(x, y) = d > 12.0 ? Packed(180, 130, 20) : Packed(240, 200, 50);
            }
        }
    }
    return p;
}

TEST(ScreenDemonstration, MainWindowShowsTheFrameDrawnWithSpritesTextAndShapes) {
    Machine& machine = TestMachine();
    WriteBitmap("BMP\\DemoZiegel.bmp", BrickPicture());
    WriteBitmap("BMP\\DemoKugel.bmp", BallPicture());
    WriteBitmap("BMP\\DemoMuenze.bmp", CoinPicture());

    Windows windows(machine);
    ASSERT_TRUE(windows.Open(2, 0, 0, 1280, 768, WindowStyle::Borderless, "Tessaron"));
    windows.Toolbar();
    windows.ToolbarButton(1, StandardIcon::NewFile, "Neues Level");
    windows.ToolbarButton(2, StandardIcon::OpenFile, "Level laden");
    windows.ToolbarButton(3, StandardIcon::SaveFile, "Level speichern");
    windows.ToolbarSeparator();
    windows.ToolbarButton(4, StandardIcon::Undo, "Rückgängig");
    windows.ToolbarButton(5, StandardIcon::Redo, "Wiederholen");
    windows.ToolbarSeparator();
    windows.Frame(99, 10, 40, 230, 50, "Wertanzeige");
    windows.ComboBox(90, 20, 60, 210, 200);
    windows.AddRow(90, "Nichts");
    windows.AddRow(90, "Verbindungsnummer");
    windows.SetState(90, 0);
    windows.Frame(99, 10, 100, 230, 230, "Elemente");
    windows.ListBox(1000, 20, 120, 190, 160);
    for (const char* name :
         {"Nichts", "Ziegelstein", "Beton", "Erde", "Rasen", "Gestrüp", "Holz", "Tür", "Schalter",
          "Sensor", "Stacheln", "Fackel", "Diskette", "1 €"}) {
        windows.AddRow(1000, name);
    }
    windows.SetState(1000, 1);
    windows.Frame(98, 10, 290, 230, 40, "", FrameStyle::Sunken);
    windows.Option(100, 20, 300, 90, 20, "Luft");
    windows.Option(200, 110, 300, 90, 20, "Wasser");
    windows.SetState(100, 1);
    windows.Frame(97, 10, 340, 230, 290, "Verknüpfungen & Bewegungen");
    windows.Label(20, 20, 380, 120, 30, "Verschiebungsgeschw. (in_Pixel_;_!nicht_schräg!)");
    windows.TextField(28, 170, 365, 20, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(24, 150, 385, 20, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(26, 190, 385, 20, 20, "0", TextFieldFlags::DigitsOnly);
    windows.TextField(22, 170, 405, 20, 20, "0", TextFieldFlags::DigitsOnly);
    windows.PushButton(51, 20, 560, 100, 20, "Werte speichern");
    windows.Frame(96, 10, 640, 230, 50, "Pinselgröße");
    windows.TrackBar(61, 20, 660, 150, 20, 1, 8);
    windows.TextField(62, 180, 660, 40, 20, "1", TextFieldFlags::DigitsOnly);
    windows.CheckBox(2000, 178, 713, 56, 16, "ALLE", CheckBoxText::RightAligned);
    windows.CheckBox(2001, 218, 123, 16, 16, "");
    windows.SetState(2001, 1);

    PlayScreen screen(machine);
    ASSERT_TRUE(screen.AttachTo(windows, 2, 256, 0));
    ASSERT_TRUE(screen.LoadSprite(1001, "BMP\\DemoZiegel.bmp"));
    ASSERT_TRUE(screen.LoadSprite(10, "BMP\\DemoKugel.bmp"));
    ASSERT_TRUE(screen.LoadSprite(4005, "BMP\\DemoMuenze.bmp"));
    ASSERT_TRUE(screen.CreateBlendedSprite(10, 10));
    ASSERT_TRUE(screen.CreateBlendedSprite(4005, 4005));
    ASSERT_TRUE(screen.LoadFont(1, "Arial", 7));
    screen.SetBlendedFiltering(true);

    screen.Clear(Rgb{20, 30, 60});
    for (int column = 0; column < 26; ++column) {
        screen.DrawSprite(1001, column * 40 - 8, 600);  // keyed, clipped at the left edge
        screen.DrawSprite(1001, column * 40 - 8, 640);
    }
    for (int row = 0; row < 5; ++row) {
        screen.DrawSprite(1001, 800, 400 + row * 40);
    }
    screen.BeginScene();
    screen.SetBlendedRotation(10, 30.0f, RotationCentre::Quad);
    screen.DrawBlended(10, 483, 355);  // the ball at the screen's centre, turned
    for (int i = 0; i < 5; ++i) {
        screen.SetBlendedSize(4005, 41, 41);
        screen.SetBlendedRotation(4005, float(i) * 20.0f, RotationCentre::Quad);
        screen.DrawBlended(4005, 100 + i * 60, 540, 255 - i * 50);
    }
    screen.SetBlendedSize(4005, 82, 82);
    screen.DrawBlended(4005, 600, 500, 160);
    screen.EndScene();

    screen.BeginDrawing();
    screen.SetDrawingMode(kTransparentText);
    screen.SetFrontColour(Rgb{255, 255, 255});
    screen.SetTextPosition(10, 10);
    screen.DrawText("Punkte : ");
    screen.DrawText("125");
    screen.UseFont(1);
    screen.SetFrontColour(Rgb{255, 255, 0});
    for (int column = 0; column < 5; ++column) {
        screen.SetTextPosition(800 + 2, 400 + column * 40 + 2);
        screen.DrawText(std::to_string(column * 3));
    }
    screen.UseFont(0);
    screen.SetDrawingMode(0);
    screen.SetFrontColour(Rgb{0, 0, 0});
    screen.SetBackColour(Rgb{200, 200, 200});
    screen.SetTextPosition(10, 40);
    screen.DrawText("Position : (12, 7)");
    screen.SetDrawingMode(kOutline);
    screen.Rectangle(680, 280, 120, 80, Rgb{255, 0, 0});
    screen.SetDrawingMode(0);
    screen.Rectangle(700, 300, 40, 40, Rgb{0, 200, 0});
    screen.Circle(900, 150, 40, Rgb{255, 128, 0});
    screen.SetDrawingMode(kOutline);
    screen.Circle(900, 150, 50, Rgb{255, 255, 255});
    screen.SetDrawingMode(kInvert);
    screen.Rectangle(860, 130, 80, 40, Rgb{0, 0, 0});
    screen.EndDrawing();
    screen.Show();

    const std::filesystem::path out = std::filesystem::path(TESSARON_BINARY_DIR) / "tests";
    std::filesystem::create_directories(out);
    ASSERT_TRUE(screen.SaveShown(out / "screen_demo_frame.png"));
    ASSERT_TRUE(windows.SaveWindowPicture(2, out / "screen_demo_window.png"));

    // Chosen points of the frame: a keyed brick, the ball, a filled rectangle, the inverted
    // band over the orange disc, the untouched background.
    EXPECT_EQ(PackColour(screen.ShownPixel(2, 601)), Packed(150, 60, 40));
    EXPECT_EQ(PackColour(screen.ShownPixel(720, 320)), Packed(0, 200, 0));
    EXPECT_EQ(PackColour(screen.ShownPixel(900, 150)), Packed(0, 127, 255));
    EXPECT_EQ(PackColour(screen.ShownPixel(900, 100)), Packed(255, 255, 255));
    EXPECT_EQ(PackColour(screen.ShownPixel(500, 100)), Packed(20, 30, 60));
    EXPECT_NE(PackColour(screen.ShownPixel(512, 384)), Packed(20, 30, 60));

    // The window shows the shown frame at (256, 0), beside the side panel.
    const QImage window(QString::fromStdString((out / "screen_demo_window.png").string()));
    ASSERT_EQ(window.width(), 1280);
    ASSERT_EQ(window.height(), 768);
    for (const auto& [x, y] : {std::pair{2, 601}, std::pair{720, 320}, std::pair{900, 150},
                               std::pair{512, 384}, std::pair{1023, 767}}) {
        const QRgb p = window.pixel(256 + x, y);
        EXPECT_EQ(Packed(qRed(p), qGreen(p), qBlue(p)), PackColour(screen.ShownPixel(x, y)))
            << x << "," << y;
    }
    windows.Close(2);
}

}  // namespace
}  // namespace tessaron::runtime::test
