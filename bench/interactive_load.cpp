// interactive_load GAME_DIR LEVEL PASSES [window | fullscreen | floor]: plays a level in a real
// window with the interactive loop's pacing and prints the share of one core that 60 passes a
// second take, in per cent: the CPU time per pass times 60 (a busy machine may not wake the loop
// in time for 60 a second, so CPU time over wall time would tell less). Needs a display (bench.sh
// starts Xvfb). The ball rolls right and left, jumping now and then, as in busy_bench.
//
//   window      the window at its first size (the play screen 1024 x 768)
//   fullscreen  the window filling the screen (on 1920 x 1080 the picture is scaled to 1440 x 1080)
//   floor       no game: a bare toolkit window presenting the same unchanged 1024 x 768 image 60
//               times a second, the least any program showing such frames costs here
// Without a mode all three run, one after the other, each in a process of its own.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "app/program.h"
#include "runtime/requesters.h"

namespace {

using namespace tessaron;

constexpr std::chrono::nanoseconds kPass{1'000'000'000 / 60};

double CpuSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Holds the keys of the next pass at the end of each pass.
class Player : public app::RunObserver {
  public:
    explicit Player(app::Program*& program) : program_(program) {}
    void OnPassEnd(std::int64_t pass, const app::GameState&) override {
        const std::int64_t p = pass % 240;
        runtime::Keyboard& keys = program_->Keys();
        keys.SetKey(runtime::Key::Right, p < 70);
        keys.SetKey(runtime::Key::Left, p >= 100 && p < 200);
        keys.SetKey(runtime::Key::Up, (p >= 120 && p < 126) || (p >= 160 && p < 166));
    }

  private:
    app::Program*& program_;
};

// Lets the toolkit and the window manager finish what they do with a window.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

int Game(const char* gameDir, const char* level, std::int64_t passes, bool fullScreen) {
    // The window's kept size is the bench's own, never the player's.
    const std::filesystem::path config =
        std::filesystem::temp_directory_path() / ("tessaron-load-" + std::to_string(::getpid()));
    ::setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    runtime::ScriptedRequesters requesters;
    requesters.Answer(level);
    app::Options options;
    options.gameDir = gameDir;
    options.seed = 1;
    options.passes = passes;
    app::Program* current = nullptr;
    Player player(current);
    app::ProgramHooks hooks;
    hooks.requesters = &requesters;
    hooks.observers.push_back(&player);
    app::Program program(options, hooks);
    current = &program;
    int programArgc = 1;
    char name[] = "tessaron";
    char* programArgv[] = {name, nullptr};
    if (program.StartUp(programArgc, programArgv) != 0) {
        std::fprintf(stderr, "interactive_load: start-up failed\n");
        return 1;
    }
    if (fullScreen) {
        program.Windows().Use(2);
        program.Windows().SetFullScreen(true);
        Settle();
        // Without a window manager nobody makes the window fill the screen: the bench does.
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window->screen() != nullptr &&
                window->size() != window->screen()->geometry().size()) {
                window->setGeometry(window->screen()->geometry());
            }
        }
        Settle();
    }
    // The busy levels hold goals, and a goal taken opens the goal screen, which waits for the
    // player: the bench plays on within a tenth of a second, as a player choosing "WEITER
    // SPIELEN" would. Only a window shown since the start is searched: walking every widget of
    // the main window at each look would be measured as the game's work.
    const QWidgetList startWindows = QApplication::topLevelWidgets();
    QTimer playOn;
    QObject::connect(&playOn, &QTimer::timeout, [&startWindows] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible() || startWindows.contains(window)) {
                continue;
            }
            for (auto* button : window->findChildren<QPushButton*>()) {
                if (button->isVisible() && button->text() == "WEITER SPIELEN") {
                    button->click();
                    return;
                }
            }
        }
    });
    playOn.start(100);
    const double cpuBefore = CpuSeconds();
    program.RunLoop();
    const double cpu = CpuSeconds() - cpuBefore;
    std::filesystem::remove_all(config);
    std::printf("%.1f\n", 100.0 * 60.0 * cpu / double(options.passes));
    return 0;
}

// The floor: an unchanged image presented 60 times a second by the toolkit's own painting.
class Still : public QWidget {
  public:
    Still() : image_(1024, 768, QImage::Format_RGB32) {
        for (int y = 0; y < image_.height(); ++y) {
            auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
            for (int x = 0; x < image_.width(); ++x) {
                row[x] = qRgb(x & 255, y & 255, (x ^ y) & 255);
            }
        }
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFixedSize(image_.size());
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, image_);
    }

  private:
    QImage image_;
};

int Floor(std::int64_t frames) {
    int argc = 1;
    char name[] = "floor";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    Still still;
    still.show();
    Settle();
    const double cpuBefore = CpuSeconds();
    auto next = std::chrono::steady_clock::now();
    for (std::int64_t frame = 0; frame < frames; ++frame) {
        next += kPass;
        std::this_thread::sleep_until(next);
        QApplication::processEvents();
        still.update();
    }
    QApplication::processEvents();
    const double cpu = CpuSeconds() - cpuBefore;
    std::printf("%.1f\n", 100.0 * 60.0 * cpu / double(frames));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 5) {
        std::fprintf(stderr,
                     "Usage: interactive_load GAME_DIR LEVEL PASSES [window|fullscreen|floor]\n");
        return 1;
    }
    const std::int64_t passes = std::atoll(argv[3]);
    if (argc == 5) {
        const std::string mode = argv[4];
        if (mode == "floor") {
            return Floor(passes);
        }
        if (mode == "window" || mode == "fullscreen") {
            return Game(argv[1], argv[2], passes, mode == "fullscreen");
        }
        std::fprintf(stderr, "interactive_load: unknown mode %s\n", argv[4]);
        return 1;
    }
    // All three, each in a process of its own (one toolkit application per process).
    for (const char* mode : {"window", "fullscreen", "floor"}) {
        std::fflush(stdout);
        std::printf("%-10s %% of a core: ", mode);
        std::fflush(stdout);
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl("/proc/self/exe", argv[0], argv[1], argv[2], argv[3], mode, nullptr);
            std::_Exit(127);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
    }
    return 0;
}
