// The resizable main window: the play screen filling it at any size (sharp at whole multiples,
// smooth otherwise), the strip of controls, fullscreen, the size kept for the next run, and the
// mouse mapped back to the pixel under it. Runs under the offscreen platform and, with
// QT_QPA_PLATFORM=xcb, under a real X server.
#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "runtime/qt_internal.h"
#include "runtime/screen_test_support.h"

namespace tessaron::runtime::test {
namespace {

constexpr int kWindow = 2;
constexpr int kStrip = 256;
constexpr int kPattern = 9100;  // a 1024 x 768 sprite of one colour per pixel
constexpr int kCells = 9101;    // a 1024 x 768 sprite of one colour per 40 x 40 cell

// Colours that name their pixel (or cell); never black, which is transparent in a sprite.
QRgb PixelColour(int x, int y) {
    return qRgb(x & 255, y & 255, 0x80 | (x >> 8) | ((y >> 8) << 2));
}
QRgb CellColour(int x, int y) {
    return qRgb(40 + x / 40 * 7, 40 + y / 40 * 9, 200);
}

class ScreenWindow : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        Picture pattern(PlayScreen::kWidth, PlayScreen::kHeight);
        Picture cells(PlayScreen::kWidth, PlayScreen::kHeight);
        for (int y = 0; y < PlayScreen::kHeight; ++y) {
            for (int x = 0; x < PlayScreen::kWidth; ++x) {
                const QRgb p = PixelColour(x, y);
                const QRgb c = CellColour(x, y);
                pattern.At(x, y) = Packed(qRed(p), qGreen(p), qBlue(p));
                cells.At(x, y) = Packed(qRed(c), qGreen(c), qBlue(c));
            }
        }
        WriteBitmap("BMP\\Muster.bmp", pattern);
        WriteBitmap("BMP\\Zellen.bmp", cells);
    }

    ScreenWindow() : windows(TestMachine()), screen(TestMachine()) {
        EXPECT_TRUE(screen.LoadSprite(kPattern, "BMP\\Muster.bmp"));
        EXPECT_TRUE(screen.LoadSprite(kCells, "BMP\\Zellen.bmp"));
    }

    // A resizable window as the game opens it: 1280 x 768 with the screen at (256, 0), then
    // the strip hidden, as in play mode.
    void OpenGameWindow() {
        ASSERT_TRUE(windows.Open(kWindow, 0, 0, 1280, 768, WindowStyle::Resizable, "Tessaron"));
        windows.PushButton(51, 20, 560, 100, 20, "Werte speichern");
        ASSERT_TRUE(screen.AttachTo(windows, kWindow, kStrip, 0));
        windows.ShowControls(false);
        Settle();
    }

    void Show(int sprite) {
        screen.Clear(Rgb{0, 0, 0});
        screen.DrawSprite(sprite, 0, 0);
        screen.Show();
    }

    static void Settle() {
        for (int i = 0; i < 5; ++i) {
            QApplication::processEvents();
            QTest::qWait(10);
        }
    }

    WindowWidget& Window() { return *TestMachine().Internals().WindowWidgetOf(kWindow); }

    // A window manager answers in its own time: true once the window has that size.
    bool Becomes(QSize size) {
        return QTest::qWaitFor([&] { return Window().size() == size; }, 3000);
    }
    QWidget& View() { return *TestMachine().Internals().windows.at(kWindow).screen; }

    // The window's area right of the strip, as drawn, one pixel per device pixel.
    QImage Shown() { return View().grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // The layout point that the mouse at window point (x, y) gives.
    QPoint MouseAt(int x, int y) {
        // The pointer moves there, and the window hears of it as from the platform.
        const QPoint global = Window().mapToGlobal(QPoint(x, y));
        QCursor::setPos(global);
        QMouseEvent move(QEvent::MouseMove, QPointF(x, y), QPointF(global), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(&Window(), &move);
        QApplication::processEvents();
        windows.Use(kWindow);
        return QPoint(windows.MouseX(), windows.MouseY());
    }

    void TearDown() override { windows.Close(kWindow); }

    Windows windows;
    PlayScreen screen;
};

TEST(ScreenPlacement, FillsTheAreaKeepingTheShapeSharpAtWholeMultiples) {
    struct Case {
        int w, h;
        ScreenPlacement expected;
    };
    const Case cases[] = {
        {1024, 768, {0, 0, 1024, 768, true}},
        {2048, 1536, {0, 0, 2048, 1536, true}},
        {1920, 1080, {240, 0, 1440, 1080, false}},
        {3840, 2160, {480, 0, 2880, 2160, false}},
        {1536, 1152, {0, 0, 1536, 1152, false}},
        // Bars a little wider than the picture would need keep the pixels sharp.
        {1050, 780, {13, 6, 1024, 768, true}},
        {800, 600, {0, 0, 800, 600, false}},
        {1024, 300, {312, 0, 400, 300, false}},
    };
    for (const Case& c : cases) {
        const ScreenPlacement p = PlaceScreen(c.w, c.h);
        EXPECT_EQ(p.x, c.expected.x) << c.w << " x " << c.h;
        EXPECT_EQ(p.y, c.expected.y) << c.w << " x " << c.h;
        EXPECT_EQ(p.width, c.expected.width) << c.w << " x " << c.h;
        EXPECT_EQ(p.height, c.expected.height) << c.w << " x " << c.h;
        EXPECT_EQ(p.sharp, c.expected.sharp) << c.w << " x " << c.h;
    }
}

// At every scale each pixel of the window shows the screen pixel that the mouse there names:
// exactly at whole multiples (every pixel of the window checked), and at a fractional scale the
// cell under the pointer. The bars are black, and a press on them is no click.
TEST_F(ScreenWindow, EveryWindowPixelShowsTheScreenPixelTheMouseThereNames) {
    OpenGameWindow();
    struct Scale {
        int w, h;
        int sprite;
    };
    for (const Scale s :
         {Scale{1024, 768, kPattern}, Scale{2048, 1536, kPattern}, Scale{1060, 790, kPattern},
          Scale{1536, 1152, kCells}, Scale{1100, 620, kCells}}) {
        SCOPED_TRACE(std::to_string(s.w) + " x " + std::to_string(s.h));
        Window().resize(s.w, s.h);
        ASSERT_TRUE(Becomes(QSize(s.w, s.h)));
        Settle();
        ASSERT_EQ(View().size(), QSize(s.w, s.h));
        Show(s.sprite);
        Settle();
        const QImage picture = Shown();
        ASSERT_EQ(picture.size(), QSize(s.w, s.h));
        const ScreenPlacement placement = PlaceScreen(s.w, s.h);
        int checked = 0;
        for (int y = 0; y < s.h; ++y) {
            for (int x = 0; x < s.w; ++x) {
                const ScreenPoint p = ScreenPixelAt(placement, x, y);
                const QRgb shown = picture.pixel(x, y) | 0xff000000u;
                if (p.x < 0 || p.y < 0 || p.x >= 1024 || p.y >= 768) {
                    ASSERT_EQ(shown, qRgb(0, 0, 0)) << "bar at " << x << ", " << y;
                } else if (s.sprite == kPattern) {
                    ASSERT_EQ(shown, PixelColour(p.x, p.y)) << "at " << x << ", " << y;
                    ++checked;
                } else if (p.x % 40 >= 2 && p.x % 40 < 38 && p.y % 40 >= 2 && p.y % 40 < 38) {
                    // Away from the cell's edges the filter mixes only the cell's own colour.
                    ASSERT_EQ(shown, CellColour(p.x, p.y)) << "at " << x << ", " << y;
                    ++checked;
                }
            }
        }
        EXPECT_GT(checked, s.w * s.h / 2);
        // The mouse names the same pixels, in the layout of the window opened at 1280 x 768.
        for (const QPoint at : {QPoint(0, 0), QPoint(s.w / 2, s.h / 2), QPoint(s.w - 1, s.h - 1),
                                QPoint(s.w / 3 + 1, s.h / 7 + 3), QPoint(101, 59)}) {
            // A real pointer stays on the screen.
            if (!Window().screen()->geometry().contains(Window().mapToGlobal(at))) {
                continue;
            }
            const ScreenPoint p = ScreenPixelAt(placement, at.x(), at.y());
            EXPECT_EQ(MouseAt(at.x(), at.y()), QPoint(kStrip + p.x, p.y))
                << "mouse at " << at.x() << ", " << at.y();
        }
    }
    // 1100 x 620 has bars at the sides: a press there queues nothing, one on the picture does.
    while (windows.Poll().code != EventCode::None) {
    }
    QTest::mouseClick(&Window(), Qt::LeftButton, {}, QPoint(5, 300));
    EXPECT_EQ(windows.Poll().code, EventCode::None);
    QTest::mouseClick(&Window(), Qt::LeftButton, {}, QPoint(550, 300));
    EXPECT_EQ(windows.Poll().code, EventCode::LeftButtonDown);
}

// The strip of controls: shown, the window grows by it and the screen keeps its size; the mouse
// over it gives the strip's own coordinates. Fullscreen keeps the size whatever the strip does,
// and ends where it began.
TEST_F(ScreenWindow, StripAndFullscreenKeepThePlayScreenWhereThePlayerWantsIt) {
    OpenGameWindow();
    EXPECT_TRUE(Becomes(QSize(1024, 768)));
    windows.ShowControls(true);
    EXPECT_TRUE(Becomes(QSize(1280, 768)));
    Settle();
    EXPECT_EQ(View().geometry(), QRect(kStrip, 0, 1024, 768));
    EXPECT_EQ(MouseAt(30, 565), QPoint(30, 565));
    EXPECT_EQ(MouseAt(kStrip + 10, 20), QPoint(kStrip + 10, 20));

    windows.SetFullScreen(true);
    const QSize full = Window().screen()->geometry().size();
    EXPECT_TRUE(Becomes(full));
    Settle();
    EXPECT_TRUE(windows.FullScreen());
    windows.ShowControls(false);
    Settle();
    EXPECT_EQ(Window().size(), full);
    EXPECT_EQ(View().geometry(), QRect(QPoint(0, 0), full));
    // A dialog placed in the middle of the play screen stays in the middle of its picture,
    // wherever and however large the picture is shown.
    ASSERT_TRUE(windows.Open(5, 412, 344, 200, 110, WindowStyle::Dialog, "PAUSE"));
    QWidget& dialog = *TestMachine().Internals().WindowWidgetOf(5);
    const ScreenPlacement placement = PlaceScreen(full.width(), full.height());
    const QPoint middle = View().mapToGlobal(
        QPoint(placement.x + placement.width / 2, placement.y + (399 * placement.height) / 768));
    EXPECT_LE((dialog.pos() + QPoint(100, 55) - middle).manhattanLength(), 2);
    windows.Close(5);
    windows.Use(kWindow);
    windows.SetFullScreen(false);
    EXPECT_TRUE(Becomes(QSize(1024, 768)));
    EXPECT_FALSE(windows.FullScreen());
}

// The size and state come from the kept file, and go back there when the window closes.
TEST_F(ScreenWindow, SizeAndStateAreKeptForTheNextRun) {
    const std::filesystem::path folder =
        std::filesystem::path(TestFolder().Root()) / "config" / "tessaron";
    const std::filesystem::path file = folder / "window.conf";
    std::filesystem::create_directories(folder);
    std::ofstream(file) << "width 1400\nheight 900\nmaximised 0\nfullscreen 0\n";
    OpenGameWindow();
    windows.RememberPlacement(file);
    EXPECT_TRUE(Becomes(QSize(1400, 900)));
    Window().resize(1200, 700);
    EXPECT_TRUE(Becomes(QSize(1200, 700)));
    windows.Close(kWindow);
    std::ifstream in(file);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "width 1200\nheight 700\nmaximised 0\nfullscreen 0\n");

    // A file that holds nothing sensible changes nothing.
    std::ofstream(file) << "width -5\nheight lots\n";
    OpenGameWindow();
    windows.RememberPlacement(file);
    Settle();
    EXPECT_TRUE(Becomes(QSize(1024, 768)));
}

}  // namespace
}  // namespace tessaron::runtime::test
