// Resizable windows: the strip of controls beside the play screen, fullscreen, the size and
// state kept from one run to the next, and the way back from a point on a scaled play screen to
// the pixel it shows.
#include <QResizeEvent>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>

#include "runtime/file_writer.h"
#include "runtime/host_files.h"
#include "runtime/qt_internal.h"

namespace tessaron::runtime {

namespace {

// Integer division rounding towards minus infinity.
std::int64_t FloorDivide(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// The window's area in device pixels: what a scaled picture must fill.
int DevicePixels(int logical, qreal ratio) {
    return std::max(1, int(std::lround(logical * ratio)));
}

}  // namespace

ScreenPlacement PlaceScreen(int areaWidth, int areaHeight) {
    constexpr std::int64_t w = PlayScreen::kWidth;
    constexpr std::int64_t h = PlayScreen::kHeight;
    const std::int64_t areaW = std::max(areaWidth, 1);
    const std::int64_t areaH = std::max(areaHeight, 1);
    ScreenPlacement p;
    // The largest picture of the screen's shape: limited by the width or by the height.
    std::int64_t width = areaW;
    std::int64_t height = areaW * h / w;
    if (areaW * h > areaH * w) {
        height = areaH;
        width = areaH * w / h;
    }
    const std::int64_t multiple = std::min(areaW / w, areaH / h);
    if (multiple >= 1 && multiple * w * 100 >= width * 97) {
        width = multiple * w;
        height = multiple * h;
        p.sharp = true;
    } else {
        p.sharp = false;
    }
    p.width = int(std::max<std::int64_t>(width, 1));
    p.height = int(std::max<std::int64_t>(height, 1));
    p.x = int((areaW - p.width) / 2);
    p.y = int((areaH - p.height) / 2);
    return p;
}

ScreenPoint ScreenPixelAt(const ScreenPlacement& placement, int x, int y) {
    // The device pixel's centre, (2 d + 1) / 2, measured in screen pixels of the picture's scale.
    const auto along = [](int device, int origin, int size, std::int64_t pixels) {
        const std::int64_t twice = 2 * (std::int64_t(device) - origin) + 1;
        return int(FloorDivide(twice * pixels, 2 * std::int64_t(std::max(size, 1))));
    };
    return ScreenPoint{along(x, placement.x, placement.width, PlayScreen::kWidth),
                       along(y, placement.y, placement.height, PlayScreen::kHeight)};
}

QWidget* WindowEntry::ControlParent() const {
    return strip != nullptr ? static_cast<QWidget*>(strip.data()) : widget.data();
}

void WindowWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    auto it = machine_.windows.find(number_);
    if (it != machine_.windows.end() && !it->second.enteringFullScreen &&
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) == 0) {
        it->second.normalSize = size();
    }
    machine_.LayOut(number_);
}

void WindowWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) {
        machine_.StateChanged(number_);
    }
}

void Machine::Impl::StateChanged(int number) {
    auto it = windows.find(number);
    if (it == windows.end() || it->second.widget == nullptr) {
        return;
    }
    WindowEntry& entry = it->second;
    if ((entry.widget->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) != 0) {
        entry.enteringFullScreen = false;
        return;
    }
    const int change = std::exchange(entry.normalWidthChange, 0);
    const bool restore = std::exchange(entry.restoreNormalSize, false);
    if (change == 0 && !restore) {
        return;
    }
    const QSize before = restore ? entry.normalSize : QSize();
    // The normal size comes back with the state or just after it (the window manager's word,
    // where there is one): the size the window had, with the strip changed meanwhile, follows
    // once that is done.
    QPointer<WindowWidget> window = entry.widget;
    QTimer::singleShot(0, window, [window, change, before] {
        if (window != nullptr) {
            const QSize size = before.isValid() ? before : window->size();
            window->resize(size.width() + change, size.height());
        }
    });
}

void Machine::Impl::LayOut(int number) {
    auto it = windows.find(number);
    if (it == windows.end() || !it->second.resizable || it->second.widget == nullptr) {
        return;
    }
    WindowEntry& entry = it->second;
    const QSize size = entry.widget->size();
    // Before a play screen is attached the strip is the whole window.
    const int stripWidth = entry.screen != nullptr ? entry.screenAt.x() : size.width();
    const bool stripShown = entry.stripShown || entry.screen == nullptr;
    if (entry.strip != nullptr) {
        entry.strip->setGeometry(0, 0, std::max(stripWidth, 1), size.height());
        entry.strip->setVisible(stripShown);
    }
    if (entry.screen != nullptr) {
        const int left = stripShown ? stripWidth : 0;
        const int top = entry.screenAt.y();
        entry.screen->setGeometry(left, top, std::max(size.width() - left, 1),
                                  std::max(size.height() - top, 1));
    }
}

QPoint Machine::Impl::LayoutPoint(int number, QPointF desktop) const {
    const WindowWidget* window = WindowWidgetOf(number);
    if (window == nullptr) {
        return desktop.toPoint();
    }
    const WindowEntry& entry = windows.at(number);
    if (!entry.resizable || mouseScripted || entry.screen == nullptr) {
        return desktop.toPoint() - window->pos();
    }
    const QPointF local = window->mapFromGlobal(desktop);
    const QRect view = entry.screen->geometry();
    if (local.x() < view.x()) {
        return local.toPoint();  // over the strip: its own coordinates
    }
    // The device pixel under the pointer, and the screen pixel it shows. A whole position is a
    // pixel's corner: its centre is half a pixel further.
    const qreal ratio = window->devicePixelRatioF();
    const auto device = [ratio](qreal position, int origin) {
        const qreal offset = position - origin;
        const qreal centre = offset == std::floor(offset) ? offset + 0.5 : offset;
        return int(std::floor(centre * ratio));
    };
    const ScreenPlacement placement =
        PlaceScreen(DevicePixels(view.width(), ratio), DevicePixels(view.height(), ratio));
    const ScreenPoint pixel =
        ScreenPixelAt(placement, device(local.x(), view.x()), device(local.y(), view.y()));
    return entry.screenAt + QPoint(pixel.x, pixel.y);
}

std::optional<QPoint> Machine::Impl::DesktopOfScreenPoint(QPoint point) const {
    for (const auto& [number, entry] : windows) {
        if (!entry.resizable || entry.screen == nullptr || entry.widget == nullptr ||
            !entry.screen->isVisible()) {
            continue;
        }
        const QWidget& view = *entry.screen;
        const qreal ratio = view.devicePixelRatioF();
        const ScreenPlacement placement =
            PlaceScreen(DevicePixels(view.width(), ratio), DevicePixels(view.height(), ratio));
        const qreal x =
            (placement.x + qreal(point.x()) * placement.width / PlayScreen::kWidth) / ratio;
        const qreal y =
            (placement.y + qreal(point.y()) * placement.height / PlayScreen::kHeight) / ratio;
        return view.mapToGlobal(QPointF(x, y)).toPoint();
    }
    return std::nullopt;
}

bool Machine::Impl::OnScreenBars(int number, QPointF desktop) const {
    auto it = windows.find(number);
    if (it == windows.end() || !it->second.resizable || it->second.screen == nullptr) {
        return false;
    }
    const WindowEntry& entry = it->second;
    const QPointF local = entry.widget->mapFromGlobal(desktop);
    if (!entry.screen->geometry().contains(local.toPoint())) {
        return false;
    }
    const QPoint layout = LayoutPoint(number, desktop) - entry.screenAt;
    return layout.x() < 0 || layout.y() < 0 || layout.x() >= PlayScreen::kWidth ||
           layout.y() >= PlayScreen::kHeight;
}

// ---------------------------------------------------------------------------------------------
// The strip, fullscreen

void Windows::ShowControls(bool shown) {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    if (window == nullptr) {
        return;
    }
    WindowEntry& entry = m.windows[m.currentWindow];
    const int stripWidth = entry.screenAt.x();
    if (!entry.resizable) {
        window->move(shown ? 0 : -stripWidth, 0);
        return;
    }
    if (entry.stripShown == shown) {
        return;
    }
    entry.stripShown = shown;
    // A window the player sized himself grows by the strip; a maximised or fullscreen one keeps
    // its size, and the play screen beside the strip becomes smaller.
    const bool normal = (window->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
    const int change = entry.screen != nullptr ? (shown ? stripWidth : -stripWidth) : 0;
    if (normal) {
        window->resize(window->width() + change, window->height());
    } else {
        entry.normalWidthChange += change;
    }
    m.LayOut(m.currentWindow);
}

void Windows::SetFullScreen(bool fullScreen) {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    if (window == nullptr || !m.windows[m.currentWindow].resizable) {
        return;
    }
    const Qt::WindowStates state = window->windowState();
    if (fullScreen && (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) == 0) {
        m.windows[m.currentWindow].normalSize = window->size();
        m.windows[m.currentWindow].enteringFullScreen = true;
        m.windows[m.currentWindow].restoreNormalSize = true;
    }
    window->setWindowState(fullScreen ? (state | Qt::WindowFullScreen)
                                      : (state & ~Qt::WindowFullScreen));
    window->show();
}

bool Windows::FullScreen() const {
    Machine::Impl& m = machine_.Internals();
    const WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    return window != nullptr && window->isFullScreen();
}

// ---------------------------------------------------------------------------------------------
// The size and state kept from one run to the next: lines "width N", "height N", "maximised 0|1",
// "fullscreen 0|1". Width and height are those of the play screen's area in the window's
// normal state, without the strip.

namespace {

constexpr int kLargestKeptSide = 16384;

struct Placement {
    int width = 0;
    int height = 0;
    bool maximised = false;
    bool fullScreen = false;
};

bool ReadPlacement(const std::filesystem::path& file, Placement& placement) {
    std::string problem;
    std::int64_t size = 0;
    std::FILE* in = host_files::OpenRegularFile(file, problem, &size);
    if (in == nullptr) {
        return false;
    }
    if (size > 4096) {
        std::fclose(in);
        return false;
    }
    char name[32];
    long value = 0;
    while (std::fscanf(in, "%31s %ld", name, &value) == 2) {
        const std::string key = name;
        if (key == "width" && value > 0 && value <= kLargestKeptSide) {
            placement.width = int(value);
        } else if (key == "height" && value > 0 && value <= kLargestKeptSide) {
            placement.height = int(value);
        } else if (key == "maximised") {
            placement.maximised = value != 0;
        } else if (key == "fullscreen") {
            placement.fullScreen = value != 0;
        }
    }
    std::fclose(in);
    return placement.width > 0 && placement.height > 0;
}

}  // namespace

void Windows::RememberPlacement(const std::filesystem::path& file) {
    Machine::Impl& m = machine_.Internals();
    WindowWidget* window = m.WindowWidgetOf(m.currentWindow);
    if (window == nullptr || !m.windows[m.currentWindow].resizable) {
        return;
    }
    WindowEntry& entry = m.windows[m.currentWindow];
    entry.placementFile = file;
    Placement kept;
    if (!ReadPlacement(file, kept)) {
        return;
    }
    const int strip = entry.stripShown && entry.screen != nullptr ? entry.screenAt.x() : 0;
    window->resize(kept.width + strip, kept.height);
    Qt::WindowStates state = window->windowState();
    state.setFlag(Qt::WindowMaximized, kept.maximised);
    state.setFlag(Qt::WindowFullScreen, kept.fullScreen);
    window->setWindowState(state);
    window->show();
}

void Machine::Impl::KeepPlacement(int number) const {
    auto it = windows.find(number);
    if (it == windows.end() || it->second.placementFile.empty() || it->second.widget == nullptr) {
        return;
    }
    const WindowEntry& entry = it->second;
    const WindowWidget& window = *entry.widget;
    const bool normalNow =
        (window.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) == 0;
    const QSize normal =
        normalNow || !entry.normalSize.isValid() ? window.size() : entry.normalSize;
    const int strip = entry.stripShown && entry.screen != nullptr ? entry.screenAt.x() : 0;
    const int width = normal.width() + (normalNow ? 0 : entry.normalWidthChange) - strip;
    const std::string text = "width " + std::to_string(std::max(width, 1)) + "\nheight " +
                             std::to_string(normal.height()) + "\nmaximised " +
                             (window.isMaximized() ? "1" : "0") + "\nfullscreen " +
                             (window.isFullScreen() ? "1" : "0") + "\n";
    std::error_code ignored;
    std::filesystem::create_directories(entry.placementFile.parent_path(), ignored);
    // Only a convenience: a placement that cannot be kept leaves the earlier file as it was.
    std::string problem;
    WriteWholeFile(entry.placementFile, text, problem);
}

}  // namespace tessaron::runtime
