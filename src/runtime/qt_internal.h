// The machine layer's state on Qt and SDL: the tables of windows and controls, the event queue,
// the key table and the audio device. Only the runtime's own sources and its tests include this
// header; nothing outside src/runtime/ and tests/runtime/ sees a toolkit type.
#pragma once

#include <QKeyCombination>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QString>
#include <QWidget>

#include <SDL.h>

#include <array>
#include <atomic>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "runtime/files.h"
#include "runtime/screen.h"

class QAction;
class QResizeEvent;
class QImage;
class QApplication;
class QButtonGroup;
class QKeyEvent;
class QTimer;
class QToolBar;

namespace tessaron::runtime {

QString ToQString(std::string_view text);
std::string ToStdString(const QString& text);
QString PathToQString(const std::filesystem::path& path);

// Writes an image as a PNG file; the path's bytes are used as they are, never decoded.
bool SavePng(const QImage& image, const std::filesystem::path& file,
             std::string* problem = nullptr);

// Reads a picture file as LoadSprite takes it; false, with the reason in problem, otherwise.
bool ReadPicture(const std::filesystem::path& file, QImage& picture, std::string& problem);

enum class ControlKind {
    Frame,
    SunkenFrame,
    Label,
    TextField,
    PushButton,
    CheckBox,
    Option,
    ListBox,
    ComboBox,
    TrackBar,
};

struct ControlEntry {
    ControlKind kind = ControlKind::Label;
    int window = 0;
    QPointer<QWidget> widget;
    // Options: the group the option belongs to (owned by the window widget).
    QPointer<QButtonGroup> group;
    // A sunken frame has no visible text but keeps what it was given.
    QString text;
};

struct ToolbarButtonEntry {
    int window = 0;
    QPointer<QAction> action;
    // The key combinations that press the button.
    std::vector<QKeyCombination> keys;
};

// A resizable window never gets smaller than this.
constexpr QSize kSmallestScreenArea(320, 240);

// A top-level window of the program. Its close box only asks: the program decides.
class WindowWidget : public QWidget {
  public:
    WindowWidget(Machine::Impl& machine, int number);
    int Number() const { return number_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    // A resizable window lays out its strip of controls and its play screen anew.
    void resizeEvent(QResizeEvent* event) override;
    // Back in its normal state, a resizable window takes the strip shown or hidden meanwhile.
    void changeEvent(QEvent* event) override;

  private:
    Machine::Impl& machine_;
    int number_;
};

struct WindowEntry {
    QPointer<WindowWidget> widget;
    WindowStyle style = WindowStyle::Borderless;
    QPointer<QToolBar> toolbar;
    // The option group that the next option joins; any other control ends it.
    QPointer<QButtonGroup> openGroup;

    // A resizable window keeps its toolbar and controls in a strip at its left, which can be
    // hidden; the play screen's view fills the rest (screen_layout.cpp).
    bool resizable = false;
    QPointer<QWidget> strip;
    bool stripShown = true;
    // The play screen's view and its place in the window's layout, once attached.
    QPointer<QWidget> screen;
    QPoint screenAt;
    // Where the window's size and state are kept; empty for none.
    std::filesystem::path placementFile;
    // How much wider the window's normal size must become for the strip shown or hidden while it
    // was maximised or fullscreen.
    int normalWidthChange = 0;
    // The window's size in its normal state, last seen, and kept while it is maximised or
    // fullscreen; leaving that state it comes back to this size.
    QSize normalSize;
    // F11 asked for fullscreen and the window manager has not yet said so: sizes seen meanwhile
    // are already the fullscreen ones.
    bool enteringFullScreen = false;
    // The program made the window fullscreen: leaving it, the window takes its normal size back
    // itself (not every platform does).
    bool restoreNormalSize = false;

    // The widget that holds the window's controls: the strip, else the window itself.
    QWidget* ControlParent() const;
};

// The keys of a command without a button (SetCommandKeys).
struct CommandKeysEntry {
    int window = 0;
    std::vector<QKeyCombination> keys;
};

// The application-wide filter: the key table, the mouse's buttons and wheel, the left button's
// state, the mouse position.
class InputFilter : public QObject {
  public:
    explicit InputFilter(Machine::Impl& machine) : machine_(machine) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Whether an input event is another than the last one of its kind seen: the filter sees an
    // event once per widget it is offered to on its way up.
    class Once {
      public:
        bool First(quint64 timestamp, QPointF position, int detail) {
            if (seen_ && timestamp == timestamp_ && position == position_ && detail == detail_) {
                return false;
            }
            seen_ = true;
            timestamp_ = timestamp;
            position_ = position;
            detail_ = detail;
            return true;
        }

      private:
        bool seen_ = false;
        quint64 timestamp_ = 0;
        QPointF position_;
        int detail_ = 0;
    };

    Machine::Impl& machine_;
    Once press_;
    Once release_;
    Once wheel_;
};

// The game controllers, through SDL's game-controller layer: pads come and go while the program
// runs, their states are read into the keyboard's snapshot, and a window may let them choose
// among its buttons.
class Gamepads {
  public:
    explicit Gamepads(Machine::Impl& machine) : machine_(machine) {}
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    bool Start();
    // Marks the keys the pads hold in a snapshot. While none of the program's windows is
    // active, the pads hold nothing: their input is meant for another program.
    void HoldKeys(KeyTable& keys);
    // The pads choose among this window's buttons from now on.
    void NavigateIn(int window);
    // A window closes: pad buttons tapped meanwhile were meant for it, and those held now count
    // as up until they are let go.
    void WindowClosed(int window);

  private:
    struct Pad {
        SDL_GameController* controller = nullptr;
        SDL_JoystickID id = -1;
        // Buttons that went down since they were last read: a quick tap between two looks.
        std::array<bool, SDL_CONTROLLER_BUTTON_MAX> tapped{};
    };

    // Takes SDL's events: pads plugged in and out, buttons pressed.
    void Pump();
    PadState Read(Pad& pad);
    KeyTable HeldNow(bool withTaps);
    PadMenuInput MenuInputNow();
    bool Active() const;
    // One turn of the menu's timer: moves the focus or presses a button on a new push.
    void Navigate();
    void MoveFocus(int step);

    Machine::Impl& machine_;
    bool started_ = false;
    std::vector<Pad> pads_;
    KeyTable suppressed_{};
    int menuWindow_ = 0;
    PadMenuInput lastMenuInput_;
    QTimer* menuTimer_ = nullptr;
};

// Keeps the sum of all voices under full scale: the mix is scaled down, for all channels alike,
// as soon as a frame would go above the ceiling, and the scale recovers smoothly afterwards. So
// overlapping effects never clip, and a mix that stays below the ceiling passes unchanged.
struct PeakLimiter {
    static constexpr float kCeiling = 0.89f;  // about -1 dB
    int channels = 2;
    float envelope = 0.0f;
    float release = 0.0f;  // the envelope's fall per frame, from the sample rate
    // The loudest sample sent on since the last TakeLoudest, for tests.
    std::atomic<float> loudest{0.0f};

    PeakLimiter(int sampleRate, int channelCount);
    // Limits interleaved samples (whole frames) in place.
    void Process(float* samples, int count);
    float TakeLoudest() { return loudest.exchange(0.0f); }
};

struct Machine::Impl {
    explicit Impl(const GameFolder& folder) : folder(folder) {}

    const GameFolder& folder;
    bool headless = false;
    bool screenStarted = false;
    bool keyboardStarted = false;
    bool ended = false;

    // Windows and controls, each in its own number space.
    std::map<int, WindowEntry> windows;
    std::map<int, ControlEntry> controls;
    std::map<int, ToolbarButtonEntry> toolbarButtons;
    std::map<int, CommandKeysEntry> commandKeys;
    int currentWindow = 0;

    std::deque<Event> events;
    std::function<void(const Event&)> observer;

    // Keys by scan code, down or up.
    std::array<bool, 256> keys{};
    // Keys that went down in one of our windows since the last keyboard snapshot: a tap that
    // goes down and up again between two snapshots still shows as down in the next one.
    std::array<bool, 256> pressedSinceSnapshot{};
    // Keys whose release came but that may not really be up. The X server repeats a held key
    // as a release and a press, which the toolkit does not always mark as a repeat (it cannot
    // when the press has not arrived yet): such a key stays down until a snapshot finds it
    // really up. For each, the key's code on the display server.
    std::array<bool, 256> releasePending{};
    std::array<quint32, 256> nativeKey{};
    // Whether the display holds a key (by its code there) down right now; false where it cannot
    // tell. Null asks the X server, where there is one; tests put a display of their own here.
    std::function<bool(quint32)> keyDownOnDisplay;
    InputFilter* filter = nullptr;

    // The mouse position on the desktop as last seen or set by automation.
    QPoint mouse;
    // The same, as exactly as the platform gave it (a fraction of a pixel on scaled screens).
    QPointF pointer;
    bool mouseScripted = false;
    // The left button went down over one of our windows and has not come up since.
    bool leftButtonHeld = false;

    // The stop signals (Machine::CatchStopSignals): whether they are caught, the watch that
    // looks for one, and the one that came.
    bool stopSignalsCaught = false;
    QTimer* stopWatch = nullptr;
    int stopSignal = 0;

    // Game controllers; null until started.
    std::unique_ptr<Gamepads> gamepads;

    // Audio: SDL_mixer on the sound device (or the silent driver), mixing in 32-bit floats.
    bool soundStarted = false;
    // The mixer's format, which every loaded sound is converted to.
    SDL_AudioSpec audioSpec{};
    // The mixer's channels (voices): how many exist, and those that sounds gave back.
    int mixChannels = 0;
    std::vector<int> freeMixChannels;
    // Each loaded sound's voices form a channel group of their own.
    int nextMixGroup = 1;
    std::unique_ptr<PeakLimiter> limiter;

    // A mixer channel for a sound, made when none is free.
    int TakeMixChannel();
    void GiveBackMixChannel(int channel);

    void Post(const Event& event) { events.push_back(event); }
    // Presses the enabled toolbar button of `window` whose keys the press is. True when the
    // keys belong to a button of that window, pressed or greyed: the key is then used up.
    bool PressToolbarKeys(const QKeyEvent& key, int window);
    // Posts the command whose keys the press is, in `window`; true when it was one.
    bool PostCommandKeys(const QKeyEvent& key, int window);
    // The window number of a widget's top-level window, 0 when it is not one of ours.
    int WindowNumberOf(const QWidget* widget) const;
    WindowWidget* WindowWidgetOf(int number) const;
    // Whether the widget belongs to one of our windows that has a caption (WindowStyle::Dialog).
    bool IsDialog(const QWidget* widget) const;
    // Destroys a window, its controls, its toolbar buttons and the events that concern it.
    void CloseWindow(int number);
    void CloseAllWindows();
    bool HeadlessPlatform() const;

    // Resizable windows (screen_layout.cpp).
    // Places the strip and the play screen's view in the window.
    void LayOut(int number);
    // A desktop point in the window's layout, mapped back from the play screen's scale.
    QPoint LayoutPoint(int number, QPointF desktop) const;
    // True when the desktop point lies on the black bars beside the play screen's picture.
    bool OnScreenBars(int number, QPointF desktop) const;
    // Where a point of the play screen (its own pixels) lies on the desktop while a resizable
    // window shows the play screen; nothing otherwise (the borderless window of scripted runs,
    // whose play screen lies at the desktop's origin).
    std::optional<QPoint> DesktopOfScreenPoint(QPoint point) const;
    // Writes the window's size and state to its placement file, when it has one.
    void KeepPlacement(int number) const;
    // The window's state changed (maximised, fullscreen, normal).
    void StateChanged(int number);
    // A key event in one of the key table's keys; `ours` when it reached one of our windows.
    void NoteKey(int code, const QKeyEvent& key, bool ours);
    // Lets the pending releases of keys that are really up count (see releasePending).
    void SettleReleases();
};

// The scan code the key table keeps for a Qt key, 0 for keys it does not keep.
int ScanCodeForQtKey(int qtKey);

}  // namespace tessaron::runtime
